// What a frame drew, read back: the pictures of `kestrel render`, of the
// viewer's Save Picture and of the tests.

#include <GL/gl.h>

#include <cstring>

#include "render/Drawing.h"

std::vector<uint8_t> ReadFramePixels(int width, int height, bool opaque) {
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> bottomUp(row * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::memcpy(&topDown[static_cast<size_t>(y) * row],
                    &bottomUp[static_cast<size_t>(height - 1 - y) * row], row);
    for (size_t i = 3; opaque && i < topDown.size(); i += 4)
        topDown[i] = 255;
    return topDown;
}
