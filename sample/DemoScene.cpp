#include "sample/DemoScene.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>

#include "model/Utf8Path.h"
#include "sample/BigEndianWriter.h"
#include "sample/MeshBuilder.h"
#include "sample/TexelEncoder.h"

namespace sample {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

uint8_t Byte(float v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255 + 0.5f);
}

Rgba Hue(float h, float value = 1, uint8_t alpha = 255) {
    auto channel = [&](float shift) {
        return Byte(value * (0.5f + 0.5f * std::cos(2 * kPi * (h - shift))));
    };
    return {channel(0), channel(1.0f / 3), channel(2.0f / 3), alpha};
}

// A picture of `size` x `size` texels from a function of (u, v) in [0, 1).
template <class F>
std::vector<Rgba> Picture(int size, F texel) {
    std::vector<Rgba> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels.push_back(texel((x + 0.5f) / size, (y + 0.5f) / size));
    return pixels;
}

ArchiveImage Image(uint32_t format, int size, const std::vector<Rgba>& pixels) {
    ArchiveImage image;
    image.Width = image.Height = static_cast<uint16_t>(size);
    image.Format = format;
    image.Texels = EncodeTexels(format, size, size, pixels);
    return image;
}

// The archive's images, one per texel format, in this order.
constexpr uint32_t kFormats[] = {0, 1, 2, 3, 4, 5, 6, 14};

ArchiveImage FormatImage(uint32_t format) {
    const int size = 64;
    switch (format) {
        case 0:  // a checkerboard of greys
            return Image(format, size, Picture(size, [](float u, float v) {
                             int cell = (int(u * 8) + int(v * 8)) % 2;
                             uint8_t g = cell ? 230 : uint8_t(60 + 120 * v);
                             return Rgba{g, g, g, 255};
                         }));
        case 1:  // concentric rings
            return Image(format, size, Picture(size, [](float u, float v) {
                             float r = std::hypot(u - 0.5f, v - 0.5f);
                             uint8_t g = Byte(0.5f + 0.5f * std::cos(r * 40));
                             return Rgba{g, g, g, 255};
                         }));
        case 2:  // a grille: solid bars, holes between (alpha-tested away)
            return Image(format, size, Picture(size, [](float u, float v) {
                             bool bar =
                                 std::fmod(u * 6, 1.0f) < 0.3f || std::fmod(v * 6, 1.0f) < 0.3f;
                             uint8_t g = Byte(0.6f + 0.4f * v);
                             return Rgba{g, g, g, uint8_t(bar ? 255 : 0)};
                         }));
        case 3:  // a soft disc whose edge falls under the alpha test
            return Image(format, size, Picture(size, [](float u, float v) {
                             float r = std::hypot(u - 0.5f, v - 0.5f) * 2;
                             uint8_t g = Byte(1 - 0.6f * r);
                             return Rgba{g, g, g, Byte(1.6f - r)};
                         }));
        case 4:  // a plasma of colours
            return Image(format, size, Picture(size, [](float u, float v) {
                             float h = 0.25f * (std::sin(u * 9) + std::sin(v * 7) +
                                                std::sin((u + v) * 6) + 1.5f);
                             return Hue(h);
                         }));
        case 5:  // diagonal stripes
            return Image(format, size, Picture(size, [](float u, float v) {
                             int stripe = int((u + v) * 6) % 3;
                             return stripe == 0   ? Rgba{240, 80, 40, 255}
                                    : stripe == 1 ? Rgba{250, 200, 60, 255}
                                                  : Rgba{40, 60, 160, 255};
                         }));
        case 6:  // a colour wheel
            return Image(format, size, Picture(size, [](float u, float v) {
                             float a = std::atan2(v - 0.5f, u - 0.5f) / (2 * kPi);
                             float r = std::min(1.0f, std::hypot(u - 0.5f, v - 0.5f) * 2.2f);
                             Rgba c = Hue(a, 1);
                             auto mix = [&](uint8_t ch) {
                                 return Byte((ch / 255.0f) * r + (1 - r));
                             };
                             return Rgba{mix(c.R), mix(c.G), mix(c.B), 255};
                         }));
        default:  // 14: a sunset sky over a dark sea, four colours per block
            return Image(
                format, size, Picture(size, [](float u, float v) {
                    if (v > 0.62f)
                        return Rgba{20, Byte(0.15f + 0.2f * u), Byte(0.4f - 0.2f * v), 255};
                    float sun = std::hypot(u - 0.5f, v - 0.55f) < 0.18f ? 1.0f : 0.0f;
                    return Rgba{Byte(0.9f + sun), Byte(0.25f + 0.6f * v + sun),
                                Byte(0.3f - 0.3f * v + 0.5f * sun), 255};
                }));
    }
}

// Geometry of the model, written straight into its tables.
class Builder {
  public:
    explicit Builder(Model& m) : m_(m) {}

    int32_t Component(const std::string& name, const std::vector<PolygonCorners>& polygons,
                      uint32_t alpha, uint32_t cull, int32_t textureMap = -1) {
        int32_t c = AddComponent(m_, polygons, alpha, cull, textureMap, name);
        m_.PolygonSets.back().Unknown12 = 0x00C0FFEE;
        return c;
    }

    // A node placed by the given transform; children and siblings are linked
    // by Link. Returns its index.
    int32_t Node(const std::string& name, int32_t component, Vec3 translate, Vec3 rotate = {},
                 Vec3 scale = {1, 1, 1}, Vec3 doubledRotate = {}, bool visible = true) {
        sample::Node node;
        node.Name = name;
        node.Component = component;
        node.Visibility = static_cast<int32_t>(m_.Visibility.size());
        m_.Visibility.push_back(visible ? 1 : 0);
        node.Transform = AddTransform(m_, translate, rotate, scale, doubledRotate);
        m_.Nodes.push_back(node);
        return static_cast<int32_t>(m_.Nodes.size() - 1);
    }

    // Makes `children` the children of `parent`, in that order.
    void Link(int32_t parent, const std::vector<int32_t>& children) {
        m_.Nodes[parent].FirstChild = children.empty() ? -1 : children.front();
        for (size_t i = 0; i + 1 < children.size(); ++i)
            m_.Nodes[children[i]].NextSibling = children[i + 1];
    }

  private:
    Model& m_;
};

// A square tile of `size` facing +z, texture coordinates 0..1 (t = 0 at the top).
std::vector<PolygonCorners> Tile(float size) {
    const float h = size / 2;
    const Color white{255, 255, 255, 255};
    return {{Corner{{-h, -h, 0}, white, {0, 1}}, Corner{{h, -h, 0}, white, {1, 1}},
             Corner{{h, h, 0}, white, {1, 0}}, Corner{{-h, h, 0}, white, {0, 0}}}};
}

// A closed cube with a colour at each corner, faces wound counter-clockwise
// from outside, so back-face culling shows it solid.
std::vector<PolygonCorners> ColourCube(float size) {
    const float h = size / 2;
    auto corner = [&](int i) {
        Vec3 p{i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h};
        Color c{uint8_t(i & 1 ? 255 : 40), uint8_t(i & 2 ? 255 : 40), uint8_t(i & 4 ? 255 : 40),
                255};
        return Corner{p, c, {}, {p.X / h, p.Y / h, p.Z / h}};
    };
    const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    std::vector<PolygonCorners> polygons;
    for (const auto& face : faces)
        polygons.push_back({corner(face[0]), corner(face[1]), corner(face[2]), corner(face[3])});
    return polygons;
}

// A twisted ribbon: both of its sides show, so it needs culling off.
std::vector<PolygonCorners> Ribbon(float length, float width) {
    std::vector<PolygonCorners> polygons;
    const int steps = 24;
    auto edge = [&](int i, float side) {
        float t = float(i) / steps, a = t * kPi;
        Vec3 p{(t - 0.5f) * length, side * width / 2 * std::cos(a), side * width / 2 * std::sin(a)};
        Rgba c = Hue(t * 0.8f + 0.55f);
        return Corner{p, {c.R, c.G, c.B, 255}, {t, side > 0 ? 0.0f : 1.0f}};
    };
    for (int i = 0; i < steps; ++i)
        polygons.push_back({edge(i, -1), edge(i + 1, -1), edge(i + 1, 1), edge(i, 1)});
    return polygons;
}

// A soft glow: a fan of triangles, bright in the middle, fading out.
std::vector<PolygonCorners> Glow(float radius, Color centre) {
    std::vector<PolygonCorners> polygons;
    const int steps = 24;
    Color rim = centre;
    rim.A = 0;
    for (int i = 0; i < steps; ++i) {
        float a0 = 2 * kPi * i / steps, a1 = 2 * kPi * (i + 1) / steps;
        polygons.push_back({Corner{{0, 0, 0}, centre},
                            Corner{{radius * std::cos(a0), radius * std::sin(a0), 0}, rim},
                            Corner{{radius * std::cos(a1), radius * std::sin(a1), 0}, rim}});
    }
    return polygons;
}

AnimationSet Animation(const std::string& name, uint32_t frames, float seconds) {
    AnimationSet set;
    set.Name = name;
    set.Unknown13 = frames;
    AnimationData& d = set.Data;
    d.Coordinates = {-20, -14, -4, 20, 17, 4};
    d.SetInfo = {{1, 0, seconds}};
    for (uint32_t f = 0; f < frames; ++f) {
        Frame frame;
        frame.Time = seconds * f / frames;
        for (uint32_t list = 0; list < 5; ++list)
            frame.Ranges[list] = {f, 1};
        d.Frames.push_back(frame);
        d.List4.push_back(f * 3);
        d.List5.push_back(f + 100);
        d.TextureControl.push_back({f, 0, f % 8});
        d.PlaneControl.push_back({uint8_t(f), uint8_t(0xFF - f), 0x10, 0x80});
        d.AnimationControl.push_back(0x100 + f);
    }
    d.List9 = {{1, 2}, {3, 4}};
    return set;
}

}  // namespace

Model DemoModel() {
    Model m;
    m.ModelName = "Kestrel demo";
    m.TextureName = kDemoTextureName;
    m.Date = "2024-06-01";
    m.Unknowns = {1, 2, 3};
    m.BoundingBox = {-20, -14, -4, 20, 17, 4};
    Builder b(m);

    // Texture maps and definitions: map k shows archive image k.
    for (int32_t k = 0; k < static_cast<int32_t>(std::size(kFormats)); ++k) {
        m.TextureMaps.push_back({k, 0});
        m.TextureDefinitions.push_back({0, k, 0, "format " + std::to_string(kFormats[k])});
    }
    m.Block19 = {{0, 0, 0, 1, 1, 1}};

    // Two rows of tiles, one per texel format, all alpha-tested: the grille and
    // the soft disc lose their transparent parts.
    std::vector<int32_t> topTiles, lowTiles;
    for (int32_t k = 0; k < static_cast<int32_t>(std::size(kFormats)); ++k) {
        int32_t tile = b.Component("tile " + std::to_string(kFormats[k]), Tile(7.5f), 0, 1, k);
        float x = -15 + 10 * float(k % 4);
        (k < 4 ? topTiles : lowTiles).push_back(b.Node("tile", tile, {x, 0, 0}, {0, 0, 0}));
    }
    const int32_t topRow = b.Node("top row", -1, {0, 13, 0}, {-8, 0, 0});
    const int32_t lowRow = b.Node("low row", -1, {0, 4, 0}, {-4, 0, 0});
    b.Link(topRow, topTiles);
    b.Link(lowRow, lowTiles);

    // Below: a spinning colour cube (culled) inside a tilted frame, made of two
    // nested nodes that use both kinds of rotation; a double-sided ribbon; an
    // additive glow in front of a grille.
    const int32_t cube = b.Component("colour cube", ColourCube(6), 0, 1);
    const int32_t spin = b.Node("cube spin", cube, {}, {}, {1, 1, 1}, {12, 20, 0});
    const int32_t tilt = b.Node("cube tilt", -1, {-13, -8, 0}, {20, 25, 0});
    b.Link(tilt, {spin});

    const int32_t ribbon = b.Component("ribbon", Ribbon(12, 3.5f), 0, 3);
    const int32_t ribbonNode = b.Node("ribbon", ribbon, {0, -8, 0}, {0, -35, 10});

    const int32_t grille = b.Component("grille", Tile(7), 0, 3, 2);
    const int32_t grilleNode = b.Node("grille", grille, {13, -8, -1.5f});
    const int32_t glow = b.Component("glow", Glow(5.5f, {255, 150, 40, 220}), 3, 3);
    const int32_t glowNode = b.Node("glow", glow, {13, -8, 1});

    // The stage is hidden (its slab would cover the scene) but its children show.
    const int32_t slab = b.Component("stage slab", Tile(40), 0, 3);
    const int32_t stage = b.Node("stage", slab, {0, 0, 2}, {}, {1, 1, 1}, {}, false);
    b.Link(stage, {tilt, ribbonNode, grilleNode, glowNode});

    // The root is the last record.
    const int32_t root = b.Node("root", -1, {0, 0, 0});
    b.Link(root, {topRow, lowRow, stage});

    m.AnimationSets = {Animation("idle", 4, 2), Animation("spin", 6, 1.5f),
                       Animation("wave", 3, 1)};
    return m;
}

Archive DemoArchive() {
    Archive archive;
    for (uint32_t format : kFormats)
        archive.Images.push_back(FormatImage(format));
    return archive;
}

std::vector<uint8_t> DemoPointDump() {
    constexpr size_t kFirstPointWord = 116722;
    const int points = 30000;
    std::vector<uint8_t> bytes(4 * (kFirstPointWord + 3 * size_t{points}));
    size_t at = 4 * kFirstPointWord;
    auto put = [&](float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        for (int i = 0; i < 4; ++i)  // little-endian, as point dumps are
            bytes[at++] = static_cast<uint8_t>(bits >> (8 * i));
    };
    // A two-armed spiral galaxy, 40 units across, facing the first camera and
    // leaning back a little. Worked in double precision: the float functions
    // of two C libraries differ in the last bit, which the stored floats
    // would show, while their double results round to the same floats.
    for (int i = 0; i < points; ++i) {
        const double t = double(i) / points;
        const double arm = (i % 2) * std::numbers::pi;
        const double r = 1 + 19 * std::sqrt(t);
        const double a = arm + 3 * std::numbers::pi * std::sqrt(t) + 0.35 * std::sin(i * 12.9898);
        const double thickness = 1.8 * std::sin(i * 78.233) * (1 - t);
        const double y = r * std::sin(a);
        put(static_cast<float>(r * std::cos(a)));
        put(static_cast<float>(0.85 * y + 0.5 * thickness));
        put(static_cast<float>(0.5 * y + 0.85 * thickness));
    }
    return bytes;
}

bool WriteDemo(const std::string& folder, DemoFiles& files) {
    auto path = [&](const std::string& name) { return InFolder(folder, name); };
    files.Model = path("kestrel-demo.model");
    files.Archive = path(std::string(kDemoTextureName) + "-");
    files.PointDump = path("kestrel-demo.points");
    return WriteFile(files.Model, WriteModel(DemoModel())) &&
           WriteFile(files.Archive, WriteArchive(DemoArchive())) &&
           WriteFile(files.PointDump, DemoPointDump());
}

}  // namespace sample
