// Writes the seed corpus of every fuzz target: valid files of every shape the
// sample writers make, and a few that lie, so the fuzzers start deep inside
// the readers instead of at the magic numbers.
//
//   kestrel_fuzz_seeds <folder>   writes <folder>/<target>/<seed>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "dataview/DataText.h"
#include "export/Png.h"
#include "fuzz/FuzzEntries.h"
#include "sample/ArchiveWriter.h"
#include "sample/BigEndianWriter.h"
#include "sample/DemoScene.h"
#include "sample/MeshBuilder.h"
#include "sample/ModelWriter.h"
#include "sample/TexelEncoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One record in every block the reader knows, and one animation set.
sample::Model EveryBlock() {
    sample::Model m;
    m.ModelName = "every block";
    m.TextureName = "every";
    m.Date = "today";
    m.Unknowns = {1, -2, 3};
    m.BoundingBox = {-1, -2, -3, 4, 5, 6};
    m.Components = {{}};
    m.Components[0].Name = "component";
    m.Components[0].PolygonSetCount = 1;
    m.Polygons = {{0, 3}};
    m.Vertices = {{1, 2, 3}};
    m.VertexOrder = {0, 0, 0};
    m.Normals = {{0, 0, 1}};
    m.NormalOrder = {0, 0, 0};
    m.Colors = {{1, 2, 3, 4}};
    m.ColorOrder = {0, 0, 0};
    m.TexVertexOrder = {0, 0, 0};
    m.TexVertices = {{0.5f, 0.25f}};
    m.Block19 = {{1, 2, 3, 4, 5, 6}};
    m.TextureMaps = {{0, 7}};
    m.TextureDefinitions = {{1, 0, 2, "texture"}};
    m.PolygonSets = {{}};
    m.PolygonSets[0].TextureMap = 0;
    m.PolygonSets[0].PolygonCount = 1;
    m.Visibility = {1};
    sample::Node node;
    node.Name = "root";
    node.Component = 0;
    node.Transform = sample::AddTransform(m, {1, 2, 3}, {10, 20, 30}, {1, 2, 1}, {5, 5, 5});
    m.Nodes = {node};
    sample::AnimationSet set;
    set.Name = "set";
    set.Data.SetInfo = {{1, 2, 0.5f}};
    sample::Frame frame;
    frame.Ranges = {{{0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}}};
    set.Data.Frames = {frame};
    set.Data.List4 = {0x01020304};
    set.Data.List5 = {0xFFFFFFFF};
    set.Data.TextureControl = {{1, 2, 3}};
    set.Data.PlaneControl = {{1, 0x80, 3, 4}};
    set.Data.AnimationControl = {5};
    set.Data.List9 = {{6, 7}};
    m.AnimationSets = {set};
    return m;
}

// Sets that share an area, lists in another order, frames past their lists.
sample::Model Animations() {
    sample::Model m = EveryBlock();
    sample::AnimationSet second = m.AnimationSets[0];
    second.Name = "second";
    second.Data.ListOrder = {7, 6, 5, 4, 3, 2, 1, 0};
    for (uint32_t f = 0; f < 4; ++f) {
        sample::Frame frame;
        frame.Time = float(f);
        frame.Ranges = {{{f, 2}, {0, f}, {f, 1}, {1, 9}, {0, 0}}};
        second.Data.Frames.push_back(frame);
        second.Data.List4.push_back(f);
    }
    sample::AnimationSet shared;
    shared.Name = "shared";
    shared.SharesDataWith = 1;
    m.AnimationSets.push_back(second);
    m.AnimationSets.push_back(shared);
    return m;
}

// Nested nodes with textured, coloured polygons of one to five corners.
sample::Model Meshes() {
    sample::Model m;
    m.TextureName = "meshes";
    m.TextureMaps = {{0, 0}, {1, 0}};
    m.TextureDefinitions = {{0, 0, 0, "first"}, {0, 1, 0, "second"}};
    std::vector<sample::PolygonCorners> polygons;
    for (size_t corners = 1; corners <= 5; ++corners) {
        sample::PolygonCorners polygon;
        for (size_t k = 0; k < corners; ++k)
            polygon.push_back({{float(k), float(corners), 0},
                               {uint8_t(40 * k), 200, 100, 255},
                               {float(k) / 4, 0.5f}});
        polygons.push_back(polygon);
    }
    const int32_t opaque = sample::AddComponent(m, polygons, 0, 1, 0, "opaque");
    const int32_t additive = sample::AddComponent(m, polygons, 3, 3, 1, "additive");
    for (int32_t component : {opaque, additive, -1}) {
        sample::Node node;
        node.Component = component;
        node.Visibility = static_cast<int32_t>(m.Visibility.size());
        m.Visibility.push_back(1);
        node.Transform = sample::AddTransform(m, {1, 0, 0}, {0, 0, 45});
        m.Nodes.push_back(node);
    }
    m.Nodes[0].NextSibling = 1;
    m.Nodes[2].FirstChild = 0;
    return m;
}

// Counts far beyond the file, blocks on top of each other, links in a cycle.
sample::Model Lies() {
    sample::Model m = Meshes();
    m.CountOverride[2] = 0xFFFFFFFF;  // block 4
    m.OffsetOverride[3] = 0;          // block 5 over the header
    m.CountOverride[23] = 0x10000;    // block 25
    m.Nodes[1].NextSibling = 0;
    m.AnimationSets = EveryBlock().AnimationSets;
    m.AnimationSets[0].Data.CountOverride[1] = 0xFFFFFFFF;  // list 3
    m.AnimationSets[0].Data.OffsetOverride[2] = 0xFFFFFFF0;
    return m;
}

// A small picture with every channel varying.
std::vector<sample::Rgba> Picture(int width, int height) {
    std::vector<sample::Rgba> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(
                {uint8_t(x * 31), uint8_t(y * 47), uint8_t((x ^ y) * 13), uint8_t(255 - x * y)});
    return pixels;
}

sample::ArchiveImage Image(uint32_t format, int width, int height) {
    sample::ArchiveImage image;
    image.Width = static_cast<uint16_t>(width);
    image.Height = static_cast<uint16_t>(height);
    image.Format = format;
    image.WrapS = 1;
    image.Texels = sample::EncodeTexels(format, width, height, Picture(width, height));
    return image;
}

constexpr uint32_t kFormats[] = {0, 1, 2, 3, 4, 5, 6, 14};

// Every format in one archive, at a size that is not a whole number of blocks.
sample::Archive EveryFormat() {
    sample::Archive archive;
    for (uint32_t format : kFormats)
        archive.Images.push_back(Image(format, 12, 10));
    archive.Images.push_back(Image(9, 4, 4));  // no decoder: transparent
    return archive;
}

class Corpus {
  public:
    explicit Corpus(std::filesystem::path folder) : folder_(std::move(folder)) {}

    bool Add(const std::string& target, const std::string& name, const Bytes& bytes) {
        std::filesystem::create_directories(folder_ / target);
        const std::string path = (folder_ / target / name).string();
        if (sample::WriteFile(path, bytes))
            return true;
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }

  private:
    std::filesystem::path folder_;
};

Bytes Cut(Bytes bytes, size_t length) {
    bytes.resize(std::min(bytes.size(), length));
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    Corpus corpus(argv[1]);
    bool ok = true;

    std::map<std::string, Bytes> models{
        {"empty", sample::WriteModel({})},
        {"demo", sample::WriteModel(sample::DemoModel())},
        {"every-block", sample::WriteModel(EveryBlock())},
        {"animations", sample::WriteModel(Animations())},
        {"meshes", sample::WriteModel(Meshes())},
        {"lies", sample::WriteModel(Lies())},
    };
    models["demo-cut"] = Cut(models["demo"], models["demo"].size() / 2);

    std::map<std::string, Bytes> archives{
        {"empty", sample::WriteArchive({})},
        {"every-format", sample::WriteArchive(EveryFormat())},
        {"demo", sample::WriteArchive(sample::DemoArchive())},
    };
    for (uint32_t format : kFormats) {
        sample::Archive one;
        one.Images = {Image(format, 16, 8)};
        archives["format-" + std::to_string(format)] = sample::WriteArchive(one);
    }
    sample::Archive lies = EveryFormat();
    lies.ImageCount = 0xFFFFFFFF;
    lies.Images[1].TexelOffset = 0;
    lies.Images[2].HeaderOffset = 12;
    archives["lies"] = sample::WriteArchive(lies);
    archives["every-format-cut"] = Cut(archives["every-format"], 150);

    // The texts: every entry of every model, each once.
    auto addTexts = [&](const std::string& name, const Bytes& pair) {
        for (size_t entry = 0; entry < dataview::kDataViewEntries.size(); ++entry) {
            Bytes input = fuzz::DataViewChoice(static_cast<int>(entry), 1, true);
            input.insert(input.end(), pair.begin(), pair.end());
            ok &= corpus.Add("dataview", name + "." + std::to_string(entry), input);
        }
    };
    for (const auto& [name, bytes] : models) {
        ok &= corpus.Add("model", name, bytes);
        addTexts(name, fuzz::JoinPair(bytes, {}));
    }
    for (const auto& [name, bytes] : archives)
        ok &= corpus.Add("archive", name, bytes);

    const std::pair<const char*, const char*> pairs[] = {
        {"demo", "every-format"}, {"meshes", "format-14"},  {"every-block", "format-6"},
        {"lies", "lies"},         {"animations", "empty"},  {"empty", "empty"},
        {"meshes", "demo"},       {"demo-cut", "format-0"},
    };
    for (const auto& [model, archive] : pairs) {
        const std::string name = std::string(model) + "+" + archive;
        const Bytes pair = fuzz::JoinPair(models[model], archives[archive]);
        ok &= corpus.Add("scene", name, pair);
        ok &= corpus.Add("export", name, pair);
        addTexts(name, pair);
    }

    // Point dumps: anything; little-endian floats, whole and cut.
    std::vector<float> floats{0, 1, -1, 3.5f, 1e30f, -0.0f, 7, 8, 9};
    Bytes dump(floats.size() * 4);
    std::memcpy(dump.data(), floats.data(), dump.size());
    ok &= corpus.Add("point_dump", "floats", dump);
    ok &= corpus.Add("point_dump", "floats-cut", Cut(dump, 10));
    ok &= corpus.Add("point_dump", "demo-head", Cut(sample::DemoPointDump(), 4096));

    // Pictures for pack: every image of its archive and a level, changed and
    // unchanged, of the wrong size, cut short.
    const auto picture = [](int32_t image, int level, int width, int height, uint8_t shade) {
        std::vector<uint8_t> pixels(size_t(width) * height * 4, shade);
        for (size_t i = 0; i < pixels.size(); i += 5)
            pixels[i] = static_cast<uint8_t>(i);
        Bytes input = {fuzz::PackChoice(image, level)};
        const Bytes png = PngBytes(width, height, pixels.data());
        input.insert(input.end(), png.begin(), png.end());
        return input;
    };
    ok &= corpus.Add("pack", "image-0", picture(0, 0, 8, 4, 100));
    ok &= corpus.Add("pack", "image-1", picture(1, 0, 16, 8, 200));
    ok &= corpus.Add("pack", "image-1-level-2", picture(1, 2, 4, 2, 50));
    ok &= corpus.Add("pack", "image-2", picture(2, 0, 8, 8, 255));
    ok &= corpus.Add("pack", "image-3", picture(3, 0, 3, 5, 0));
    ok &= corpus.Add("pack", "wrong-size", picture(0, 0, 4, 4, 100));
    ok &= corpus.Add("pack", "cut", Cut(picture(1, 0, 16, 8, 200), 60));

    ok &= corpus.Add("identify", "model", models["every-block"]);
    ok &= corpus.Add("identify", "archive", archives["format-1"]);
    ok &= corpus.Add("identify", "points", dump);
    ok &= corpus.Add("identify", "short", Cut(models["empty"], 333));
    return ok ? 0 : 1;
}
