#include "fuzz/FuzzEntries.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <sstream>

#include "dataview/DataText.h"
#include "document/Document.h"
#include "export/GltfExport.h"
#include "export/Png.h"
#include "model/ByteSource.h"
#include "model/FileKind.h"
#include "model/Irregularities.h"
#include "model/ModelFile.h"
#include "model/ReadBudget.h"
#include "render/OffscreenContext.h"
#include "render/SceneView.h"
#include "render/SceneWalk.h"
#include "sample/ArchiveWriter.h"
#include "texture/ArchivePack.h"
#include "texture/TextureFile.h"

namespace fuzz {

namespace {

// A broken promise is a finding like a crash: the fuzzer keeps the input.
void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz: %s\n", what);
        std::abort();
    }
}

// What a check says of any file stays a few lines of each of its 16 kinds.
void CheckReport(const Irregularities& found) {
    Check(found.Kinds().size() <= 16, "more kinds of irregularity than there are");
    for (const Irregularities::Kind& kind : found.Kinds())
        Check(kind.Lines.size() <= Irregularities::kLinesPerKind &&
                  kind.Count >= kind.Lines.size() && kind.Count > 0,
              "a report past its bound");
}

template <class T>
uint64_t BytesOf(const std::vector<T>& records) {
    return records.size() * sizeof(T);
}

// Calls `each` with every record array of the model, the animation sets' lists
// included.
template <class Each>
void ForEachArray(const ModelFile& model, Each each) {
    model.ForEachBlock([&](const BlockInfo&, const auto& records) { each(records); });
    model.ForEachAnimationList([&](int, const auto& records) { each(records); });
}

// Every record array within the file, all of them within the reader's budget.
void CheckModelBudget(const ModelFile& model, uint64_t fileSize) {
    Check(model.AnimationSets().size() == model.AnimationSetIndex().size(),
          "not one animation set per block-26 record");
    uint64_t total = 0;
    ForEachArray(model, [&](const auto& records) {
        const uint64_t bytes = BytesOf(records);
        Check(bytes <= fileSize, "a block holds more records than the file could");
        total += bytes;
    });
    Check(total <= ReadBudget::kBytesPerFileByte * fileSize, "the model's records exceed budget");
}

template <class T>
bool Same(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), BytesOf(a)) == 0);
}

// Whether two loads hold the same header and records, byte for byte.
bool SameModel(const ModelFile& a, const ModelFile& b) {
    if (std::memcmp(&a.Header(), &b.Header(), sizeof(ModelHeader)) != 0 ||
        a.AnimationSets().size() != b.AnimationSets().size())
        return false;
    for (size_t i = 0; i < a.AnimationSets().size(); ++i) {
        if (std::memcmp(&a.AnimationSets()[i]->Header, &b.AnimationSets()[i]->Header,
                        sizeof(AnimationSetHeader)) != 0)
            return false;
    }
    std::vector<std::pair<const void*, uint64_t>> arrays;
    ForEachArray(
        a, [&](const auto& records) { arrays.emplace_back(records.data(), BytesOf(records)); });
    size_t i = 0;
    bool same = true;
    ForEachArray(b, [&](const auto& records) {
        const auto [data, bytes] = arrays[i++];
        same = same && bytes == BytesOf(records) &&
               (bytes == 0 || std::memcmp(data, records.data(), bytes) == 0);
    });
    return same;
}

// The second half of the input and then the input, into one object: what the
// first load leaves behind must not show in the second.
template <class Document>
void LoadAfterAnother(Document& document, Bytes input) {
    MemorySource other(input.subspan(input.size() / 2)), source(input);
    document.LoadFrom(other);
    document.LoadFrom(source);
}

void CheckArchive(const TextureFile& archive, uint64_t fileSize) {
    Check(archive.Images.size() == archive.Entries.size() &&
              archive.ImageHeaders.size() == archive.Entries.size(),
          "not one image and header per table entry");
    uint64_t held = archive.Images.size() * kImageRecordBytes;
    for (size_t i = 0; i < archive.Images.size(); ++i) {
        Check(archive.Images[i].Header == &archive.ImageHeaders[i], "an image with another header");
        held += archive.Images[i].Data.size();
    }
    Check(held <= ReadBudget::kBytesPerFileByte * fileSize, "the archive's data exceeds budget");
}

// Texture memory stays proportional to the archive: an image that cannot be
// decoded gets the smallest texture, and those that can are, together, no
// larger than the file could back, resampled to at most 64 rows or columns
// more than twice their size.
void CheckUploadedTexels(const ModelScene& scene, uint64_t fileSize) {
    uint64_t texels = 0;
    for (GLuint name : scene.TextureNames.Names()) {
        GLint width = 0, height = 0;
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        texels += static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    }
    Check(texels <= 64 * 64 * scene.TextureNames.size() + 256 * fileSize,
          "the textures hold far more texels than the archive can back");
}

// A pair read as the loader reads a model and its archive, whatever the
// model's first words say.
Document LoadPair(Bytes input, Irregularities* report = nullptr) {
    const Pair pair = SplitPair(input);
    MemorySource model(pair.Model), archive(pair.Archive);
    LoadOptions options;
    options.ReadAs = FileKind::ModelFile;
    options.Report = report;
    return LoadDocumentFrom(model, &archive, options);
}

}  // namespace

Pair SplitPair(Bytes input) {
    if (input.size() < 4)
        return {{}, input};
    uint32_t length = 0;
    for (int i = 3; i >= 0; --i)
        length = length << 8 | input[static_cast<size_t>(i)];
    const Bytes rest = input.subspan(4);
    const size_t model = std::min<size_t>(length, rest.size());
    return {rest.first(model), rest.subspan(model)};
}

std::vector<uint8_t> JoinPair(Bytes model, Bytes archive) {
    const auto length = static_cast<uint32_t>(model.size());
    std::vector<uint8_t> input(4 + model.size() + archive.size());
    for (size_t i = 0; i < 4; ++i)
        input[i] = static_cast<uint8_t>(length >> (8 * i));
    std::copy(model.begin(), model.end(), input.begin() + 4);
    std::copy(archive.begin(), archive.end(),
              input.begin() + 4 + static_cast<ptrdiff_t>(model.size()));
    return input;
}

void Identify(Bytes input) {
    MemorySource source(input);
    const FileKind kind = IdentifyBytes(source);
    Check(kind == FileKind::TextureArchive || kind == FileKind::ModelFile ||
              kind == FileKind::PointDump,
          "bytes in memory identified as unreadable");
}

void LoadModel(Bytes input) {
    MemorySource source(input);
    ModelFile model;
    Irregularities found;
    model.LoadFrom(source, &found);
    CheckReport(found);
    CheckModelBudget(model, input.size());
    ModelFile reused;
    LoadAfterAnother(reused, input);
    Check(SameModel(model, reused), "a model loaded over another differs");
}

void LoadArchive(Bytes input) {
    MemorySource source(input);
    TextureFile archive;
    Irregularities found;
    archive.LoadFrom(source, &found);
    CheckReport(found);
    CheckArchive(archive, input.size());
    uint64_t decoded = 0;
    for (int32_t k = 0; k < archive.ImageCount(); ++k) {
        const ImageHeader& h = archive.ImageHeaders[static_cast<size_t>(k)];
        const std::vector<RgbaColor> texels = archive.DecodeImage(k);
        Check(texels.empty() || texels.size() == size_t{h.Width} * h.Height,
              "a decoded image of the wrong size");
        decoded += texels.size();
    }
    Check(decoded <= 2 * input.size(), "more texels decoded than the archive can back");

    TextureFile reused;
    LoadAfterAnother(reused, input);
    bool same = Same(reused.Entries, archive.Entries) &&
                Same(reused.ImageHeaders, archive.ImageHeaders) &&
                reused.Images.size() == archive.Images.size();
    for (int32_t k = 0; same && k < archive.ImageCount(); ++k) {
        const size_t i = static_cast<size_t>(k);
        same = Same(reused.Images[i].Data, archive.Images[i].Data) &&
               reused.DecodeImage(k).size() == archive.DecodeImage(k).size();
    }
    Check(same, "an archive loaded over another differs");
    for (int32_t k : {-1, archive.ImageCount(), INT32_MIN, INT32_MAX})
        Check(archive.DecodeImage(k).empty(), "an image decoded for a number that names none");
}

namespace {

// Entries -1 to the count, one past each end.
constexpr int kEntryChoices = static_cast<int>(dataview::kDataViewEntries.size()) + 2;

}  // namespace

std::vector<uint8_t> DataViewChoice(int entry, int8_t set, bool archive) {
    return {static_cast<uint8_t>((entry + 1) % kEntryChoices | (archive ? 0 : 0x80)),
            static_cast<uint8_t>(set)};
}

void DataViewTexts(Bytes input) {
    if (input.size() < 2)
        return;
    const int entry = (input[0] & 0x7F) % kEntryChoices - 1;
    const bool withArchive = (input[0] & 0x80) == 0;
    const int64_t set = static_cast<int8_t>(input[1]);
    const Document loaded = LoadPair(input.subspan(2));
    (void)dataview::EntryText(&loaded.Model, withArchive ? &loaded.Archive : nullptr, entry, set);
    (void)dataview::EntryText(nullptr, nullptr, entry, set);
}

void DrawScene(Bytes input) {
    // One small context for the whole run: making one costs far more than a frame.
    static OffscreenContext context(16, 16);
    static SceneView view;
    static const bool ready = [] {
        Check(context.Valid(), "no offscreen OpenGL context");
        view.InitGL();
        view.Resize(context.Width(), context.Height());
        return true;
    }();
    (void)ready;

    // Each input starts from the same state, whatever the one before left set.
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);

    Irregularities found;
    Document document = LoadPair(input, &found);
    CheckScene(document.Model, document.Archive.ImageCount(), found);
    CheckReport(found);
    view.Scene = std::make_unique<ModelScene>();
    view.Scene->Open(std::move(document));
    CheckUploadedTexels(*view.Scene, input.size());
    view.DocumentKind = FileKind::ModelFile;
    view.ShowBoundingBox = 1;
    // Render state is left set from one frame to the next, so the first frame
    // may differ from the second; from then on every frame is the same.
    view.DrawScene();
    view.DrawScene();
    const std::vector<uint8_t> picture = context.ReadPixels();
    view.DrawScene();
    Check(context.ReadPixels() == picture, "a frame draws another picture than the one before");
    // Node numbers that name no node draw nothing.
    const uint32_t nodes = static_cast<uint32_t>(view.Scene->Model().Nodes().size());
    view.Scene->DrawPolygonSets(nodes);
    view.Scene->DrawNode(UINT32_MAX);
    glFinish();

    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    Check(depth == 1, "the walk left the modelview stack changed");
    Check(glGetError() == GL_NO_ERROR, "the frame raised a GL error");
    view.CloseDocuments();
    Check(glGetError() == GL_NO_ERROR, "deleting the scene raised a GL error");
}

void LoadPointDump(Bytes input) {
    MemorySource source(input);
    const std::vector<float> words = ReadPointWords(source);
    Check(words.size() == input.size() / 4, "not one word per four bytes");
    Check(input.size() < 4 || std::memcmp(words.data(), input.data(), 4) == 0,
          "the first word is not the file's first four bytes");
}

namespace {

// Pictures by key, each the same PNG file read as the pack asks.
class PngPictures final : public PictureSource {
  public:
    PngPictures(std::vector<PictureKey> keys, std::function<Bytes(PictureKey)> png)
        : keys_(std::move(keys)), png_(std::move(png)) {}
    std::vector<PictureKey> Keys() override { return keys_; }
    bool Read(PictureKey key, uint32_t width, uint32_t height, std::vector<RgbaColor>& texels,
              std::string& error) override {
        texels.resize(size_t{width} * height);
        return ReadPng(png_(key), static_cast<int>(width), static_cast<int>(height), texels.data(),
                       error);
    }

  private:
    std::vector<PictureKey> keys_;
    std::function<Bytes(PictureKey)> png_;
};

// Images of every kind of layout: a block format, the compressed one with
// whole levels, one with bytes after its first level, one of an odd size.
sample::Archive PackSample() {
    sample::Archive archive;
    const struct {
        uint32_t Format;
        uint16_t Width, Height;
        size_t Bytes;
    } images[] = {
        {1, 8, 4, 32}, {14, 16, 8, 64 + 32 + 32 + 32 + 32}, {5, 8, 8, 128 + 7}, {6, 3, 5, 128}};
    for (const auto& image : images) {
        sample::ArchiveImage stored;
        stored.Format = image.Format;
        stored.Width = image.Width;
        stored.Height = image.Height;
        stored.Texels.resize(image.Bytes);
        for (size_t i = 0; i < image.Bytes; ++i)
            stored.Texels[i] = static_cast<uint8_t>(i * 37 + image.Format);
        archive.Images.push_back(stored);
    }
    return archive;
}

}  // namespace

std::vector<uint8_t> PackArchiveBytes() {
    return sample::WriteArchive(PackSample());
}

uint8_t PackChoice(int32_t image, int level) {
    return static_cast<uint8_t>(image * 8 + level);
}

void PackPicture(Bytes input) {
    if (input.empty())
        return;
    static const std::vector<uint8_t> original = PackArchiveBytes();
    static const TextureFile archive = [] {
        TextureFile file;
        MemorySource source(original);
        file.LoadFrom(source);
        return file;
    }();
    const PictureKey key{input[0] / 8 % 5, input[0] % 8};
    PngPictures pictures({key}, [&](PictureKey) { return input.subspan(1); });
    const PackResult packed = PackArchive(archive, original, pictures);
    if (!packed.Error.empty()) {
        Check(packed.Bytes.empty(), "a refused pack with bytes");
        return;
    }
    Check(packed.Bytes.size() == original.size() &&
              std::equal(original.begin(), original.begin() + archive.ImageHeaders[0].TexelOffset,
                         packed.Bytes.begin()),
          "a pack that changed the layout");
    Irregularities found;
    TextureFile reread;
    MemorySource source(packed.Bytes);
    reread.LoadFrom(source, &found);
    Check(found.Empty(), "a pack the readers find fault with");
    // Its own pictures, as textures writes them, give it back.
    std::vector<PictureKey> keys;
    for (int32_t k = 0; k < reread.ImageCount(); ++k)
        keys.push_back({k, 0});
    std::vector<std::vector<uint8_t>> pngs;
    for (int32_t k = 0; k < reread.ImageCount(); ++k) {
        const ImageHeader& h = reread.ImageHeaders[static_cast<size_t>(k)];
        pngs.push_back(PngBytes(h.Width, h.Height, reread.DecodeImage(k).data()));
    }
    PngPictures own(keys,
                    [&](PictureKey at) { return Bytes(pngs[static_cast<size_t>(at.Image)]); });
    Check(PackArchive(reread, packed.Bytes, own).Bytes == packed.Bytes,
          "a packed archive that its own pictures change");
}

const Target* FindTarget(std::string_view name) {
    for (const Target& target : kTargets) {
        if (target.Name == name)
            return &target;
    }
    return nullptr;
}

}  // namespace fuzz

namespace fuzz {

namespace {

// What the glTF validator would find wrong: an empty accessor, a float that
// is not finite, a normal not of unit length, an index past the vertices.
void CheckGltf(const tinygltf::Model& gltf) {
    auto floats = [&gltf](int index) {
        const tinygltf::Accessor& a = gltf.accessors[static_cast<size_t>(index)];
        const tinygltf::BufferView& view = gltf.bufferViews[static_cast<size_t>(a.bufferView)];
        std::vector<float> values(a.count *
                                  static_cast<size_t>(tinygltf::GetNumComponentsInType(a.type)));
        Check(view.byteOffset + values.size() * 4 <= gltf.buffers[0].data.size(),
              "an accessor past its buffer");
        std::memcpy(values.data(), gltf.buffers[0].data.data() + view.byteOffset,
                    values.size() * 4);
        return values;
    };
    for (const tinygltf::Accessor& a : gltf.accessors)
        Check(a.count > 0, "an empty accessor");
    for (const tinygltf::Mesh& mesh : gltf.meshes) {
        for (const tinygltf::Primitive& p : mesh.primitives) {
            const size_t vertices =
                gltf.accessors[static_cast<size_t>(p.attributes.at("POSITION"))].count;
            for (const auto& [name, index] : p.attributes) {
                if (name == "COLOR_0")
                    continue;
                const std::vector<float> values = floats(index);
                for (float f : values)
                    Check(std::isfinite(f), "a float that is not finite");
                for (size_t i = 0; name == "NORMAL" && i < values.size(); i += 3)
                    Check(std::abs(std::hypot(values[i], values[i + 1], values[i + 2]) - 1) < 1e-5f,
                          "a normal not of unit length");
            }
            if (p.indices < 0)
                continue;
            const tinygltf::Accessor& a = gltf.accessors[static_cast<size_t>(p.indices)];
            const tinygltf::BufferView& view = gltf.bufferViews[static_cast<size_t>(a.bufferView)];
            std::vector<uint32_t> indices(a.count);
            std::memcpy(indices.data(), gltf.buffers[0].data.data() + view.byteOffset, a.count * 4);
            for (uint32_t index : indices)
                Check(index < vertices, "an index past the vertices");
        }
    }
    for (const tinygltf::Node& node : gltf.nodes) {
        for (double f : node.matrix)
            Check(std::isfinite(f), "a matrix that is not finite");
    }
}

}  // namespace

void ExportGltf(Bytes input) {
    const Document loaded = LoadPair(input);
    GltfDocument document = GltfOfModel(loaded.Model, &loaded.Archive);
    CheckGltf(document.Gltf);
    EmbedImages(document);
    std::ostringstream glb;
    tinygltf::TinyGLTF().WriteGltfSceneToStream(&document.Gltf, glb, false, true);
    Check(glb.str().size() >= document.Gltf.buffers.size() * 12, "no .glb written");

    MemorySource all(input);
    CheckGltf(GltfOfPointDump(ReadPointWords(all)).Gltf);
}

}  // namespace fuzz
