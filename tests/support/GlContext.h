#pragma once
// A real OpenGL context for the GL tests (EGL, offscreen, Mesa), and ways to
// look at what was drawn: pixels, and the primitives that reached the
// rasteriser, caught in GL feedback mode.

#include <cstdint>
#include <functional>
#include <vector>

#include "render/OffscreenContext.h"

namespace testsupport {

struct Pixel {
    uint8_t R = 0, G = 0, B = 0, A = 0;
    friend bool operator==(Pixel, Pixel) = default;
};

class GlContext : public OffscreenContext {
  public:
    // Throws when no context can be made.
    explicit GlContext(int width = kDefaultSize, int height = kDefaultSize);
    static constexpr int kDefaultSize = 64;
    // The pixel at column x, row y counted from the top.
    Pixel At(int x, int y) const;
    // How many pixels are not the clear colour black.
    int CountLit() const;
};

// One corner of a primitive as the rasteriser got it: window position, colour
// and texture coordinate.
struct FeedbackVertex {
    float X, Y, Z;
    float R, G, B, A;
    float S, T;
};

// A primitive after assembly: Mesa hands polygons and quads on as triangles.
struct FeedbackItem {
    enum Kind { Point, Line, Polygon } Type;
    std::vector<FeedbackVertex> Vertices;
};

// Runs `draw` in feedback mode and returns its primitives in drawing order.
std::vector<FeedbackItem> Feedback(const std::function<void()>& draw);

// glOrtho(-100, 100, -100, 100, -100, 100) over a viewport of the default
// context size, and an identity modelview: one unit is 0.32 pixels.
void UseFeedbackOrtho();
// A feedback vertex back in eye space under UseFeedbackOrtho.
struct Point3 {
    float X, Y, Z;
};
Point3 EyeOf(const FeedbackVertex& v);

}  // namespace testsupport
