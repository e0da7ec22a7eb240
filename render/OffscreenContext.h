#pragma once
// An OpenGL compatibility context that draws into an offscreen RGBA8 surface
// with a depth buffer. On Linux it is made with EGL on Mesa's surfaceless
// platform and needs no display; on Windows with WGL on a hidden window. The
// tests and `kestrel render` draw the view's picture into it.

#include <cstdint>
#include <string>
#include <vector>

class OffscreenContext {
  public:
    // Makes the context and its surface and makes it current on this thread.
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool Valid() const { return context_ != nullptr && error_.empty(); }
    // Why the context could not be made (empty when it was).
    const std::string& Error() const { return error_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The colour buffer as RGBA bytes, row 0 at the top.
    std::vector<uint8_t> ReadPixels() const;

  private:
    bool Fail(const std::string& what);

    int width_;
    int height_;
    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
    // Windows: the framebuffer object drawn into, and its colour and depth buffers.
    uint32_t framebuffer_ = 0, colour_ = 0, depth_ = 0;
    std::string error_;
};
