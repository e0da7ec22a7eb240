#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "render/Drawing.h"
#include "render/SceneView.h"
#include "tests/render/SceneBuilder.h"

namespace {

using namespace testsupport;
using V = std::array<double, 3>;

// A point taken outward through a node's placement, one field at a time, from
// the node's vertex to its parent: T15, T6-T8 doubled, T12, T9-T11, T21, T3, T18, T0.
V Outward(V v, const std::array<float, 24>& t) {
    auto move = [&](int first, double sign) {
        for (int i = 0; i < 3; ++i)
            v[i] += sign * t[first + i];
    };
    auto turn = [&](int first, double factor) {
        for (int axis = 0; axis < 3; ++axis) {
            const double a = factor * t[first + axis] * M_PI / 180;
            const int i = (axis + 1) % 3, j = (axis + 2) % 3;
            const V was = v;
            v[i] = std::cos(a) * was[i] - std::sin(a) * was[j];
            v[j] = std::sin(a) * was[i] + std::cos(a) * was[j];
        }
    };
    move(15, -1);
    turn(6, 2);
    move(12, 1);
    turn(9, 1);
    move(21, -1);
    for (int i = 0; i < 3; ++i)
        v[i] *= t[3 + i];
    move(18, 1);
    move(0, 1);
    return v;
}

TEST(NodeTransform, TheMatrixIsTheOneComputedFieldByField) {
    GlContext gl;
    std::array<float, 24> identity{};
    identity[3] = identity[4] = identity[5] = 1;
    std::array<float, 24> doubled = identity;
    doubled[6] = 45;  // turns by 90 degrees
    // Distinct values in every slot, so that a swapped pair or a missed doubling shows.
    const std::array<float, 24> distinct{1.5f, -2,   3,   0.5f, 2,     1.25f, 10, -20,
                                         30,   15,   -25, 35,   0.75f, 1.5f,  -2, 4,
                                         -1,   0.5f, -3,  2.5f, 1,     0.25f, -1, 2};
    for (const auto& t : {identity, doubled, distinct}) {
        glLoadIdentity();
        ApplyNodeTransform(t.data());
        const std::array<float, 16> m = GlMatrix(GL_MODELVIEW_MATRIX);
        // Column k is where axis k goes, less where the origin goes; column 3 the origin.
        const V origin = Outward({0, 0, 0}, t);
        for (int k = 0; k < 4; ++k) {
            V axis{};
            if (k < 3)
                axis[k] = 1;
            const V to = Outward(axis, t);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(m[4 * k + i], k < 3 ? to[i] - origin[i] : origin[i], 1e-3)
                    << "T6 " << t[6] << ", column " << k << ", row " << i;
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(SceneWalk, FromTheLastRecordChildrenBeforeTheParentAndSiblingsPlacedByItOnly) {
    GlContext gl;
    sample::Model m;
    // Records 0 and 1 are siblings, both children of the root stored last.
    const int32_t a = AddNode(m, AddMarker(m, 10), {1, 0, 0});
    const int32_t b = AddNode(m, AddMarker(m, 20), {1, 0, 0});
    const int32_t root = AddNode(m, AddMarker(m, 30), {0, 5, 0});
    m.Nodes[a].NextSibling = b;
    m.Nodes[root].FirstChild = a;
    // Drawn by the view, under its camera at (0, -2, -55).
    SceneView view;
    view.Scene = SceneOf(m);
    view.DocumentKind = FileKind::ModelFile;
    view.ShowAxes = 0;
    EXPECT_EQ(PointsDrawn([&] { view.DrawScene(); }),
              (std::vector<DrawnPoint>{{10, 1, 3, -55}, {20, 1, 3, -55}, {30, 0, 3, -55}}));
    EXPECT_EQ(GlInteger(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(SceneWalk, HiddenAndEmptyNodesStillLeadToTheirChildren) {
    GlContext gl;
    sample::Model m;
    const int32_t shown = AddNode(m, AddMarker(m, 10), {}, 0x80);
    const int32_t empty = AddNode(m, -1, {0, 2, 0});
    const int32_t inner = AddNode(m, AddMarker(m, 20));
    const int32_t hidden = AddNode(m, AddMarker(m, 30), {3, 0, 0}, 0);
    m.Nodes[hidden].FirstChild = empty;
    m.Nodes[empty].FirstChild = inner;
    m.Nodes[empty].NextSibling = shown;
    auto scene = SceneOf(m);
    // The inner node under both the hidden and the empty one; 0x80 shows.
    EXPECT_EQ(PointsDrawn([&] { DrawWhole(*scene); }),
              (std::vector<DrawnPoint>{{20, 3, 2, 0}, {10, 3, 0, 0}}));
}

}  // namespace
