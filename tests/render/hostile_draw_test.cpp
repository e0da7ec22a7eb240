// Models whose links and indices point anywhere: the walk and the polygon
// sets skip what lies outside its table, end on cycles, and leave GL clean.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <random>

#include "model/ByteSource.h"
#include "tests/render/SceneBuilder.h"
#include "tests/support/GlContext.h"

namespace {

using testsupport::AddComponent;
using testsupport::AddMarker;
using testsupport::AddNode;
using testsupport::Corner;
using testsupport::Feedback;
using testsupport::FeedbackItem;
using testsupport::FirstGlError;
using testsupport::GlContext;
using testsupport::SceneOf;

constexpr int kSize = 64;

// The red bytes of the points drawn by a walk from the last record, in order.
std::vector<int> RedsDrawn(ModelScene& scene) {
    testsupport::UseFeedbackOrtho(kSize, kSize);
    std::vector<int> reds;
    for (const FeedbackItem& item : Feedback([&] {
             if (!scene.Nodes().empty())
                 scene.DrawNode(static_cast<uint32_t>(scene.Nodes().size() - 1));
         })) {
        for (const auto& v : item.Vertices)
            reds.push_back(static_cast<int>(v.R * 255 + 0.5f));
    }
    return reds;
}

GLint ModelviewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

TEST(HostileWalk, CyclesAndSelfLinksDrawEachNodeOnce) {
    GlContext gl;
    sample::Model m;
    const int32_t a = AddNode(m, AddMarker(m, {10, 0, 0, 255}));
    const int32_t b = AddNode(m, AddMarker(m, {20, 0, 0, 255}));
    const int32_t root = AddNode(m, AddMarker(m, {30, 0, 0, 255}));
    m.Nodes[root].FirstChild = a;
    m.Nodes[a].NextSibling = b;
    m.Nodes[b].NextSibling = a;    // a sibling cycle
    m.Nodes[a].FirstChild = root;  // back up to the root
    m.Nodes[b].FirstChild = b;     // a self-link
    m.Nodes[root].NextSibling = root;
    auto scene = SceneOf(m);
    EXPECT_EQ(RedsDrawn(*scene), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(FirstGlError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(ModelviewDepth(), 1);

    // A child shared by two parents is drawn under the first only.
    m.Nodes[a].FirstChild = -1;
    m.Nodes[b].FirstChild = -1;
    m.Nodes[root].NextSibling = -1;
    m.Nodes[b].NextSibling = -1;
    const int32_t shared = AddNode(m, AddMarker(m, {40, 0, 0, 255}));
    m.Nodes[a].FirstChild = shared;
    m.Nodes[b].FirstChild = shared;
    const int32_t top = AddNode(m, -1);
    m.Nodes[top].FirstChild = root;
    auto sharing = SceneOf(m);
    EXPECT_EQ(RedsDrawn(*sharing), (std::vector<int>{40, 10, 20, 30}));
}

TEST(HostileWalk, LongChainsNeitherOverflowTheCallStackNorTheMatrixStack) {
    GlContext gl;
    GLint maxDepth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
    const int32_t count = 100'000;

    // 100 000 siblings: all drawn, one level deep.
    sample::Model siblings;
    const int32_t marker = AddMarker(siblings, {10, 0, 0, 255});
    for (int32_t i = 0; i < count; ++i) {
        AddNode(siblings, marker);
        siblings.Nodes.back().NextSibling = i > 0 ? i - 1 : -1;
    }
    auto wide = SceneOf(siblings);
    EXPECT_EQ(RedsDrawn(*wide).size(), static_cast<size_t>(count));
    EXPECT_EQ(FirstGlError(), GLenum(GL_NO_ERROR));

    // 100 000 levels: only as deep as the matrix stack has room for.
    sample::Model nested = siblings;
    for (int32_t i = 0; i < count; ++i) {
        nested.Nodes[i].NextSibling = -1;
        nested.Nodes[i].FirstChild = i > 0 ? i - 1 : -1;
    }
    auto deep = SceneOf(nested);
    EXPECT_EQ(RedsDrawn(*deep).size(), static_cast<size_t>(maxDepth - 1));
    EXPECT_EQ(FirstGlError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(ModelviewDepth(), 1);
}

// A damaged node (one corner at (1, 2, 3), red 20) followed by a sound sibling
// (red 10) under a root stored last; `damage` spoils the first one.
struct Damage {
    const char* What;
    std::function<void(sample::Model&, sample::Node&, sample::Component&, sample::PolygonSet&,
                       sample::Polygon&)>
        Apply;
    std::vector<int> Drawn;
};

TEST(HostileWalk, IndicesOutsideTheirTablesAreSkippedAndTheRestDrawn) {
    GlContext gl;
    using M = sample::Model;
    using N = sample::Node;
    using C = sample::Component;
    using S = sample::PolygonSet;
    using P = sample::Polygon;
    const std::vector<int> both{20, 10}, soundOnly{10};
    const std::vector<Damage> cases{
        {"child link", [](M&, N& n, C&, S&, P&) { n.FirstChild = 1'000'000; }, both},
        {"sibling link", [](M&, N& n, C&, S&, P&) { n.NextSibling = -7; }, {20}},
        {"component", [](M&, N& n, C&, S&, P&) { n.Component = 77; }, soundOnly},
        {"negative component", [](M&, N& n, C&, S&, P&) { n.Component = -5; }, soundOnly},
        {"visibility", [](M&, N& n, C&, S&, P&) { n.Visibility = 1'000'000; }, soundOnly},
        {"negative visibility", [](M&, N& n, C&, S&, P&) { n.Visibility = -2; }, soundOnly},
        {"transform", [](M&, N& n, C&, S&, P&) { n.Transform = -1; }, soundOnly},
        {"transform end",
         [](M& m, N& n, C&, S&, P&) {
             n.Transform = static_cast<int32_t>(m.Transforms.size()) - 23;
         },
         soundOnly},
        {"far transform", [](M&, N& n, C&, S&, P&) { n.Transform = INT_MAX; }, soundOnly},
        {"first set", [](M&, N&, C& c, S&, P&) { c.FirstPolygonSet = -3; }, soundOnly},
        {"far first set", [](M&, N&, C& c, S&, P&) { c.FirstPolygonSet = INT_MAX; }, soundOnly},
        {"set count", [](M&, N&, C& c, S&, P&) { c.PolygonSetCount = INT_MAX; }, both},
        {"negative set count", [](M&, N&, C& c, S&, P&) { c.PolygonSetCount = -1; }, soundOnly},
        {"first polygon", [](M&, N&, C&, S& s, P&) { s.FirstPolygon = INT_MIN; }, soundOnly},
        {"polygon count", [](M&, N&, C&, S& s, P&) { s.PolygonCount = INT_MAX; }, both},
        {"vertex order base", [](M&, N&, C&, S& s, P&) { s.VertexOrderBase = INT_MAX; }, soundOnly},
        {"negative vertex order base", [](M&, N&, C&, S& s, P&) { s.VertexOrderBase = INT_MIN; },
         soundOnly},
        {"vertex base", [](M&, N&, C& c, S&, P&) { c.VertexBase = INT_MAX; }, soundOnly},
        {"negative vertex base", [](M&, N&, C& c, S&, P&) { c.VertexBase = INT_MIN; }, soundOnly},
        {"vertex order entry", [](M& m, N&, C&, S&, P&) { m.VertexOrder.back() = 0xFFFFFFFFu; },
         soundOnly},
        {"polygon start", [](M&, N&, C&, S&, P& p) { p.First = 0xFFFFFFF0u; }, soundOnly},
        // A polygon of 2^32 - 1 corners has one inside the order list: no polygon.
        {"corner count", [](M&, N&, C&, S&, P& p) { p.VertexCount = 0xFFFFFFFFu; }, soundOnly},
        {"normal", [](M&, N&, C&, S& s, P&) { s.NormalOrderBase = INT_MAX; }, both},
        {"colour", [](M&, N&, C&, S& s, P&) { s.ColorOrderBase = -9; }, {255, 10}},
        {"texture vertex",
         [](M&, N&, C& c, S& s, P&) {
             s.TextureMap = 0;
             s.TexVertexOrderBase = INT_MIN;
             c.TexVertexBase = INT_MAX;
         },
         both},
        {"texture map", [](M&, N&, C&, S& s, P&) { s.TextureMap = 5; }, both},
        {"texture image",
         [](M& m, N&, C&, S& s, P&) {
             s.TextureMap = 0;
             m.TextureMaps[0].TextureIndex = INT_MAX;
         },
         both},
    };
    for (const Damage& damage : cases) {
        sample::Model m;
        m.TextureMaps = {{0, 0}};
        m.TextureDefinitions = {{}};
        const int32_t sound = AddMarker(m, {10, 0, 0, 255});
        const int32_t spoilt = AddComponent(m, {{Corner{{1, 2, 3}, {20, 0, 0, 255}}}});
        const int32_t first = AddNode(m, spoilt);
        const int32_t second = AddNode(m, sound);
        m.Nodes[first].NextSibling = second;
        const int32_t root = AddNode(m, -1);
        m.Nodes[root].FirstChild = first;
        damage.Apply(m, m.Nodes[first], m.Components[spoilt], m.PolygonSets.back(),
                     m.Polygons.back());
        auto scene = SceneOf(m);
        scene->TextureNames = {0};
        EXPECT_EQ(RedsDrawn(*scene), damage.Drawn) << damage.What;
        EXPECT_EQ(FirstGlError(), GLenum(GL_NO_ERROR)) << damage.What;
        EXPECT_EQ(ModelviewDepth(), 1) << damage.What;
        scene->TextureNames.clear();
    }
}

TEST(HostileWalk, RandomDamageNeverLeavesAGlErrorOrAStrayMatrix) {
    GlContext gl(16, 16);
    sample::Model m;
    const int32_t square =
        AddComponent(m,
                     {{Corner{{0, 0, 0}}, Corner{{1, 0, 0}}, Corner{{1, 1, 0}}, Corner{{0, 1, 0}}},
                      {Corner{{0, 0, 0}}, Corner{{2, 0, 0}}, Corner{{0, 2, 0}}}},
                     {.AlphaMode = 3, .CullMode = 1});
    for (int i = 0; i < 6; ++i) {
        AddNode(m, i % 2 ? square : -1, {float(i), 0, 0});
        if (i > 0)
            m.Nodes[i].FirstChild = i - 1;
    }
    m.TextureMaps = {{0, 0}};
    m.TextureDefinitions = {{}};
    m.PolygonSets[0].TextureMap = 0;
    const std::vector<uint8_t> clean = sample::WriteModel(m);
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = clean;
        // Damage past the directory only, so that the blocks stay where they are
        // and their records carry the nonsense.
        for (int hits = 0; hits < 8; ++hits) {
            size_t at = 432 + random() % (bytes.size() - 432);
            bytes[at] = static_cast<uint8_t>(random());
        }
        MemorySource source(bytes);
        ModelScene scene;
        scene.LoadFrom(source);
        scene.TextureNames = {0};
        scene.DrawNode(static_cast<uint32_t>(scene.Nodes().size() - 1));
        ASSERT_EQ(FirstGlError(), GLenum(GL_NO_ERROR)) << round;
        ASSERT_EQ(ModelviewDepth(), 1) << round;
        scene.TextureNames.clear();
    }
}

}  // namespace

namespace {

TEST(HostileWalk, PolygonsSpanningWholeOrderListsStillFinishAFrame) {
    GlContext gl(4, 4);
    // 4000 polygons of 100 000 corners each, all over one order list: four
    // hundred million corners if drawn as the file asks.
    sample::Model m;
    m.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    m.VertexOrder.resize(100'000);
    for (size_t i = 0; i < m.VertexOrder.size(); ++i)
        m.VertexOrder[i] = i % 3;
    m.Polygons.assign(4000, {0, 100'000});
    sample::PolygonSet set;
    set.PolygonCount = 4000;
    m.PolygonSets = {set};
    sample::Component c;
    c.PolygonSetCount = 1;
    m.Components = {c};
    AddNode(m, 0);
    auto scene = SceneOf(m);
    scene->DrawNode(0);
    glFinish();
    EXPECT_EQ(FirstGlError(), GLenum(GL_NO_ERROR));
}

}  // namespace
