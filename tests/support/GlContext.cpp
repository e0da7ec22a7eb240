#include "tests/support/GlContext.h"

#include <GL/gl.h>

#include <stdexcept>

namespace testsupport {

GlContext::GlContext(int width, int height) : OffscreenContext(width, height) {
    if (!Valid())
        throw std::runtime_error("no offscreen OpenGL context: " + Error());
}

Pixel GlContext::At(int x, int y) const {
    Pixel p;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, Height() - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}

int GlContext::CountLit() const {
    std::vector<uint8_t> rgba = ReadPixels();
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        lit += rgba[i] || rgba[i + 1] || rgba[i + 2];
    return lit;
}

std::vector<FeedbackItem> Feedback(const std::function<void()>& draw) {
    constexpr int kFloatsPerVertex = 11;  // x y z, r g b a, s t r q
    std::vector<float> buffer(1 << 22);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    if (used < 0)
        throw std::runtime_error("feedback buffer too small");

    std::vector<FeedbackItem> items;
    size_t i = 0;
    auto vertex = [&] {
        const float* f = &buffer[i];
        i += kFloatsPerVertex;
        return FeedbackVertex{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]};
    };
    while (i < static_cast<size_t>(used)) {
        const auto token = static_cast<GLint>(buffer[i++]);
        FeedbackItem item{};
        switch (token) {
            case GL_POINT_TOKEN:
                item.Type = FeedbackItem::Point;
                item.Vertices = {vertex()};
                break;
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                item.Type = FeedbackItem::Line;
                item.Vertices = {vertex()};
                item.Vertices.push_back(vertex());
                break;
            case GL_POLYGON_TOKEN: {
                item.Type = FeedbackItem::Polygon;
                const auto count = static_cast<int>(buffer[i++]);
                for (int k = 0; k < count; ++k)
                    item.Vertices.push_back(vertex());
                break;
            }
            default:
                throw std::runtime_error("unexpected feedback token");
        }
        items.push_back(std::move(item));
    }
    return items;
}

void UseFeedbackOrtho() {
    glViewport(0, 0, GlContext::kDefaultSize, GlContext::kDefaultSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-100, 100, -100, 100, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

Point3 EyeOf(const FeedbackVertex& v) {
    constexpr float size = GlContext::kDefaultSize;
    return {(v.X / size * 2 - 1) * 100, (v.Y / size * 2 - 1) * 100, -(v.Z * 2 - 1) * 100};
}

}  // namespace testsupport
