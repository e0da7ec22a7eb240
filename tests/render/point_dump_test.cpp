#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "render/PointDump.h"
#include "render/SceneView.h"
#include "tests/support/GlContext.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::Feedback;
using testsupport::FeedbackItem;
using testsupport::GlContext;

// `size` bytes of zeros, with little-endian floats written from word `at` on.
std::vector<uint8_t> Dump(size_t size, size_t at = 0, std::vector<float> words = {}) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < words.size(); ++i) {
        uint32_t bits;
        std::memcpy(&bits, &words[i], 4);
        for (int b = 0; b < 4; ++b)
            bytes[4 * (at + i) + b] = static_cast<uint8_t>(bits >> (8 * b));
    }
    return bytes;
}

std::vector<FeedbackItem> Drawn(const PointDump& dump) {
    testsupport::UseFeedbackOrtho(64, 64);
    return Feedback([&] { dump.Draw(); });
}

TEST(PointDump, WholeTriplesFromWord116722AreDrawn) {
    GlContext gl;
    testsupport::TempDir dir;
    std::vector<uint8_t> one = Dump(466900, 116721, {99, 10, -20, 30});
    one[4 * 116722 + 0] = 0x00;  // x = 00 00 80 3F: 1.0, taken as it lies
    one[4 * 116722 + 1] = 0x00;
    one[4 * 116722 + 2] = 0x80;
    one[4 * 116722 + 3] = 0x3F;
    PointDump dump;
    EXPECT_TRUE(dump.Load(dir.Write("one", one)));
    EXPECT_EQ(dump.FileName, dir.File("one"));
    EXPECT_EQ(dump.Words.size(), 116725u);
    std::vector<FeedbackItem> points = Drawn(dump);
    ASSERT_EQ(points.size(), 1u);
    testsupport::Point3 p = testsupport::EyeOf(points[0].Vertices[0], 64, 64);
    EXPECT_NEAR(p.X, 1, 0.01);
    EXPECT_NEAR(p.Y, -20, 0.01);
    EXPECT_NEAR(p.Z, 30, 0.01);
    EXPECT_EQ(points[0].Vertices[0].R + points[0].Vertices[0].G + points[0].Vertices[0].B, 3);
    for (GLenum off : {GL_TEXTURE_2D, GL_BLEND, GL_ALPHA_TEST, GL_CULL_FACE})
        EXPECT_FALSE(glIsEnabled(off)) << off;

    // One byte short of that, or one or two words past it: nothing more.
    PointDump shortOne, ragged, empty, missing;
    EXPECT_TRUE(shortOne.Load(dir.Write("short", Dump(466899))));
    EXPECT_EQ(shortOne.Words.size(), 116724u);
    EXPECT_TRUE(Drawn(shortOne).empty());
    EXPECT_TRUE(ragged.Load(dir.Write("ragged", Dump(466900 + 11))));
    EXPECT_EQ(Drawn(ragged).size(), 1u);
    EXPECT_TRUE(empty.Load(dir.Write("empty", {})));
    EXPECT_TRUE(empty.Words.empty());
    EXPECT_TRUE(Drawn(empty).empty());
    EXPECT_FALSE(missing.Load(dir.File("missing")));
    EXPECT_TRUE(missing.Words.empty());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(PointDump, TheViewDrawsPointsThenAxesUnderTheCamera) {
    GlContext gl(100, 100);
    testsupport::TempDir dir;
    SceneView view;
    view.InitGL();
    view.Resize(100, 100);
    view.OpenDocument(dir.Write("empty", {}));
    EXPECT_EQ(view.DocumentKind, 3);
    std::vector<FeedbackItem> drawn = Feedback([&] { view.DrawScene(); });
    EXPECT_EQ(drawn.size(), 3u);  // the axes alone

    view.OpenDocument(dir.Write("points", Dump(466900 + 12, 116722, {0, 2, 0, 5, 5, 0})));
    drawn = Feedback([&] { view.DrawScene(); });
    ASSERT_EQ(drawn.size(), 5u);
    EXPECT_EQ(drawn[0].Type, FeedbackItem::Point);
    EXPECT_EQ(drawn[1].Type, FeedbackItem::Point);
    EXPECT_EQ(drawn[2].Type, FeedbackItem::Line);
    EXPECT_EQ(drawn[3].Type, FeedbackItem::Line);
    EXPECT_EQ(drawn[4].Type, FeedbackItem::Line);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

}  // namespace
