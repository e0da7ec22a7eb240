#include "tests/render/SceneBuilder.h"

#include <GL/gl.h>

#include "model/ByteSource.h"

namespace testsupport {

int32_t AddComponent(sample::Model& m, const std::vector<PolygonCorners>& polygons,
                     ComponentStyle style) {
    sample::PolygonSet set;
    set.TextureMap = style.TextureMap;
    set.FirstPolygon = static_cast<int32_t>(m.Polygons.size());
    set.PolygonCount = static_cast<int32_t>(polygons.size());
    set.VertexOrderBase = static_cast<int32_t>(m.VertexOrder.size());
    set.NormalOrderBase = static_cast<int32_t>(m.NormalOrder.size());
    set.ColorOrderBase = static_cast<int32_t>(m.ColorOrder.size());
    set.TexVertexOrderBase = static_cast<int32_t>(m.TexVertexOrder.size());

    sample::Component c;
    c.VertexBase = static_cast<int32_t>(m.Vertices.size());
    c.TexVertexBase = static_cast<int32_t>(m.TexVertices.size());
    c.FirstPolygonSet = static_cast<int32_t>(m.PolygonSets.size());
    c.PolygonSetCount = 1;
    c.AlphaMode = style.AlphaMode;
    c.CullMode = style.CullMode;

    uint32_t first = 0;
    for (const PolygonCorners& polygon : polygons) {
        m.Polygons.push_back({first, static_cast<uint32_t>(polygon.size())});
        for (const Corner& corner : polygon) {
            // Vertex and texture-vertex entries are relative to the component.
            m.VertexOrder.push_back(static_cast<uint32_t>(m.Vertices.size()) -
                                    static_cast<uint32_t>(c.VertexBase));
            m.TexVertexOrder.push_back(static_cast<uint32_t>(m.TexVertices.size()) -
                                       static_cast<uint32_t>(c.TexVertexBase));
            m.NormalOrder.push_back(static_cast<uint32_t>(m.Normals.size()));
            m.ColorOrder.push_back(static_cast<uint32_t>(m.Colors.size()));
            m.Vertices.push_back(corner.P);
            m.Normals.push_back(corner.N);
            m.Colors.push_back(corner.C);
            m.TexVertices.push_back(corner.T);
        }
        first += static_cast<uint32_t>(polygon.size());
    }
    m.PolygonSets.push_back(set);
    m.Components.push_back(c);
    return static_cast<int32_t>(m.Components.size() - 1);
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
