// Models whose links and indices point anywhere: the walk and the polygon
// sets skip what lies outside its table, end on cycles, and leave GL clean.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "model/ByteSource.h"
#include "tests/render/SceneBuilder.h"

namespace {

using namespace testsupport;

// The red bytes a walk from the last record draws, in order.
std::vector<int> RedsDrawn(ModelScene& scene) {
    std::vector<int> reds;
    for (const DrawnPoint& p : PointsDrawn([&] { DrawWhole(scene); }))
        reds.push_back(p.Red);
    return reds;
}

// GL as a frame should leave it: no error, the matrix stack back at the camera.
void ExpectCleanGl(const std::string& what = {}) {
    EXPECT_EQ(FirstGlError(), GLenum(GL_NO_ERROR)) << what;
    EXPECT_EQ(GlInteger(GL_MODELVIEW_STACK_DEPTH), 1) << what;
}

TEST(HostileWalk, CyclesAndSelfLinksDrawEachNodeOnce) {
    GlContext gl;
    sample::Model m;
    const int32_t a = AddNode(m, AddMarker(m, 10));
    const int32_t b = AddNode(m, AddMarker(m, 20));
    const int32_t root = AddNode(m, AddMarker(m, 30));
    m.Nodes[root].FirstChild = a;
    m.Nodes[a].NextSibling = b;
    m.Nodes[b].NextSibling = a;    // a sibling cycle
    m.Nodes[a].FirstChild = root;  // back up to the root
    m.Nodes[b].FirstChild = b;     // a self-link
    m.Nodes[root].NextSibling = root;
    EXPECT_EQ(RedsDrawn(*SceneOf(m)), (std::vector<int>{10, 20, 30}));
    ExpectCleanGl();

    // A child shared by two parents is drawn under the first only.
    m.Nodes[b].NextSibling = m.Nodes[root].NextSibling = -1;
    const int32_t shared = AddNode(m, AddMarker(m, 40));
    m.Nodes[a].FirstChild = m.Nodes[b].FirstChild = shared;
    const int32_t top = AddNode(m, -1);
    m.Nodes[top].FirstChild = root;
    EXPECT_EQ(RedsDrawn(*SceneOf(m)), (std::vector<int>{40, 10, 20, 30}));
}

TEST(HostileWalk, LongChainsNeitherOverflowTheCallStackNorTheMatrixStack) {
    GlContext gl;
    const int32_t count = 100'000;
    // 100 000 siblings, each 1 unit further along x than its parent would put
    // it: all drawn, at x = 1, one level deep.
    sample::Model siblings;
    const int32_t marker = AddMarker(siblings, 10);
    for (int32_t i = 0; i < count; ++i)
        siblings.Nodes[AddNode(siblings, marker, {1, 0, 0})].NextSibling = i - 1;
    const std::vector<DrawnPoint> wide = PointsDrawn([&] { DrawWhole(*SceneOf(siblings)); });
    ASSERT_EQ(wide.size(), static_cast<size_t>(count));
    EXPECT_EQ(wide.back(), (DrawnPoint{10, 1, 0, 0}));
    ExpectCleanGl();

    // 100 000 levels: only as deep as the matrix stack has room for.
    sample::Model nested = siblings;
    for (int32_t i = 0; i < count; ++i) {
        nested.Nodes[i].NextSibling = -1;
        nested.Nodes[i].FirstChild = i - 1;
    }
    EXPECT_EQ(RedsDrawn(*SceneOf(nested)).size(),
              static_cast<size_t>(GlInteger(GL_MAX_MODELVIEW_STACK_DEPTH) - 1));
    ExpectCleanGl();
}

// The parts of the first of two sibling nodes that a case spoils.
struct Spoilt {
    sample::Model& M;
    sample::Node& N;
    sample::Component& C;
    sample::PolygonSet& S;
    sample::Polygon& P;
};

TEST(HostileWalk, IndicesOutsideTheirTablesAreSkippedAndTheRestDrawn) {
    GlContext gl;
    // The spoilt node draws one corner at (1, 2, 3) with red 20, its sound
    // sibling red 10; each case lists the reds still drawn.
    const std::vector<int> both{20, 10}, soundOnly{10};
    const struct {
        const char* What;
        void (*Spoil)(Spoilt);
        std::vector<int> Drawn;
    } cases[] = {
        {"child link", [](Spoilt x) { x.N.FirstChild = 1'000'000; }, both},
        {"sibling link", [](Spoilt x) { x.N.NextSibling = -7; }, {20}},
        {"component", [](Spoilt x) { x.N.Component = 77; }, soundOnly},
        {"negative component", [](Spoilt x) { x.N.Component = -5; }, soundOnly},
        {"visibility", [](Spoilt x) { x.N.Visibility = 1'000'000; }, soundOnly},
        {"negative visibility", [](Spoilt x) { x.N.Visibility = -2; }, soundOnly},
        {"transform", [](Spoilt x) { x.N.Transform = -1; }, soundOnly},
        {"transform end",
         [](Spoilt x) { x.N.Transform = static_cast<int32_t>(x.M.Transforms.size()) - 23; },
         soundOnly},
        {"far transform", [](Spoilt x) { x.N.Transform = INT_MAX; }, soundOnly},
        {"first set", [](Spoilt x) { x.C.FirstPolygonSet = -3; }, soundOnly},
        {"far first set", [](Spoilt x) { x.C.FirstPolygonSet = INT_MAX; }, soundOnly},
        {"set count", [](Spoilt x) { x.C.PolygonSetCount = INT_MAX; }, both},
        {"negative set count", [](Spoilt x) { x.C.PolygonSetCount = -1; }, soundOnly},
        {"first polygon", [](Spoilt x) { x.S.FirstPolygon = INT_MIN; }, soundOnly},
        {"polygon count", [](Spoilt x) { x.S.PolygonCount = INT_MAX; }, both},
        {"vertex order base", [](Spoilt x) { x.S.VertexOrderBase = INT_MAX; }, soundOnly},
        {"negative vertex order base", [](Spoilt x) { x.S.VertexOrderBase = INT_MIN; }, soundOnly},
        {"vertex base", [](Spoilt x) { x.C.VertexBase = INT_MAX; }, soundOnly},
        {"negative vertex base", [](Spoilt x) { x.C.VertexBase = INT_MIN; }, soundOnly},
        {"vertex order entry", [](Spoilt x) { x.M.VertexOrder.back() = 0xFFFFFFFFu; }, soundOnly},
        {"polygon start", [](Spoilt x) { x.P.First = 0xFFFFFFF0u; }, soundOnly},
        // A polygon of 2^32 - 1 corners has one inside the order list: no polygon.
        {"corner count", [](Spoilt x) { x.P.VertexCount = 0xFFFFFFFFu; }, soundOnly},
        {"normal", [](Spoilt x) { x.S.NormalOrderBase = INT_MAX; }, both},
        {"colour", [](Spoilt x) { x.S.ColorOrderBase = -9; }, {255, 10}},
        {"texture vertex",
         [](Spoilt x) {
             x.S.TextureMap = 0;
             x.S.TexVertexOrderBase = INT_MIN;
             x.C.TexVertexBase = INT_MAX;
         },
         both},
        {"texture map", [](Spoilt x) { x.S.TextureMap = 5; }, both},
        {"texture image",
         [](Spoilt x) {
             x.S.TextureMap = 0;
             x.M.TextureMaps[0].TextureIndex = INT_MAX;
         },
         both},
    };
    for (const auto& c : cases) {
        sample::Model m;
        m.TextureMaps = {{0, 0}};
        m.TextureDefinitions = {{}};
        const int32_t sound = AddMarker(m, 10);
        const int32_t spoilt = AddComponent(m, {{Corner{{1, 2, 3}, {20, 0, 0, 255}}}});
        const int32_t first = AddNode(m, spoilt);
        m.Nodes[first].NextSibling = AddNode(m, sound);
        m.Nodes[AddNode(m, -1)].FirstChild = first;
        c.Spoil({m, m.Nodes[first], m.Components[spoilt], m.PolygonSets.back(), m.Polygons.back()});
        auto scene = SceneOf(m);
        scene->TextureNames.Repeat(0);  // one image, on the default texture
        EXPECT_EQ(RedsDrawn(*scene), c.Drawn) << c.What;
        ExpectCleanGl(c.What);
    }
}

TEST(HostileWalk, RandomDamageNeverLeavesAGlErrorOrAStrayMatrix) {
    GlContext gl(16, 16);
    sample::Model m;
    const int32_t square =
        AddComponent(m,
                     {{Corner{{0, 0, 0}}, Corner{{1, 0, 0}}, Corner{{1, 1, 0}}, Corner{{0, 1, 0}}},
                      {Corner{{0, 0, 0}}, Corner{{2, 0, 0}}, Corner{{0, 2, 0}}}},
                     3, 1);
    for (int i = 0; i < 6; ++i)
        m.Nodes[AddNode(m, i % 2 ? square : -1, {float(i), 0, 0})].FirstChild = i - 1;
    m.TextureMaps = {{0, 0}};
    m.TextureDefinitions = {{}};
    m.PolygonSets[0].TextureMap = 0;
    const std::vector<uint8_t> clean = sample::WriteModel(m);
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = clean;
        // Damage past the directory only, so that the blocks stay where they are
        // and their records carry the nonsense.
        for (int hits = 0; hits < 8; ++hits)
            bytes[432 + random() % (bytes.size() - 432)] = static_cast<uint8_t>(random());
        MemorySource source(bytes);
        ModelScene scene;
        scene.Open(LoadDocumentFrom(source, nullptr));
        scene.TextureNames.Repeat(0);  // one image, on the default texture
        DrawWhole(scene);
        ExpectCleanGl("round " + std::to_string(round));
        if (HasFailure())
            break;
    }
}

TEST(HostileWalk, AWalksWorkStaysInProportionToTheFile) {
    GlContext gl(4, 4);
    // 4000 polygons of 100 000 corners each, all over one order list: four
    // hundred million corners if drawn as the file asks.
    sample::Model m;
    m.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (uint32_t i = 0; i < 100'000; ++i)
        m.VertexOrder.push_back(i % 3);
    m.Polygons.assign(4000, {0, 100'000});
    m.PolygonSets.emplace_back().PolygonCount = 4000;
    m.Components.emplace_back().PolygonSetCount = 1;
    AddNode(m, 0);
    auto spanning = SceneOf(m);
    spanning->DrawNode(0);
    EXPECT_EQ(spanning->ItemsSent(), kDrawItemsPerFileByte * int64_t(spanning->Model().FileSize()));
    ExpectCleanGl();

    // 6000 nodes that share one component of 6000 empty sets: 36 million sets
    // to visit, though none of them draws anything.
    sample::Model shared;
    shared.Components.emplace_back().PolygonSetCount = 6000;
    shared.PolygonSets.resize(6000);
    for (int32_t i = 0; i < 6000; ++i)
        shared.Nodes[AddNode(shared, 0)].NextSibling = i - 1;
    auto instanced = SceneOf(shared);
    DrawWhole(*instanced);
    EXPECT_EQ(instanced->ItemsSent(),
              kDrawItemsPerFileByte * int64_t(instanced->Model().FileSize()));
    ExpectCleanGl();
}

}  // namespace
