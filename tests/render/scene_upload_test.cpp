#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "sample/ArchiveWriter.h"
#include "sample/BigEndianWriter.h"
#include "tests/render/SceneBuilder.h"
#include "tests/support/GlContext.h"
#include "tests/support/TempDir.h"
#include "texture/UploadSize.h"

namespace {

using testsupport::GlContext;

TEST(UploadSize, PowersOfTwoFrom64) {
    const std::pair<uint32_t, uint32_t> examples[] = {
        {0, 64},    {1, 64},    {64, 64},     {65, 128},    {128, 128},    {200, 256},
        {256, 256}, {300, 512}, {1024, 1024}, {1025, 2048}, {65535, 65536}};
    for (auto [n, size] : examples)
        EXPECT_EQ(UploadSize(n), size) << n;
}

// An image of one grey in the 8-bit intensity format: uniform, so whatever the
// tiling, it decodes to that grey.
sample::ArchiveImage Grey(uint16_t width, uint16_t height, uint8_t grey) {
    sample::ArchiveImage image;
    image.Width = width;
    image.Height = height;
    image.Format = 1;
    image.WrapS = 2;  // shown by the data view, never applied
    image.WrapT = 2;
    image.Texels.assign(static_cast<size_t>(width) * height, grey);
    return image;
}

struct Level {
    GLint Width = 0, Height = 0;
    std::vector<uint8_t> Texels;
};

Level LevelOf(GLuint texture) {
    Level level;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &level.Width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &level.Height);
    level.Texels.resize(static_cast<size_t>(level.Width) * level.Height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, level.Texels.data());
    return level;
}

// A model that names archive "kestrel tex" and draws one white square.
sample::Model NamingArchive() {
    sample::Model m;
    m.TextureName = "kestrel tex";
    const sample::Color white{255, 255, 255, 255};
    testsupport::AddNode(m, testsupport::AddComponent(m,
                                                      {{{{-50, -50, 0}, white, {0, 0}},
                                                        {{50, -50, 0}, white, {1, 0}},
                                                        {{50, 50, 0}, white, {1, 1}},
                                                        {{-50, 50, 0}, white, {0, 1}}}},
                                                      {.TextureMap = 0}));
    m.TextureMaps = {{3, 0}};
    m.TextureDefinitions = {{}};
    return m;
}

TEST(ModelScene, UploadsOneTextureObjectPerImageInArchiveOrder) {
    GlContext gl;
    testsupport::TempDir dir;
    // A folder name beyond ASCII, and a current folder elsewhere: the archive is
    // found beside the model all the same.
    const std::filesystem::path folder = dir.Path() / std::filesystem::path(u8"modèles ü");
    std::filesystem::create_directory(folder);
    sample::Archive archive;
    archive.Images = {Grey(64, 64, 20), Grey(32, 16, 40), Grey(128, 64, 60),  Grey(200, 100, 80),
                      Grey(16, 16, 90), Grey(0, 0, 0),    Grey(4000, 4000, 0)};
    archive.Images[4].Format = 9;         // decodes to transparent black
    archive.Images[6].Texels.resize(16);  // far more texels than the file holds
    sample::WriteFile(testsupport::Utf8(folder / "kestrel tex-"), sample::WriteArchive(archive));
    const std::string model = testsupport::Utf8(folder / "model.bin");
    sample::WriteFile(model, sample::WriteModel(NamingArchive()));

    auto scene = std::make_unique<ModelScene>();
    EXPECT_EQ(scene->TexturesEnabled, 1);
    EXPECT_TRUE(scene->Load(model));
    EXPECT_TRUE(scene->ArchiveLoaded());
    ASSERT_EQ(scene->TextureNames.size(), 7u);
    EXPECT_EQ(std::set<uint32_t>(scene->TextureNames.begin(), scene->TextureNames.end()).size(),
              7u);

    const std::pair<GLint, GLint> sizes[] = {{64, 64}, {64, 64}, {128, 64}, {256, 128},
                                             {64, 64}, {64, 64}, {64, 64}};
    const uint8_t greys[] = {20, 40, 60, 80};
    for (size_t k = 0; k < 7; ++k) {
        const GLuint name = scene->TextureNames[k];
        ASSERT_TRUE(glIsTexture(name)) << k;
        Level level = LevelOf(name);
        EXPECT_EQ(level.Width, sizes[k].first) << k;
        EXPECT_EQ(level.Height, sizes[k].second) << k;
        GLint wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        EXPECT_EQ(wrapS, GL_REPEAT) << k;
        EXPECT_EQ(wrapT, GL_REPEAT) << k;
        EXPECT_EQ(minFilter, GL_LINEAR) << k;
        EXPECT_EQ(magFilter, GL_LINEAR) << k;
        // Each texture holds its own image, stretched where needed.
        const size_t last = level.Texels.size() - 4;
        for (size_t at : {size_t{0}, level.Texels.size() / 2, last}) {
            const uint8_t* t = &level.Texels[at];
            if (k < 4) {
                EXPECT_EQ(t[0], greys[k]) << k;
                EXPECT_EQ(t[3], 255) << k;
            } else {
                EXPECT_EQ(t[0] + t[1] + t[2] + t[3], 0) << k;  // transparent
            }
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // The polygon shows image 3 through texture map 0.
    testsupport::UseFeedbackOrtho(64, 64);
    glClear(GL_COLOR_BUFFER_BIT);
    scene->DrawNode(0);
    EXPECT_EQ(gl.At(32, 32), (testsupport::Pixel{80, 80, 80, 255}));

    // The scene deletes its texture objects.
    const std::vector<uint32_t> names = scene->TextureNames;
    scene.reset();
    for (uint32_t name : names)
        EXPECT_FALSE(glIsTexture(name)) << name;
}

TEST(ModelScene, LargeImagesAreClampedToTheLargestTexture) {
    GlContext gl;
    testsupport::TempDir dir;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    sample::Archive archive;
    archive.Images = {Grey(static_cast<uint16_t>(std::min(largest + 8, 65535)), 8, 70)};
    dir.Write("kestrel tex-", sample::WriteArchive(archive));
    ModelScene scene;
    EXPECT_TRUE(scene.Load(dir.Write("model", sample::WriteModel(NamingArchive()))));
    ASSERT_EQ(scene.TextureNames.size(), 1u);
    Level level = LevelOf(scene.TextureNames[0]);
    EXPECT_EQ(level.Width, largest);
    EXPECT_EQ(level.Height, 64);
    EXPECT_EQ(level.Texels[4 * 1000], 70);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(ModelScene, WithoutItsArchiveAModelDrawsVertexColours) {
    GlContext gl;
    testsupport::TempDir dir;
    sample::Model m = NamingArchive();
    m.Colors.assign(m.Colors.size(), {200, 100, 0, 255});
    ModelScene scene;
    EXPECT_FALSE(scene.Load(dir.Write("model", sample::WriteModel(m))));
    EXPECT_FALSE(scene.ArchiveLoaded());
    EXPECT_EQ(scene.Nodes().size(), 1u);
    EXPECT_TRUE(scene.TextureNames.empty());
    testsupport::UseFeedbackOrtho(64, 64);
    glClear(GL_COLOR_BUFFER_BIT);
    scene.DrawNode(0);
    EXPECT_EQ(gl.At(32, 32), (testsupport::Pixel{200, 100, 0, 255}));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // An archive with no images: loaded, and no texture object.
    dir.Write("kestrel tex-", sample::WriteArchive({}));
    ModelScene empty;
    EXPECT_TRUE(empty.Load(dir.File("model")));
    EXPECT_TRUE(empty.ArchiveLoaded());
    EXPECT_TRUE(empty.TextureNames.empty());

    // A model that cannot be opened: nothing loaded, no archive looked for.
    ModelScene missing;
    EXPECT_FALSE(missing.Load(dir.File("no such model")));
    EXPECT_FALSE(missing.ArchiveLoaded());
    EXPECT_TRUE(missing.Nodes().empty());
    EXPECT_TRUE(missing.Textures.FileName.empty());
}

}  // namespace
