// Kestrel Viewer: one frame window around an OpenGL view of a Kestrel model.
// A file named on the command line (Explorer's "Open with", a file
// association) opens at start-up; without one nothing is opened.

#include "app/ModelView.h"
#include "app/ViewerApp.h"

// After windows.h, which the viewer's headers bring.
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The wide command line: a path in any characters arrives whole.
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::string file = words && count > 1 ? Utf8FromWide(words[1]) : std::string();
    LocalFree(words);
    ViewerApp app(instance, file);
    return app.MessageLoop();
}
