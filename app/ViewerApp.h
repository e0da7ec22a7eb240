#pragma once
// The viewer's application object: the main frame, made at once, and the tick
// that the view's frame timer reaches it by.

#include <string>

#include "app/MainFrame.h"
#include "framework/WinCore.h"

class ViewerApp : public Windows::CApp {
  public:
    // Registers the application, then builds and creates the main frame, which
    // takes dropped files; then opens `file` (UTF-8) as File > Open would,
    // unless it is empty.
    explicit ViewerApp(HINSTANCE instance, const std::string& file = {});

    virtual void Tick();
    MainFrame& GetFrame() { return m_Frame; }

  private:
    MainFrame m_Frame;
};
