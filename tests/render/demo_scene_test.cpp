#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>

#include "render/SceneView.h"
#include "sample/DemoScene.h"
#include "tests/support/GlContext.h"
#include "tests/support/TempDir.h"

namespace {

using namespace testsupport;

// The picture as a binary PPM in the working folder, for a person to look at.
void SavePicture(const GlContext& gl, const std::string& path) {
    std::vector<uint8_t> rgba = gl.ReadPixels();
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << gl.Width() << " " << gl.Height() << "\n255\n";
    for (size_t i = 0; i < rgba.size(); i += 4)
        out.write(reinterpret_cast<const char*>(&rgba[i]), 3);
}

TEST(DemoScene, OpensAndDrawsEveryPartAtTheFirstCamera) {
    GlContext gl(640, 480);
    TempDir dir;
    sample::DemoFiles files;
    ASSERT_TRUE(sample::WriteDemo(Utf8(dir.Path()), files));
    SceneView view;
    view.InitGL();
    view.Resize(640, 480);
    view.OpenDocument(files.Model);
    ASSERT_EQ(view.DocumentKind, FileKind::ModelFile);
    EXPECT_EQ(view.Scene->TextureNames.size(), 8u);  // one per texel format
    ASSERT_EQ(view.Scene->AnimationSets().size(), 3u);
    for (const auto& shared : view.Scene->AnimationSets()) {
        const AnimationSet& s = *shared;
        const bool empty[] = {s.SetInfo.empty(),
                              s.Frames.empty(),
                              s.List4.empty(),
                              s.List5.empty(),
                              s.TextureControl.empty(),
                              s.PlaneControl.empty(),
                              s.AnimationControl.empty(),
                              s.List9.empty()};
        EXPECT_EQ(std::find(std::begin(empty), std::end(empty), true) - empty, 8);  // none empty
    }

    view.DrawScene();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    SavePicture(gl, "demo-scene.ppm");
    // A good part of the picture is the model, and the hidden stage slab (40
    // units wide) leaves the corners clear.
    EXPECT_GT(gl.CountLit(), 640 * 480 / 6);
    EXPECT_EQ(gl.At(2, 2), Pixel{});
    EXPECT_EQ(gl.At(637, 477), Pixel{});

    // Without textures the textured parts change.
    const std::vector<uint8_t> textured = gl.ReadPixels();
    view.Command(kCommandToggleTextures);
    view.DrawScene();
    SavePicture(gl, "demo-scene-untextured.ppm");
    EXPECT_NE(gl.ReadPixels(), textured);

    view.OpenDocument(files.PointDump);
    ASSERT_EQ(view.DocumentKind, FileKind::PointDump);
    view.DrawScene();
    SavePicture(gl, "demo-points.ppm");
    EXPECT_GT(gl.CountLit(), 5000);
}

}  // namespace
