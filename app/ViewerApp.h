#pragma once
// The viewer's application object: the main frame, made at once, and the tick
// that the view's frame timer reaches it by.

#include "app/MainFrame.h"
#include "framework/WinCore.h"

class ViewerApp : public Windows::CApp {
  public:
    // Registers the application, then builds and creates the main frame.
    explicit ViewerApp(HINSTANCE instance);

    virtual void Tick();
    MainFrame& GetFrame() { return m_Frame; }

  private:
    MainFrame m_Frame;
};
