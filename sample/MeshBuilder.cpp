#include "sample/MeshBuilder.h"

namespace sample {

int32_t AddComponent(Model& m, const std::vector<PolygonCorners>& polygons, uint32_t alphaMode,
                     uint32_t cullMode, int32_t textureMap, const std::string& name) {
    PolygonSet set;
    set.TextureMap = textureMap;
    set.FirstPolygon = static_cast<int32_t>(m.Polygons.size());
    set.PolygonCount = static_cast<int32_t>(polygons.size());
    set.VertexOrderBase = static_cast<int32_t>(m.VertexOrder.size());
    set.NormalOrderBase = static_cast<int32_t>(m.NormalOrder.size());
    set.ColorOrderBase = static_cast<int32_t>(m.ColorOrder.size());
    set.TexVertexOrderBase = static_cast<int32_t>(m.TexVertexOrder.size());

    Component c;
    c.Name = name;
    c.VertexBase = static_cast<int32_t>(m.Vertices.size());
    c.TexVertexBase = static_cast<int32_t>(m.TexVertices.size());
    c.FirstPolygonSet = static_cast<int32_t>(m.PolygonSets.size());
    c.PolygonSetCount = 1;
    c.AlphaMode = alphaMode;
    c.CullMode = cullMode;

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

}  // namespace sample
