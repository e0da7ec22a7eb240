#include "tests/export/ExportSample.h"

#include <cmath>

#include "model/Utf8Path.h"
#include "sample/BigEndianWriter.h"
#include "sample/MeshBuilder.h"

namespace testsupport {

namespace {

using sample::Corner;
using sample::PolygonCorners;

// A regular polygon of n corners around the origin, facing +z, texture
// coordinates at texel centres of an 8 x 8 image, each corner another colour.
PolygonCorners Ring(int n, float radius) {
    PolygonCorners corners;
    for (int k = 0; k < n; ++k) {
        const float a = 6.2831853f * static_cast<float>(k) / static_cast<float>(n);
        const auto step = static_cast<uint8_t>(40 * k);
        corners.push_back(Corner{{radius * std::cos(a), radius * std::sin(a), 0},
                                 {step, uint8_t(255 - step), 128, uint8_t(200 + 10 * k)},
                                 {(0.5f + static_cast<float>(k)) / 8, (1.5f + 2.0f * k) / 8},
                                 {0, 0, 2}});
    }
    return corners;
}

}  // namespace

sample::Model EveryKindModel() {
    sample::Model m;
    m.ModelName = "every kind";
    m.TextureName = "every-kind";
    m.Date = "2025-01-02";
    m.TextureMaps = {{0, 0}, {1, 0}};
    // Image 0 named in the game's 8-bit text, image 1 by a definition without a name.
    m.TextureDefinitions = {{0, 0, 0, "first \xE9"}, {0, 1, 0, ""}, {0, 7, 0, "unused"}};

    PolygonCorners points = {Corner{{1, 2, 3}, {255, 0, 0, 255}}, Corner{{-1, 0, 0}}};
    // A zero normal: glTF takes (0, 0, 1) for it.
    points[1].N = {0, 0, 0};
    const PolygonCorners line = {Corner{{0, 0, 0}, {0, 255, 0, 255}},
                                 Corner{{2, 1, 0}, {0, 0, 255, 255}}};
    const int32_t cPoints = sample::AddComponent(m, {{points[0]}, {points[1]}}, 2, 2, -1, "points");
    const int32_t cLines = sample::AddComponent(m, {line}, 2, 2, -1, "lines");
    const int32_t cTriangle = sample::AddComponent(m, {Ring(3, 2)}, 0, 1, 0, "triangle");
    const int32_t cQuad = sample::AddComponent(m, {Ring(4, 3)}, 3, 3, 1, "quad");
    // A polygon of no corners draws nothing.
    const int32_t cPentagon = sample::AddComponent(m, {Ring(5, 2), {}}, 2, 2, -1, "pentagon");
    const int32_t cHexagon = sample::AddComponent(m, {Ring(6, 1)}, 0, 3, -1, "hexagon");

    auto node = [&m](int32_t component, sample::Vec3 at, sample::Vec3 turn = {},
                     sample::Vec3 scale = {1, 1, 1}, uint8_t visible = 1) {
        sample::Node n;
        n.Name = "node " + std::to_string(m.Nodes.size());
        n.Component = component;
        n.Visibility = static_cast<int32_t>(m.Visibility.size());
        m.Visibility.push_back(visible);
        n.Transform = sample::AddTransform(m, at, turn, scale, {5, 0, 10});
        m.Nodes.push_back(n);
        return static_cast<int32_t>(m.Nodes.size() - 1);
    };
    node(cPoints, {1, 0, 0});                           // 0
    node(cLines, {0, 2, 0});                            // 1
    node(cTriangle, {0, 0, 1}, {0, 0, 30});             // 2
    node(cQuad, {3, 0, 0}, {30, 0, 45}, {2, 1, 0.5f});  // 3
    node(cPentagon, {-3, 0, 0});                        // 4
    node(cPentagon, {0, -5, 0}, {}, {1, 1, 1}, 0);      // 5 hidden
    node(cHexagon, {0, 6, 0}, {90, 0, 0});              // 6
    node(-1, {0, 0, -2}, {10, 20, 30}, {3, 3, 3});      // 7
    node(cPoints, {9, 9, 9});                           // 8
    node(cPentagon, {2, 2, 2});                         // 9
    node(-1, {0.5f, 0, 0});                             // 10
    auto link = [&m](int32_t from, int32_t child, int32_t sibling) {
        m.Nodes[static_cast<size_t>(from)].FirstChild = child;
        m.Nodes[static_cast<size_t>(from)].NextSibling = sibling;
    };
    link(10, 7, 6);
    link(7, 0, 5);
    link(0, -1, 1);
    link(1, 2, -1);
    link(5, 3, 4);
    link(4, 0, 10);
    link(6, 9, -1);
    link(8, 0, -1);
    return m;
}

sample::Archive EveryKindArchive() {
    sample::Archive archive;
    for (int k = 0; k < 2; ++k) {
        sample::ArchiveImage image;
        image.Width = image.Height = 8;
        image.Format = 5;  // RGB5A3: one 16-bit texel each
        // Between them every kind of wrap code: clamp, repeat, mirror, unknown.
        image.WrapS = k == 0 ? 0 : 1;
        image.WrapT = k == 0 ? 2 : 9;
        for (int i = 0; i < 64; ++i) {
            const int value = 0x8000 | (i * 509 + k * 4111) % 0x7FFF;
            image.Texels.push_back(static_cast<uint8_t>(value >> 8));
            image.Texels.push_back(static_cast<uint8_t>(value));
        }
        archive.Images.push_back(image);
    }
    return archive;
}

bool WriteEveryKind(const std::string& folder, std::string& modelPath) {
    auto path = [&](const std::string& name) {
        return Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(name));
    };
    modelPath = path("every-kind.model");
    return sample::WriteFile(modelPath, sample::WriteModel(EveryKindModel())) &&
           sample::WriteFile(path("every-kind-"), sample::WriteArchive(EveryKindArchive()));
}

}  // namespace testsupport
