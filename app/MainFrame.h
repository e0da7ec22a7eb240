#pragma once
// The viewer's main window: the frame with its menu, toolbar and status bar
// around the model view, and the routing of the view's commands.

#include "app/ModelView.h"
#include "framework/Frame.h"

class MainFrame : public Windows::CFrame {
  public:
    MainFrame();

    void SetButtons() override;
    void SetTitle() override;
    // One frame of the view, on every FrameTimer tick.
    void Tick() override;
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    ModelView& GetView() { return m_View; }

  private:
    // Destroyed before the CFrame base: the view's window goes while the
    // frame's is still whole.
    ModelView m_View;
};
