#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "model/Utf8Path.h"
#include "sample/ArchiveWriter.h"
#include "sample/BigEndianWriter.h"
#include "tests/render/SceneBuilder.h"
#include "tests/support/TempDir.h"
#include "texture/UploadSize.h"

namespace {

using namespace testsupport;

TEST(UploadSize, PowersOfTwoFrom64) {
    const std::pair<uint32_t, uint32_t> examples[] = {
        {0, 64},    {1, 64},    {64, 64},     {65, 128},    {128, 128},    {200, 256},
        {256, 256}, {300, 512}, {1024, 1024}, {1025, 2048}, {65535, 65536}};
    for (auto [n, size] : examples)
        EXPECT_EQ(UploadSize(n), size) << n;
}

// An image of one grey in the 8-bit intensity format: uniform, so whatever the
// tiling, it decodes to that grey. Its wrap modes are for the data view only.
sample::ArchiveImage Grey(uint16_t width, uint16_t height, uint8_t grey) {
    sample::ArchiveImage image;
    image.Width = width;
    image.Height = height;
    image.Format = 1;
    image.WrapS = image.WrapT = 2;
    image.Texels.assign(static_cast<size_t>(width) * height, grey);
    return image;
}

// The same with its lower half in `bottom`: the picture shows which way up and
// which way round it was uploaded. The 8 x 4 blocks of a height that is a
// multiple of 8 store the upper half first.
sample::ArchiveImage TwoGreys(uint16_t width, uint16_t height, uint8_t top, uint8_t bottom) {
    sample::ArchiveImage image = Grey(width, height, top);
    std::fill(image.Texels.begin() + static_cast<ptrdiff_t>(image.Texels.size() / 2),
              image.Texels.end(), bottom);
    return image;
}

// A model that names archive "kestrel tex" and draws one square over the middle
// of the screen in `colour`, through texture map 0 to image 3.
std::vector<uint8_t> NamingArchive(sample::Color colour = {255, 255, 255, 255}) {
    sample::Model m;
    m.TextureName = "kestrel tex";
    AddNode(m, AddComponent(m,
                            {{{{-50, -50, 0}, colour, {0, 0}},
                              {{50, -50, 0}, colour, {1, 0}},
                              {{50, 50, 0}, colour, {1, 1}},
                              {{-50, 50, 0}, colour, {0, 1}}}},
                            2, 2, 0));
    m.TextureMaps = {{3, 0}};
    m.TextureDefinitions = {{}};
    return sample::WriteModel(m);
}

TEST(ModelScene, UploadsOneTextureObjectPerImageInArchiveOrder) {
    GlContext gl;
    TempDir dir;
    // A folder name beyond ASCII: the archive is found beside the model all the same.
    const std::filesystem::path folder = dir.Path() / std::filesystem::path(u8"modèles ü");
    std::filesystem::create_directory(folder);
    sample::Archive archive;
    // The last is wider than the largest texture: it is clamped to that.
    const GLint largest = GlInteger(GL_MAX_TEXTURE_SIZE);
    archive.Images = {
        TwoGreys(64, 64, 20, 60), TwoGreys(120, 56, 40, 100),
        Grey(128, 64, 60),        Grey(200, 100, 80),
        Grey(16, 16, 90),         Grey(0, 0, 0),
        Grey(4000, 4000, 0),      Grey(static_cast<uint16_t>(std::min(largest + 8, 65535)), 8, 70)};
    archive.Images[4].Format = 9;         // decodes to transparent black
    archive.Images[6].Texels.resize(16);  // far more texels than the file holds
    sample::WriteFile(Utf8FromPath(folder / "kestrel tex-"), sample::WriteArchive(archive));
    const std::string model = Utf8FromPath(folder / "model.bin");
    sample::WriteFile(model, NamingArchive());

    auto scene = std::make_unique<ModelScene>();
    EXPECT_EQ(scene->TexturesEnabled, 1);
    EXPECT_TRUE(scene->Load(model));
    EXPECT_TRUE(scene->ArchiveLoaded());
    const std::vector<uint32_t> names = scene->TextureNames.Names();
    ASSERT_EQ(names.size(), 8u);

    // An image without texels (a zero side, more than the file holds) is one
    // transparent texel.
    const std::pair<GLint, GLint> sizes[] = {{64, 64}, {128, 64}, {128, 64}, {256, 128},
                                             {64, 64}, {1, 1},    {1, 1},    {largest, 64}};
    // Top-left and top-right, then bottom-left; 0: transparent black.
    const std::pair<int, int> greys[] = {{20, 60}, {40, 100}, {60, 60}, {80, 80},
                                         {0, 0},   {0, 0},    {0, 0},   {70, 70}};
    for (size_t k = 0; k < names.size(); ++k) {
        ASSERT_TRUE(glIsTexture(names[k])) << k;
        glBindTexture(GL_TEXTURE_2D, names[k]);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        ASSERT_EQ(std::pair(width, height), sizes[k]) << k;
        for (auto [name, want] : {std::pair{GL_TEXTURE_WRAP_S, GL_REPEAT},
                                  {GL_TEXTURE_WRAP_T, GL_REPEAT},
                                  {GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                                  {GL_TEXTURE_MAG_FILTER, GL_LINEAR}}) {
            GLint got = 0;
            glGetTexParameteriv(GL_TEXTURE_2D, name, &got);
            EXPECT_EQ(got, want) << k << " " << name;
        }
        // Each texture holds its own image, stretched where needed (GLU's
        // stretch blends a little across the edges), the right way up and round.
        std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        const size_t row = static_cast<size_t>(width) * 4;
        for (auto [at, g] : {std::pair{size_t{0}, greys[k].first},
                             {row - 4, greys[k].first},
                             {texels.size() - row, greys[k].second}}) {
            const uint8_t* t = &texels[at];
            EXPECT_TRUE(std::abs(t[0] - g) <= 4 && t[1] == t[0] && t[2] == t[0] &&
                        t[3] == (g ? 255 : 0))
                << k << " at " << at << ": " << int{t[0]} << " " << int{t[3]} << ", not " << g;
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    Frame(*scene);
    EXPECT_EQ(PixelAt(gl, 0, 0), (Pixel{80, 80, 80, 255}));  // image 3

    // Uploading again replaces the texture objects: the old ones go (or their
    // names come back for the new ones). The scene deletes what it holds.
    scene->UploadTextures();
    const std::vector<uint32_t> again = scene->TextureNames.Names();
    ASSERT_EQ(again.size(), 8u);
    for (uint32_t name : names)
        EXPECT_TRUE(std::count(again.begin(), again.end(), name) || !glIsTexture(name)) << name;
    scene.reset();
    for (uint32_t name : again)
        EXPECT_FALSE(glIsTexture(name)) << name;
}

TEST(ModelScene, WithoutItsArchiveAModelDrawsVertexColours) {
    GlContext gl;
    TempDir dir;
    ModelScene scene;
    EXPECT_FALSE(scene.Load(dir.Write("model", NamingArchive({200, 100, 0, 255}))));
    EXPECT_FALSE(scene.ArchiveLoaded());
    EXPECT_EQ(scene.Model().Nodes().size(), 1u);
    EXPECT_TRUE(scene.TextureNames.empty());
    Frame(scene);
    EXPECT_EQ(PixelAt(gl, 0, 0), (Pixel{200, 100, 0, 255}));
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
    EXPECT_TRUE(missing.Model().Nodes().empty());
    EXPECT_TRUE(missing.Textures.FileName.empty());
}

}  // namespace
