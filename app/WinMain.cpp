// Kestrel Viewer: one frame window around an OpenGL view of a Kestrel model.
// It reads no command line and opens nothing at start-up.

#include "app/ViewerApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ViewerApp app(instance);
    return app.MessageLoop();
}
