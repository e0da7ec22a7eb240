#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "render/PointDump.h"
#include "render/SceneView.h"
#include "tests/render/SceneBuilder.h"
#include "tests/support/GlContext.h"
#include "tests/support/TempDir.h"

namespace {

using namespace testsupport;

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

TEST(PointDump, WholeTriplesFromWord116722AreDrawn) {
    GlContext gl;
    TempDir dir;
    std::vector<uint8_t> one = Dump(466900, 116721, {99, 10, -20, 30});
    const uint8_t x[] = {0x00, 0x00, 0x80, 0x3F};  // 1.0, taken as it lies
    std::memcpy(&one[4 * 116722], x, 4);
    PointDump dump;
    EXPECT_TRUE(dump.Load(dir.Write("one", one)));
    EXPECT_EQ(dump.FileName, dir.File("one"));
    EXPECT_EQ(dump.Words.size(), 116725u);
    glColor4f(0, 0, 0, 0);  // the points are white whatever came before
    EXPECT_EQ(PointsDrawn([&] { dump.Draw(); }), (std::vector<DrawnPoint>{{255, 1, -20, 30}}));
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, (std::array<float, 4>{1, 1, 1, 1}));
    for (GLenum off : {GL_TEXTURE_2D, GL_BLEND, GL_ALPHA_TEST, GL_CULL_FACE})
        EXPECT_FALSE(glIsEnabled(off)) << off;
    // The view draws the points, then the axes.
    SceneView view;
    view.OpenDocument(dir.File("one"));
    EXPECT_EQ(view.DocumentKind, 3);
    std::vector<FeedbackItem::Kind> kinds;
    for (const FeedbackItem& item : Feedback([&] { view.DrawScene(); }))
        kinds.push_back(item.Type);
    using enum FeedbackItem::Kind;
    EXPECT_EQ(kinds, (std::vector{Point, Line, Line, Line}));

    // One byte short of that draws none, one or two words past it one; an
    // empty file none.
    const std::pair<size_t, size_t> sizes[] = {{466899, 0}, {466900 + 11, 1}, {0, 0}};
    for (auto [size, points] : sizes) {
        PointDump other;
        EXPECT_TRUE(other.Load(dir.Write("other", Dump(size))));
        EXPECT_EQ(other.Words.size(), size / 4);
        EXPECT_EQ(PointsDrawn([&] { other.Draw(); }).size(), points) << size;
    }
    PointDump missing;
    EXPECT_FALSE(missing.Load(dir.File("missing")));
    EXPECT_TRUE(missing.Words.empty());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
