#include "app/ViewerApp.h"

ViewerApp::ViewerApp(HINSTANCE instance) : CApp(instance) {
    m_Frame.Create();
}

void ViewerApp::Tick() {
    m_Frame.Tick();
}
