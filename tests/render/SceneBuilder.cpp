#include "tests/render/SceneBuilder.h"

#include <GL/gl.h>

#include <cmath>

#include "model/ByteSource.h"

namespace testsupport {

int32_t AddMarker(sample::Model& model, uint8_t red) {
    return AddComponent(model, {{Corner{{0, 0, 0}, {red, 0, 0, 255}}}});
}

int32_t AddNode(sample::Model& m, int32_t component, sample::Vec3 translate, uint8_t visibility) {
    sample::Node node;
    node.Component = component;
    node.Visibility = static_cast<int32_t>(m.Visibility.size());
    m.Visibility.push_back(visibility);
    node.Transform = sample::AddTransform(m, translate);
    m.Nodes.push_back(node);
    return static_cast<int32_t>(m.Nodes.size() - 1);
}

std::unique_ptr<ModelScene> SceneOf(const sample::Model& model) {
    std::vector<uint8_t> bytes = sample::WriteModel(model);
    MemorySource source(bytes);
    auto scene = std::make_unique<ModelScene>();
    scene->Open(LoadDocumentFrom(source, nullptr));
    return scene;
}

void DrawWhole(ModelScene& scene) {
    scene.DrawNode(static_cast<uint32_t>(scene.Model().Nodes().size() - 1));
}

void Frame(ModelScene& scene) {
    UseFeedbackOrtho();
    glClear(GL_COLOR_BUFFER_BIT);
    DrawWhole(scene);
}

Pixel PixelAt(const GlContext& gl, float x, float y) {
    constexpr int size = GlContext::kDefaultSize;
    return gl.At(static_cast<int>((x + 100) / 200 * size),
                 static_cast<int>((100 - y) / 200 * size));
}

std::vector<DrawnPoint> PointsDrawn(const std::function<void()>& draw) {
    auto hundredths = [](float f) { return std::round(f * 100) / 100; };
    UseFeedbackOrtho();
    std::vector<DrawnPoint> points;
    for (const FeedbackItem& item : Feedback(draw)) {
        for (const FeedbackVertex& v : item.Vertices) {
            const Point3 at = EyeOf(v);
            points.push_back({static_cast<int>(std::lround(v.R * 255)), hundredths(at.X),
                              hundredths(at.Y), hundredths(at.Z)});
        }
    }
    return points;
}

unsigned FirstGlError() {
    GLenum first = glGetError();
    while (glGetError() != GL_NO_ERROR) {
    }
    return first;
}

int GlInteger(unsigned name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

std::array<float, 16> GlMatrix(unsigned name) {
    std::array<float, 16> m{};
    glGetFloatv(name, m.data());
    return m;
}

}  // namespace testsupport
