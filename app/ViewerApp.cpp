#include "app/ViewerApp.h"

// After windows.h, which the viewer's headers bring.
#include <shellapi.h>

ViewerApp::ViewerApp(HINSTANCE instance, const std::string& file) : CApp(instance) {
    if (HWND frame = m_Frame.Create())
        DragAcceptFiles(frame, TRUE);
    if (!file.empty())
        m_Frame.GetView().OpenFile(file);
}

void ViewerApp::Tick() {
    m_Frame.Tick();
}
