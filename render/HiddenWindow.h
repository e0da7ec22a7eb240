#pragma once
// Windows: a top-level window that is never shown, for an OpenGL context to
// draw in where nothing is to be seen (kestrel.exe's pictures, the viewer's
// frames under Wine). A pop-up window is not cut to the screen's size.

#include <windows.h>

// None on failure.
HWND CreateHiddenWindow(int width, int height);
