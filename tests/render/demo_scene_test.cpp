#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>

#include "render/SceneView.h"
#include "sample/DemoScene.h"
#include "tests/support/GlContext.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::GlContext;
using testsupport::Pixel;

// The picture as a binary PPM, for a person to look at.
void SavePicture(const GlContext& gl, const std::string& path) {
    std::vector<uint8_t> rgba = gl.ReadPixels();
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << gl.Width() << " " << gl.Height() << "\n255\n";
    for (size_t i = 0; i < rgba.size(); i += 4)
        out.write(reinterpret_cast<const char*>(&rgba[i]), 3);
}

TEST(DemoScene, OpensAndDrawsEveryPartAtTheFirstCamera) {
    GlContext gl(640, 480);
    testsupport::TempDir dir;
    sample::DemoFiles files;
    ASSERT_TRUE(sample::WriteDemo(testsupport::Utf8(dir.Path()), files));

    SceneView view;
    view.InitGL();
    view.Resize(640, 480);
    view.OpenDocument(files.Model);
    ASSERT_EQ(view.DocumentKind, 2);
    const ModelScene& scene = *view.Scene;
    EXPECT_EQ(scene.TextureNames.size(), 8u);  // one per texel format
    ASSERT_EQ(scene.AnimationSets().size(), 3u);
    for (const AnimationSet& set : scene.AnimationSets()) {
        EXPECT_FALSE(set.SetInfo.empty());
        EXPECT_FALSE(set.Frames.empty());
        EXPECT_FALSE(set.List4.empty());
        EXPECT_FALSE(set.List5.empty());
        EXPECT_FALSE(set.TextureControl.empty());
        EXPECT_FALSE(set.PlaneControl.empty());
        EXPECT_FALSE(set.AnimationControl.empty());
        EXPECT_FALSE(set.List9.empty());
    }

    view.DrawScene();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    SavePicture(gl, "demo-scene.ppm");
    // A good part of the picture is the model, and the hidden stage slab (40
    // units wide) leaves the corners clear.
    EXPECT_GT(gl.CountLit(), 640 * 480 / 6);
    EXPECT_EQ(gl.At(2, 2), Pixel{});
    EXPECT_EQ(gl.At(637, 477), Pixel{});

    // Without textures the tiles are plain white; with them, they are not.
    view.Command(kCommandToggleTextures);
    view.DrawScene();
    const int untextured = gl.CountLit();
    SavePicture(gl, "demo-scene-untextured.ppm");
    view.Command(kCommandToggleTextures);

    view.OpenDocument(files.PointDump);
    ASSERT_EQ(view.DocumentKind, 3);
    view.DrawScene();
    SavePicture(gl, "demo-points.ppm");
    EXPECT_GT(gl.CountLit(), 5000);
    EXPECT_GT(untextured, 0);
}

}  // namespace
