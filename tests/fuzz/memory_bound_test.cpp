// Files of up to 64 KiB built to make the readers allocate as much as they
// can: counts of 0xFFFFFFFF, blocks and lists laid over each other, a file
// full of animation sets, archives whose table names one huge image
// thousands of times. Whatever they claim, loading one (and decoding every
// image of an archive) never holds more than a small multiple of the file.
//
// This program counts every allocation made through operator new, so it is a
// program of its own.

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <sstream>

#include <GL/gl.h>

#include "cli/Cli.h"
#include "model/ByteSource.h"
#include "model/ModelFile.h"
#include "render/OffscreenContext.h"
#include "render/PointDump.h"
#include "render/SceneView.h"
#include "sample/ArchiveWriter.h"
#include "sample/ModelWriter.h"
#include "tests/support/TempDir.h"
#include "texture/TextureFile.h"

namespace {

size_t g_live = 0;
size_t g_peak = 0;

void* Counted(void* p) {
    if (!p)
        throw std::bad_alloc();
    g_live += malloc_usable_size(p);
    g_peak = std::max(g_peak, g_live);
    return p;
}

// The replacement operator new below allocates with malloc, so free is the
// release that matches it; inlined, the compiler cannot tell.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void Uncount(void* p) {
    if (p) {
        g_live -= malloc_usable_size(p);
        std::free(p);
    }
}
#pragma GCC diagnostic pop

}  // namespace

void* operator new(size_t size) {
    return Counted(std::malloc(size ? size : 1));
}
void* operator new(size_t size, std::align_val_t align) {
    const size_t a = static_cast<size_t>(align);
    return Counted(std::aligned_alloc(a, (size + a - 1) / a * a));
}
void operator delete(void* p) noexcept {
    Uncount(p);
}
void operator delete(void* p, size_t) noexcept {
    Uncount(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    Uncount(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    Uncount(p);
}
// The GL driver's compiler allocates with these: they must pair with the
// deletes above.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    void* p = std::malloc(size ? size : 1);
    if (p) {
        g_live += malloc_usable_size(p);
        g_peak = std::max(g_peak, g_live);
    }
    return p;
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Uncount(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Uncount(p);
}

namespace {

// What we guarantee: loading a file of n bytes holds at most
// kBytesPerFileByte * n + kConstant bytes more at its peak than before.
//   model:       its read window (at most n), records within the read budget
//                (4n), and per 64-byte block-26 record one shared set object,
//                its map entry and its pointer (6n): 11n
//   archive:     entries, headers, image records and texel data within the
//                read budget (4n), plus one decoded image of at most 2n
//                texels at a time (8n): 12n
//   point dump:  the file as words: n
// Drawing a model with its archive of a bytes adds the copy of one image
// resized for upload, at most kUploadTexelsPerArchiveByte texels per archive
// byte, and the texture objects hold no more than that in all.
constexpr size_t kBytesPerFileByte = 12;
constexpr size_t kUploadBytesPerArchiveByte = 4 * kUploadTexelsPerArchiveByte;
constexpr size_t kConstant = 16 * 1024;

// The most `work` held at once beyond what was held before it.
size_t PeakOf(const std::function<void()>& work) {
    const size_t before = g_live;
    g_peak = g_live;
    work();
    return g_peak - before;
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

constexpr size_t kCountsAt = 232, kOffsetsAt = 332;

// The peak of loading `bytes` into a new Document, then running `then` on it.
template <class Document>
size_t LoadPeak(const std::vector<uint8_t>& bytes,
                const std::function<void(const Document&)>& then = {}) {
    return PeakOf([&] {
        MemorySource source(bytes);
        Document document;
        document.LoadFrom(source);
        if (then)
            then(document);
    });
}

// Every block claims 0xFFFFFFFF records at offset 0, all over each other.
std::vector<uint8_t> EveryBlockHuge(size_t size) {
    std::vector<uint8_t> bytes(size, 0x5A);
    for (size_t slot = 0; slot < 25; ++slot) {
        PutU32(bytes, kCountsAt + 4 * slot, 0xFFFFFFFF);
        PutU32(bytes, kOffsetsAt + 4 * slot, slot == 0 ? 432 : 0);
    }
    return bytes;
}

// Block 26 fills the file; every set's area is the file's start, where the
// model name makes every list count 0xFFFFFFFF.
std::vector<uint8_t> AllAnimationSets(size_t size) {
    std::vector<uint8_t> bytes(std::max<size_t>(size, 36), 0);
    std::fill_n(bytes.begin() + 4, 32, 0xFF);
    PutU32(bytes, kOffsetsAt, 432);  // block 2 where it belongs, so the file is a model
    PutU32(bytes, kCountsAt + 4 * 24, 0xFFFFFFFF);
    PutU32(bytes, kOffsetsAt + 4 * 24, 432);
    return bytes;
}

// 0xFFFFFFFF images; the table names two headers turn about, each of an image
// as large as the file could back, whose data runs over the whole file.
std::vector<uint8_t> EveryImageHuge(size_t size, uint32_t format) {
    sample::Archive archive;
    archive.ImageCount = 0xFFFFFFFF;
    const uint32_t headersAt = static_cast<uint32_t>(size - 72);
    const auto side = static_cast<uint16_t>(std::min<size_t>(65535, 2 * size));
    for (uint32_t i = 0; i < 2; ++i) {
        sample::ArchiveImage image;
        image.Width = side;
        image.Height = static_cast<uint16_t>(2 * size / side);
        image.Format = format;
        image.TexelOffset = i == 0 ? 0 : static_cast<uint32_t>(size);
        archive.Images.push_back(image);
    }
    std::vector<uint8_t> bytes = sample::WriteArchive(archive);
    // Move the two headers to the end and fill the table with references to them.
    std::vector<uint8_t> headers(bytes.begin() + 28, bytes.begin() + 100);
    bytes.resize(size, 0x77);
    std::copy(headers.begin(), headers.end(), bytes.end() - 72);
    for (size_t entry = 12; entry + 8 <= headersAt; entry += 8)
        PutU32(bytes, entry, headersAt + ((entry / 8) % 2) * 36);
    return bytes;
}

// Images of 8193 x 1 texels, as many as the file holds with a few hundred bytes
// of data each: each uploads as 16384 x 64.
std::vector<uint8_t> ThinImages(size_t size) {
    sample::Archive archive;
    const size_t count = size / 512;
    for (size_t i = 0; i < count; ++i) {
        sample::ArchiveImage image;
        image.Width = 8193;
        image.Height = 1;
        image.Format = 1;
        image.Texels.assign(512 - 44, 0x80);
        archive.Images.push_back(image);
    }
    return sample::WriteArchive(archive);
}

// One 1 x 1 image, named by every entry of a table that fills the file: each
// uploads as 64 x 64.
std::vector<uint8_t> OneTinyImageEverywhere(size_t size) {
    sample::Archive archive;
    archive.ImageCount = static_cast<uint32_t>((size - 12 - 36 - 1) / 8);
    archive.Images.resize(1);
    archive.Images[0].Width = archive.Images[0].Height = 1;
    archive.Images[0].Format = 1;
    archive.Images[0].Texels = {0x80};
    archive.Images[0].HeaderOffset = static_cast<uint32_t>(size - 37);
    std::vector<uint8_t> bytes = sample::WriteArchive(archive);
    std::vector<uint8_t> header(bytes.begin() + 20, bytes.begin() + 57);
    bytes.resize(size - 37, 0);
    bytes.insert(bytes.end(), header.begin(), header.end());
    for (size_t entry = 12; entry + 8 <= size - 37; entry += 8)
        PutU32(bytes, entry, static_cast<uint32_t>(size - 37));
    return bytes;
}

// One 4-bit image of as many texels as the file can back.
std::vector<uint8_t> OneLargeImage(size_t size) {
    sample::Archive archive;
    sample::ArchiveImage& image = archive.Images.emplace_back();
    image.Width = 256;
    image.Height = static_cast<uint16_t>((size - 12 - 44) * 2 / 256);
    image.Format = 0;
    image.Texels.assign(size - 12 - 44, 0x5A);
    return sample::WriteArchive(archive);
}

void DecodeEvery(const TextureFile& archive) {
    for (int32_t k = 0; k < archive.ImageCount(); ++k)
        (void)archive.DecodeImage(k);
}

void ExpectWithinBound(size_t peak, size_t fileSize, const char* what) {
    EXPECT_LE(peak, kBytesPerFileByte * fileSize + kConstant)
        << what << ": " << fileSize << " bytes held " << peak << " ("
        << static_cast<double>(peak) / static_cast<double>(fileSize) << " per file byte)";
}

constexpr size_t kSizes[] = {1024, 4096, 16 * 1024, 64 * 1024};

}  // namespace

TEST(MemoryBound, Models) {
    testsupport::TempDir dir;
    for (size_t size : kSizes) {
        ExpectWithinBound(LoadPeak<ModelFile>(EveryBlockHuge(size)), size,
                          "blocks over each other");
        ExpectWithinBound(LoadPeak<ModelFile>(AllAnimationSets(size)), size, "animation sets");
        // From a file, through its read window.
        const std::string path = dir.Write("model", EveryBlockHuge(size));
        ExpectWithinBound(PeakOf([&] { ModelFile().Load(path); }), size, "a file read");
    }
}

TEST(MemoryBound, ArchivesWithEveryImageDecoded) {
    for (size_t size : kSizes) {
        for (uint32_t format : {1u, 6u, 14u, 9u})
            ExpectWithinBound(LoadPeak<TextureFile>(EveryImageHuge(size, format), DecodeEvery),
                              size, "huge images, every one decoded");
    }
}

TEST(MemoryBound, ModelsDrawnWithTheirTextures) {
    OffscreenContext context(64, 64);
    ASSERT_TRUE(context.Valid()) << context.Error();
    SceneView view;
    view.InitGL();
    testsupport::TempDir dir;
    sample::Model m;
    m.TextureName = "hostile";
    const std::string model = dir.Write("hostile.model", sample::WriteModel(m));
    for (size_t size : kSizes) {
        for (const auto& [what, archive] :
             {std::pair{"thin images", ThinImages(size)},
              {"one tiny image everywhere", OneTinyImageEverywhere(size)},
              {"one large image", OneLargeImage(size)}}) {
            SCOPED_TRACE(what);
            dir.Write("hostile-", archive);
            uint64_t texels = 0, images = 0;
            // Once unmeasured: the GL driver compiles what the frame needs, once.
            view.OpenDocument(model);
            view.DrawScene();
            view.CloseDocuments();
            const size_t peak = PeakOf([&] {
                texels = 0;
                view.OpenDocument(model);
                view.DrawScene();
                images = view.Scene->Textures.Images.size();
                ASSERT_EQ(view.Scene->TextureNames.size(), images);
                for (uint32_t name : view.Scene->TextureNames.Names()) {
                    GLint width = 0, height = 0;
                    glBindTexture(GL_TEXTURE_2D, name);
                    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
                    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
                    texels += static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
                }
                view.CloseDocuments();
            });
            // Every image gets its texture object; the one-texel stand-ins aside,
            // they hold no more than the budget.
            EXPECT_GT(images, 0u);
            EXPECT_LE(texels, kUploadTexelsPerArchiveByte * archive.size() + images);
            const size_t files = archive.size() + 432;
            EXPECT_LE(peak, kBytesPerFileByte * files +
                                kUploadBytesPerArchiveByte * archive.size() + kConstant)
                << peak / archive.size() << " per archive byte";
        }
    }
}

TEST(MemoryBound, TexturesWrittenAsPictures) {
    testsupport::TempDir dir;
    // The command table is made once a process, before any file is read.
    std::ostringstream usage;
    RunKestrel({"--help"}, usage, usage);
    for (size_t size : kSizes) {
        const std::vector<uint8_t> archive = OneLargeImage(size);
        const std::string path = dir.Write("large-", archive);
        const std::vector<std::string> words = {"textures", path, "-o", dir.File("pictures")};
        std::ostringstream out, err;
        int status = -1;
        ExpectWithinBound(PeakOf([&] { status = RunKestrel(words, out, err); }), archive.size(),
                          "an image as large as the archive backs, written as a picture");
        // Its texels are cut short: written as far as they go, and said.
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(std::filesystem::is_regular_file(dir.File("pictures/000.png"))) << err.str();
    }
}

TEST(MemoryBound, PointDumps) {
    for (size_t size : kSizes) {
        const std::vector<uint8_t> bytes(size, 0x41);
        ExpectWithinBound(PeakOf([&] {
                              MemorySource source(bytes);
                              ReadPointWords(source);
                          }),
                          size, "point dump");
    }
}

TEST(MemoryBound, ModelsExported) {
    // Polygons that each span the whole vertex order: the walk sends as many
    // corners as it may, all of the same three vertices.
    testsupport::TempDir dir;
    for (size_t size : kSizes) {
        sample::Model m;
        const uint32_t corners = static_cast<uint32_t>(size / 16);
        m.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        m.VertexOrder.assign(corners, 0);
        for (uint32_t i = 0; i < corners; ++i)
            m.VertexOrder[i] = i % 3;
        m.Polygons.assign(corners / 2, {0, corners});
        sample::Component& c = m.Components.emplace_back();
        c.PolygonSetCount = 1;
        sample::PolygonSet& set = m.PolygonSets.emplace_back();
        set.PolygonCount = static_cast<int32_t>(m.Polygons.size());
        m.Visibility = {1};
        sample::Node& node = m.Nodes.emplace_back();
        node.Component = 0;
        node.Transform = sample::AddTransform(m, {});
        const std::vector<uint8_t> bytes = sample::WriteModel(m);
        const std::string path = dir.Write("spanning.model", bytes);
        const std::vector<std::string> words = {"export", path, "-o", dir.File("out.glb")};
        std::ostringstream out, err;
        int status = -1;
        const size_t peak = PeakOf([&] { status = RunKestrel(words, out, err); });
        EXPECT_EQ(status, 0) << err.str();
        // At most 16 corners a file byte, each up to three 4-byte indices of a
        // fan, held in the mesh, its buffer and the file's bytes: 576.
        EXPECT_LE(peak, 640 * bytes.size() + kConstant) << peak / bytes.size() << " per file byte";
    }
}
