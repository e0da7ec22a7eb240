#include <GL/gl.h>
#include <gtest/gtest.h>

#include "model/Utf8Path.h"
#include "render/SceneView.h"
#include "sample/DemoScene.h"
#include "tests/support/GlContext.h"
#include "tests/support/TempDir.h"

namespace {

using namespace testsupport;

TEST(DemoScene, EachKindOfFileOpensAndDrawsAtTheFirstCamera) {
    GlContext gl(640, 480);
    TempDir dir;
    sample::DemoFiles files;
    ASSERT_TRUE(sample::WriteDemo(Utf8FromPath(dir.Path()), files));
    SceneView view;
    view.InitGL();
    view.Resize(640, 480);
    view.OpenDocument(files.Model);
    ASSERT_EQ(view.DocumentKind, FileKind::ModelFile);
    EXPECT_EQ(view.Scene->TextureNames.size(), 8u);  // one per texel format
    ASSERT_EQ(view.Scene->Model().AnimationSets().size(), 3u);
    for (const auto& shared : view.Scene->Model().AnimationSets()) {
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
    // A good part of the picture is the model, and the hidden stage slab (40
    // units wide) leaves the corners clear.
    EXPECT_GT(gl.CountLit(), 640 * 480 / 6);
    EXPECT_EQ(gl.At(2, 2), Pixel{});
    EXPECT_EQ(gl.At(637, 477), Pixel{});

    // Without textures the textured parts change.
    const std::vector<uint8_t> textured = gl.ReadPixels();
    view.Command(ViewCommand::ToggleTextures);
    view.DrawScene();
    EXPECT_NE(gl.ReadPixels(), textured);

    // A texture archive closes the model and shows nothing; the kind stays.
    view.OpenDocument(files.Archive);
    EXPECT_EQ(view.DocumentKind, FileKind::ModelFile);
    EXPECT_EQ(view.Scene, nullptr);
    view.OpenDocument(files.PointDump);
    ASSERT_EQ(view.DocumentKind, FileKind::PointDump);
    view.DrawScene();
    EXPECT_GT(gl.CountLit(), 5000);
    view.OpenDocument("");  // no file chosen: nothing changes
    EXPECT_NE(view.Points, nullptr);
    view.OpenDocument(files.Model + ".gone");
    EXPECT_EQ(view.DocumentKind, FileKind::Unreadable);
    EXPECT_EQ(view.Points, nullptr);
}

}  // namespace
