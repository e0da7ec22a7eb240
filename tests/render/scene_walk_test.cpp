#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <bit>

#include "render/SceneView.h"
#include "render/SceneWalk.h"
#include "tests/render/SceneBuilder.h"

namespace {

using namespace testsupport;
// The placement as OpenGL's own calls build it, step by step.
void PlaceWithGl(const std::array<float, 24>& t) {
    glTranslatef(t[0], t[1], t[2]);
    glTranslatef(t[18], t[19], t[20]);
    glScalef(t[3], t[4], t[5]);
    glTranslatef(-t[21], -t[22], -t[23]);
    glRotatef(t[11], 0, 0, 1);
    glRotatef(t[10], 0, 1, 0);
    glRotatef(t[9], 1, 0, 0);
    glTranslatef(t[12], t[13], t[14]);
    glRotatef(2 * t[8], 0, 0, 1);
    glRotatef(2 * t[7], 0, 1, 0);
    glRotatef(2 * t[6], 1, 0, 0);
    glTranslatef(-t[15], -t[16], -t[17]);
}

TEST(NodeTransform, TheComposedMatrixIsTheOneOpenGlBuilds) {
    GlContext gl;
    // Distinct values in every slot, so that a swapped pair or a missed doubling shows.
    const std::array<float, 24> distinct{1.5f, -2,   3,   0.5f, 2,     1.25f, 10, -20,
                                         30,   15,   -25, 35,   0.75f, 1.5f,  -2, 4,
                                         -1,   0.5f, -3,  2.5f, 1,     0.25f, -1, 2};
    glLoadIdentity();
    PlaceWithGl(distinct);
    const std::array<float, 16> built = GlMatrix(GL_MODELVIEW_MATRIX);
    const std::array<float, 16> composed = NodeMatrix(std::bit_cast<NodeTransformRecord>(distinct));
    for (size_t i = 0; i < 16; ++i)
        EXPECT_NEAR(composed[i], built[i], 1e-4) << "element " << i;
    // T7 counts twice: 45 turns the x axis by 90 degrees about y, onto -z.
    std::array<float, 24> doubled{};
    doubled[3] = doubled[4] = doubled[5] = 1;
    doubled[7] = 45;
    const std::array<float, 16> turned = NodeMatrix(std::bit_cast<NodeTransformRecord>(doubled));
    EXPECT_NEAR(turned[0], 0, 1e-6);
    EXPECT_NEAR(turned[2], -1, 1e-6);
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
