#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "render/Drawing.h"
#include "tests/render/SceneBuilder.h"
#include "tests/support/GlContext.h"

namespace {

using testsupport::AddMarker;
using testsupport::AddNode;
using testsupport::Feedback;
using testsupport::FeedbackItem;
using testsupport::GlContext;
using testsupport::SceneOf;

constexpr int kSize = 64;

struct P {
    double X, Y, Z;
};

// A point taken outward through a node's placement, one step at a time, as the
// model's own description reads: from the node's vertex to its parent.
P Outward(P v, const std::array<float, 24>& t) {
    auto move = [&](double x, double y, double z) { v = {v.X + x, v.Y + y, v.Z + z}; };
    auto turn = [&](double degrees, int axis) {
        double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
        P r = v;
        if (axis == 0)
            r = {v.X, c * v.Y - s * v.Z, s * v.Y + c * v.Z};
        if (axis == 1)
            r = {c * v.X + s * v.Z, v.Y, -s * v.X + c * v.Z};
        if (axis == 2)
            r = {c * v.X - s * v.Y, s * v.X + c * v.Y, v.Z};
        v = r;
    };
    move(-t[15], -t[16], -t[17]);
    turn(2.0 * t[6], 0);
    turn(2.0 * t[7], 1);
    turn(2.0 * t[8], 2);
    move(t[12], t[13], t[14]);
    turn(t[9], 0);
    turn(t[10], 1);
    turn(t[11], 2);
    move(-t[21], -t[22], -t[23]);
    v = {v.X * t[3], v.Y * t[4], v.Z * t[5]};
    move(t[18], t[19], t[20]);
    move(t[0], t[1], t[2]);
    return v;
}

std::array<float, 16> ModelviewAfter(const std::array<float, 24>& t) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ApplyNodeTransform(t.data());
    std::array<float, 16> m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

P Apply(const std::array<float, 16>& m, P v) {
    return {m[0] * v.X + m[4] * v.Y + m[8] * v.Z + m[12],
            m[1] * v.X + m[5] * v.Y + m[9] * v.Z + m[13],
            m[2] * v.X + m[6] * v.Y + m[10] * v.Z + m[14]};
}

TEST(NodeTransform, EveryFloatTakesItsPlaceInTheMatrix) {
    GlContext gl;
    // Distinct values in every slot, so that a swapped pair or a missed doubling shows.
    const std::array<float, 24> t{1.5f,  -2,   3,  0.5f, 2,  1.25f, 10, -20,  30, 15,    -25, 35,
                                  0.75f, 1.5f, -2, 4,    -1, 0.5f,  -3, 2.5f, 1,  0.25f, -1,  2};
    const std::array<float, 16> m = ModelviewAfter(t);
    EXPECT_EQ(m[3], 0);
    EXPECT_EQ(m[7], 0);
    EXPECT_EQ(m[11], 0);
    EXPECT_EQ(m[15], 1);
    for (P v : {P{0, 0, 0}, P{1, 0, 0}, P{0, 1, 0}, P{0, 0, 1}, P{-3, 7, 2}}) {
        P want = Outward(v, t), got = Apply(m, v);
        EXPECT_NEAR(got.X, want.X, 1e-3) << v.X << "," << v.Y << "," << v.Z;
        EXPECT_NEAR(got.Y, want.Y, 1e-3) << v.X << "," << v.Y << "," << v.Z;
        EXPECT_NEAR(got.Z, want.Z, 1e-3) << v.X << "," << v.Y << "," << v.Z;
    }

    // 0, 0, 0, 1, 1, 1 and eighteen zeros place nothing.
    std::array<float, 24> identity{};
    identity[3] = identity[4] = identity[5] = 1;
    const std::array<float, 16> one = ModelviewAfter(identity);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(one[i], i % 5 == 0 ? 1.0f : 0.0f) << i;

    // A stored 45 in T6 turns by 90 degrees about x; 45 in T9 turns by 45.
    std::array<float, 24> doubled = identity;
    doubled[6] = 45;
    P y = Apply(ModelviewAfter(doubled), {0, 1, 0});
    EXPECT_NEAR(y.Y, 0, 1e-6);
    EXPECT_NEAR(y.Z, 1, 1e-6);
    std::array<float, 24> single = identity;
    single[9] = 45;
    y = Apply(ModelviewAfter(single), {0, 1, 0});
    EXPECT_NEAR(y.Y, std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(y.Z, std::sqrt(0.5), 1e-6);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The walk, seen in feedback: each node draws one point at its origin in a
// colour of its own; the result lists (red byte, eye position) in drawing order.
struct Drawn {
    int Red;
    testsupport::Point3 At;
};

std::vector<Drawn> Walk(ModelScene& scene, uint32_t root) {
    testsupport::UseFeedbackOrtho(kSize, kSize);
    std::vector<Drawn> drawn;
    for (const FeedbackItem& item : Feedback([&] { scene.DrawNode(root); })) {
        EXPECT_EQ(item.Type, FeedbackItem::Point);
        const auto& v = item.Vertices.at(0);
        drawn.push_back(
            {static_cast<int>(std::lround(v.R * 255)), testsupport::EyeOf(v, kSize, kSize)});
    }
    return drawn;
}

sample::Color Red(uint8_t r) {
    return {r, 0, 0, 255};
}

TEST(SceneWalk, ChildrenFirstThenOwnSetsThenSiblingsUnderTheParent) {
    GlContext gl;
    sample::Model m;
    // Records 0 and 1 are siblings, both children of the root stored last.
    const int32_t a = AddNode(m, AddMarker(m, Red(10)), {1, 0, 0});
    const int32_t b = AddNode(m, AddMarker(m, Red(20)), {1, 0, 0});
    const int32_t root = AddNode(m, AddMarker(m, Red(30)), {0, 5, 0});
    m.Nodes[a].NextSibling = b;
    m.Nodes[root].FirstChild = a;
    auto scene = SceneOf(m);

    std::vector<Drawn> drawn = Walk(*scene, 2);
    ASSERT_EQ(drawn.size(), 3u);
    // The children before the parent's own geometry; the siblings do not inherit
    // each other's placement: both are 1 unit from the parent's origin.
    EXPECT_EQ(drawn[0].Red, 10);
    EXPECT_EQ(drawn[1].Red, 20);
    EXPECT_EQ(drawn[2].Red, 30);
    EXPECT_NEAR(drawn[0].At.X, 1, 0.01);
    EXPECT_NEAR(drawn[1].At.X, 1, 0.01);
    EXPECT_NEAR(drawn[0].At.Y, 5, 0.01);
    EXPECT_NEAR(drawn[2].At.X, 0, 0.01);
    EXPECT_NEAR(drawn[2].At.Y, 5, 0.01);
    // The walk leaves the matrix as it found it.
    std::array<float, 16> mv{};
    glGetFloatv(GL_MODELVIEW_MATRIX, mv.data());
    EXPECT_EQ(mv[13], 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(SceneWalk, TheViewStartsAtTheLastRecord) {
    GlContext gl;
    sample::Model m;
    // A root stored first whose child is the last record: from the last record
    // only that leaf is drawn.
    const int32_t first = AddNode(m, AddMarker(m, Red(10)));
    const int32_t leaf = AddNode(m, AddMarker(m, Red(20)));
    m.Nodes[first].FirstChild = leaf;
    auto scene = SceneOf(m);
    std::vector<Drawn> drawn = Walk(*scene, static_cast<uint32_t>(m.Nodes.size() - 1));
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].Red, 20);
}

TEST(SceneWalk, HiddenAndEmptyNodesStillLeadToTheirChildren) {
    GlContext gl;
    sample::Model m;
    const int32_t shown = AddNode(m, AddMarker(m, Red(10)), {}, 0x80);
    const int32_t empty = AddNode(m, -1, {0, 2, 0});
    const int32_t inner = AddNode(m, AddMarker(m, Red(20)));
    const int32_t hidden = AddNode(m, AddMarker(m, Red(30)), {3, 0, 0}, 0);
    m.Nodes[hidden].FirstChild = empty;
    m.Nodes[empty].FirstChild = inner;
    m.Nodes[empty].NextSibling = shown;
    auto scene = SceneOf(m);
    std::vector<Drawn> drawn = Walk(*scene, static_cast<uint32_t>(hidden));
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].Red, 20);  // under both the hidden and the empty node
    EXPECT_NEAR(drawn[0].At.X, 3, 0.01);
    EXPECT_NEAR(drawn[0].At.Y, 2, 0.01);
    EXPECT_EQ(drawn[1].Red, 10);  // a visibility byte of 0x80 shows
    EXPECT_NEAR(drawn[1].At.X, 3, 0.01);
    EXPECT_NEAR(drawn[1].At.Y, 0, 0.01);
}

TEST(SceneWalk, NestingPushesOneMatrixPerLevelAndSiblingChainsNone) {
    GlContext gl;
    GLint maxDepth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
    sample::Model m;
    const int32_t marker = AddMarker(m, Red(50));
    // A chain of 20 nested nodes, each 1 unit further along x, ends in 2000 siblings.
    const int depth = 20, siblings = 2000;
    for (int i = 0; i < siblings; ++i) {
        AddNode(m, marker);
        m.Nodes.back().NextSibling = i + 1 < siblings ? i + 1 : -1;
    }
    for (int i = 0; i < depth; ++i) {
        AddNode(m, -1, {1, 0, 0});
        m.Nodes.back().FirstChild = i == 0 ? 0 : static_cast<int32_t>(m.Nodes.size() - 2);
    }
    auto scene = SceneOf(m);
    std::vector<Drawn> drawn = Walk(*scene, static_cast<uint32_t>(m.Nodes.size() - 1));
    ASSERT_EQ(drawn.size(), static_cast<size_t>(siblings));
    EXPECT_NEAR(drawn.front().At.X, depth, 0.01);
    EXPECT_NEAR(drawn.back().At.X, depth, 0.01);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLint after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    EXPECT_EQ(after, 1);
}

}  // namespace
