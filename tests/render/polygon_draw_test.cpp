#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "tests/render/SceneBuilder.h"

namespace {

using namespace testsupport;

constexpr sample::Color kWhite{255, 255, 255, 255};

int Byte(float channel) {
    return static_cast<int>(std::lround(channel * 255));
}

// A square from (x0, y0) to (x1, y1) at depth 0, counter-clockwise (front-facing).
PolygonCorners Square(float x0, float y0, float x1, float y1, sample::Color c) {
    return {Corner{{x0, y0, 0}, c, {0, 0}}, Corner{{x1, y0, 0}, c, {1, 0}},
            Corner{{x1, y1, 0}, c, {1, 1}}, Corner{{x0, y1, 0}, c, {0, 1}}};
}

// The nodes of `m` as siblings under a root stored last, in the order given.
void ChainUnderRoot(sample::Model& m) {
    const int32_t count = static_cast<int32_t>(m.Nodes.size());
    for (int32_t i = 0; i + 1 < count; ++i)
        m.Nodes[i].NextSibling = i + 1;
    const int32_t root = AddNode(m, -1);
    m.Nodes[root].FirstChild = 0;
}

// One green texel as the scene's only image.
void GiveGreenTexture(ModelScene& scene) {
    const uint8_t green[] = {0, 180, 0, 255};
    const GLuint name = scene.TextureNames.Generate();
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, green);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST(PolygonSets, TheVertexCountChoosesThePrimitive) {
    GlContext gl;
    sample::Model m;
    // Polygons of 1, 2, 3, 4, 5 and 0 corners, each a regular n-gon of its own
    // place; corner k of the n-gon has red 10 n + k + 1.
    std::vector<PolygonCorners> polygons;
    for (int n : {1, 2, 3, 4, 5, 0}) {
        const float x = -60.0f + 60 * (polygons.size() % 3), y = polygons.size() < 3 ? 60 : -40;
        polygons.emplace_back();
        for (int k = 0; k < n; ++k) {
            const double a = 2 * M_PI * k / n;
            polygons.back().push_back(Corner{{x + 25 * static_cast<float>(std::cos(a)),
                                              y + 25 * static_cast<float>(std::sin(a)), 0},
                                             {static_cast<uint8_t>(10 * n + k + 1), 0, 0, 255}});
        }
    }
    AddNode(m, AddComponent(m, polygons));
    auto scene = SceneOf(m);
    UseFeedbackOrtho();
    std::vector<FeedbackItem::Kind> kinds;
    for (const FeedbackItem& item : Feedback([&] { DrawWhole(*scene); }))
        kinds.push_back(item.Type);
    // 1 point, 1 line, 1 triangle, a quad (two triangles), a pentagon (three),
    // and nothing for no corners.
    using enum FeedbackItem::Kind;
    EXPECT_EQ(kinds,
              (std::vector{Point, Line, Polygon, Polygon, Polygon, Polygon, Polygon, Polygon}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // Flat shading tells a quad (its fourth corner's colour) from a polygon (its
    // first) and a triangle (its third).
    glShadeModel(GL_FLAT);
    Frame(*scene);
    EXPECT_EQ(PixelAt(gl, 60, 60).R, 33);
    EXPECT_EQ(PixelAt(gl, -60, -40).R, 44);
    EXPECT_EQ(PixelAt(gl, 0, -40).R, 51);
    EXPECT_EQ(PixelAt(gl, 60, -40).R, 0);
}

TEST(PolygonSets, EveryAttributeComesThroughItsOrderListAndBases) {
    GlContext gl;
    sample::Model m;
    // Decoys everywhere but at the one index each attribute must come from.
    m.Vertices = {{-1, -1, -1}, {-2, -2, -2}, {-3, -3, -3}, {7, 8, 9}, {-4, -4, -4}};
    m.Normals = {{1, 0, 0}, {0, 0, -1}, {0, 0.6f, 0.8f}, {1, 1, 0}};
    m.Colors = {{1, 1, 1, 1}, {11, 22, 33, 250}, {2, 2, 2, 2}};
    m.TexVertices = {{9, 9}, {8, 8}, {7, 7}, {6, 6}, {5, 5}, {0.25f, 0.75f}, {4, 4}};
    m.VertexOrder = {0, 0, 1, 0};              // entry 1 + 1 = 2: vertex 2 + 1
    m.NormalOrder = {0, 0, 0, 2, 0};           // entry 2 + 1 = 3: normal 2
    m.ColorOrder = {0, 0, 0, 0, 1, 0};         // entry 3 + 1 = 4: colour 1
    m.TexVertexOrder = {0, 0, 0, 0, 0, 2, 0};  // entry 4 + 1 = 5: texture vertex 3 + 2
    m.Polygons = {{0, 0}, {1, 1}};
    m.PolygonSets.resize(2);  // the first a decoy
    sample::PolygonSet& set = m.PolygonSets[1];
    set.TextureMap = 0;
    set.FirstPolygon = set.PolygonCount = set.VertexOrderBase = 1;
    set.NormalOrderBase = 2;
    set.ColorOrderBase = 3;
    set.TexVertexOrderBase = 4;
    sample::Component& c = m.Components.emplace_back();
    c.VertexBase = 2;
    c.TexVertexBase = 3;
    c.FirstPolygonSet = c.PolygonSetCount = 1;
    c.AlphaMode = 2;
    m.TextureMaps = {{0, 0}};
    m.TextureDefinitions = {{}};
    AddNode(m, 0);
    auto scene = SceneOf(m);
    GiveGreenTexture(*scene);

    UseFeedbackOrtho();
    std::vector<FeedbackItem> items = Feedback([&] { DrawWhole(*scene); });
    ASSERT_EQ(items.size(), 1u);
    const FeedbackVertex& v = items[0].Vertices[0];
    const Point3 at = EyeOf(v);
    EXPECT_NEAR(at.X, 7, 0.01);
    EXPECT_NEAR(at.Y, 8, 0.01);
    EXPECT_NEAR(at.Z, 9, 0.01);
    EXPECT_EQ((std::array{Byte(v.R), Byte(v.G), Byte(v.B), Byte(v.A)}),
              (std::array{11, 22, 33, 250}));
    EXPECT_FLOAT_EQ(v.S, 0.25f);
    EXPECT_FLOAT_EQ(v.T, 0.75f);
    std::array<float, 3> normal{};
    glGetFloatv(GL_CURRENT_NORMAL, normal.data());
    EXPECT_EQ(normal, (std::array{0.0f, 0.6f, 0.8f}));

    // Entries past their order lists: neutral values, not the last corner's.
    m.NormalOrder.resize(3);
    m.ColorOrder.resize(4);
    m.TexVertexOrder.resize(5);
    scene = SceneOf(m);
    GiveGreenTexture(*scene);
    items = Feedback([&] { DrawWhole(*scene); });
    ASSERT_EQ(items.size(), 1u);
    const FeedbackVertex& plain = items[0].Vertices[0];
    EXPECT_EQ((std::array{Byte(plain.R), Byte(plain.G), Byte(plain.B), Byte(plain.A)}),
              (std::array{255, 255, 255, 255}));
    EXPECT_EQ((std::array{plain.S, plain.T}), (std::array{0.0f, 0.0f}));
    glGetFloatv(GL_CURRENT_NORMAL, normal.data());
    EXPECT_EQ(normal, (std::array{0.0f, 0.0f, 1.0f}));
}

TEST(PolygonSets, AlphaTestAndAdditiveBlending) {
    GlContext gl;
    sample::Model m;
    // Alpha-tested: 242 is dropped, 243 kept.
    AddNode(m, AddComponent(m,
                            {Square(-100, -100, 0, -50, {255, 255, 255, 242}),
                             Square(0, -100, 100, -50, {255, 255, 255, 243})},
                            0));
    auto tested = SceneOf(m);
    Frame(*tested);
    EXPECT_EQ(PixelAt(gl, -50, -75).R, 0);
    EXPECT_EQ(PixelAt(gl, 50, -75).R, 255);

    // Then an additive component: it brightens what is behind, and its faint
    // square is not discarded by the alpha test the first one switched on.
    AddNode(m, AddComponent(m,
                            {Square(-100, -10, 100, 100, {200, 0, 0, 128}),
                             Square(-100, -100, 100, 10, {0, 100, 0, 255}),
                             Square(50, 50, 100, 100, {0, 0, 255, 20})},
                            3));
    ChainUnderRoot(m);
    auto additive = SceneOf(m);
    glClearColor(0, 0, 64 / 255.0f, 0);
    Frame(*additive);
    const Pixel both = PixelAt(gl, 0, 0);
    EXPECT_NEAR(both.R, 100, 1);  // 200 x 128 / 255
    EXPECT_EQ(both.G, 100);
    EXPECT_EQ(both.B, 64);  // the clear colour shows through
    EXPECT_NEAR(PixelAt(gl, 75, 75).B, 64 + 20, 1);
}

TEST(PolygonSets, AlphaAndCullStateCarryToTheNextComponentAndFrame) {
    GlContext gl;
    sample::Model m;
    const sample::Color green{0, 200, 0, 128};
    // Drawn in this order: A (mode 1, leaves states), B (additive, culling on),
    // C (modes 1 and 2: additive and culled as B left it), D (alpha-tested,
    // which ends the blending, and culling off).
    AddNode(m, AddComponent(m, {Square(-100, 50, 100, 100, green)}, 1));
    AddNode(m, AddComponent(m, {Square(-100, -100, -50, -50, {50, 0, 0, 255})}, 3, 1));
    auto clockwise = [](PolygonCorners square) {
        std::swap(square[1], square[3]);
        return square;
    };
    AddNode(m,
            AddComponent(m, {Square(-100, 0, 0, 25, green), clockwise(Square(0, 0, 50, 25, green))},
                         1, 2));
    AddNode(m, AddComponent(m, {clockwise(Square(50, -100, 100, -50, {0, 0, 200, 250}))}, 0, 3));
    ChainUnderRoot(m);
    auto scene = SceneOf(m);
    Frame(*scene);
    EXPECT_EQ(PixelAt(gl, 0, 75).G, 200);         // A: nothing set yet, opaque
    EXPECT_NEAR(PixelAt(gl, -50, 12).G, 100, 1);  // C: additive like B
    EXPECT_EQ(PixelAt(gl, 25, 12).G, 0);          // C's back face: culled like B
    EXPECT_EQ(PixelAt(gl, 75, -75).B, 200);       // D's back face: opaque and drawn
    // The next frame starts with what the last component left: A's faint
    // square fails D's alpha test.
    Frame(*scene);
    EXPECT_EQ(PixelAt(gl, 0, 75).G, 0);
}

// One textured square (texture map 0 -> image `image`) drawn after an untextured one.
sample::Model TexturedModel(int32_t image) {
    sample::Model m;
    AddNode(m, AddComponent(m, {Square(0, -100, 100, 100, {0, 0, 255, 255})}));
    AddNode(m, AddComponent(m, {Square(-100, -100, 0, 100, kWhite)}, 2, 2, 0));
    ChainUnderRoot(m);
    m.TextureMaps = {{image, 0}};
    m.TextureDefinitions = {{}};
    return m;
}

TEST(PolygonSets, TexturesFollowTheSwitchAndOnlyExistingTextureObjects) {
    GlContext gl;
    auto scene = SceneOf(TexturedModel(0));
    GiveGreenTexture(*scene);
    Frame(*scene);
    EXPECT_EQ(PixelAt(gl, -50, 0), (Pixel{0, 180, 0, 255}));
    EXPECT_EQ(PixelAt(gl, 50, 0), (Pixel{0, 0, 255, 255}));

    // With textures off, white vertex colour and no texture coordinates at all:
    // the current coordinate set before the frame survives it.
    scene->SetTexturesEnabled(0);
    glTexCoord2f(9, 9);
    Frame(*scene);
    EXPECT_EQ(PixelAt(gl, -50, 0), (Pixel{255, 255, 255, 255}));
    std::array<float, 4> current{};
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, current.data());
    EXPECT_EQ(current, (std::array<float, 4>{9, 9, 0, 1}));
    // Turned on again, the coordinates come back: the last corner's is current.
    scene->SetTexturesEnabled(1);
    DrawWhole(*scene);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, current.data());
    EXPECT_EQ(current, (std::array<float, 4>{0, 1, 0, 1}));

    // An image number with no texture object, a map past block 20, or no
    // texture definitions at all: vertex colours.
    const std::function<void(sample::Model&)> spoilers[] = {
        [](sample::Model& m) { m.TextureMaps[0].TextureIndex = 1; },
        [](sample::Model& m) { m.PolygonSets[1].TextureMap = 7; },
        [](sample::Model& m) { m.TextureDefinitions.clear(); }};
    for (const auto& spoil : spoilers) {
        sample::Model m = TexturedModel(0);
        spoil(m);
        auto spoilt = SceneOf(m);
        GiveGreenTexture(*spoilt);
        Frame(*spoilt);
        EXPECT_EQ(PixelAt(gl, -50, 0), (Pixel{255, 255, 255, 255}));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
