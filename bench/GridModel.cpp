#include "bench/GridModel.h"

sample::Model GridModel(int squares) {
    sample::Model m;
    m.TextureName = "grid";
    for (int y = 0; y <= squares; ++y) {
        for (int x = 0; x <= squares; ++x) {
            const float fx = x * 40.0f / squares - 20, fy = y * 40.0f / squares - 20;
            m.Vertices.push_back({fx, fy, 0});
            m.Normals.push_back({0, 0, 1});
            m.Colors.push_back({uint8_t(x), uint8_t(y), 128, 255});
            m.TexVertices.push_back({x / 16.0f, y / 16.0f});
        }
    }
    auto corner = [&](int x, int y) {
        const uint32_t index = static_cast<uint32_t>(y * (squares + 1) + x);
        m.VertexOrder.push_back(index);
        m.NormalOrder.push_back(index);
        m.ColorOrder.push_back(index);
        m.TexVertexOrder.push_back(index);
    };
    for (int y = 0; y < squares; ++y) {
        for (int x = 0; x < squares; ++x) {
            for (int t = 0; t < 2; ++t) {
                m.Polygons.push_back({static_cast<uint32_t>(m.VertexOrder.size()), 3});
                corner(x, y);
                corner(x + 1, y + t);
                corner(x + t, y + 1);
            }
        }
    }
    sample::PolygonSet set;
    set.TextureMap = 0;
    set.PolygonCount = static_cast<int32_t>(m.Polygons.size());
    m.PolygonSets = {set};
    sample::Component c;
    c.PolygonSetCount = 1;
    c.AlphaMode = 0;
    c.CullMode = 3;
    m.Components = {c};
    m.Visibility = {1};
    sample::Node node;
    node.Component = 0;
    node.Transform = sample::AddTransform(m, {});
    m.Nodes = {node};
    m.TextureMaps = {{0, 0}};
    m.TextureDefinitions = {{}};
    return m;
}

sample::Archive GridArchive() {
    sample::Archive archive;
    sample::ArchiveImage image;
    image.Width = image.Height = 256;
    image.Format = 1;
    image.Texels.resize(256 * 256);
    for (size_t i = 0; i < image.Texels.size(); ++i)
        image.Texels[i] = static_cast<uint8_t>(i * 7);
    archive.Images = {image};
    return archive;
}
