#include "tests/render/SceneBuilder.h"

#include <GL/gl.h>

#include "model/ByteSource.h"

namespace testsupport {

int32_t AddComponent(sample::Model& m, const std::vector<PolygonCorners>& polygons,
                     ComponentStyle style) {
    return sample::AddComponent(m, polygons, style.AlphaMode, style.CullMode, style.TextureMap);
}

int32_t AddMarker(sample::Model& model, sample::Color c) {
    return AddComponent(model, {{Corner{{0, 0, 0}, c}}});
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
    scene->LoadFrom(source);
    return scene;
}

unsigned FirstGlError() {
    GLenum first = glGetError();
    while (glGetError() != GL_NO_ERROR) {
    }
    return first;
}

}  // namespace testsupport
