#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <functional>
#include <limits>
#include <sstream>

#include "cli/Cli.h"
#include "document/Document.h"
#include "model/Irregularities.h"
#include "render/SceneWalk.h"
#include "sample/ArchiveWriter.h"
#include "sample/MeshBuilder.h"
#include "sample/ModelWriter.h"
#include "tests/cli/KestrelRun.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::Kestrel;
using testsupport::Said;

// A sound model: a root (stored last) over two nodes that share one textured
// triangle, and its archive of one 8 x 4 image.
sample::Model Sound() {
    sample::Model m;
    m.TextureName = "crate";
    m.TextureMaps = {{0, 0}};
    m.TextureDefinitions = {{0, 0, 0, "planks"}};
    const sample::PolygonCorners triangle = {{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}};
    const int32_t component = sample::AddComponent(m, {triangle}, 0, 1, 0);
    for (int i = 0; i < 3; ++i) {
        sample::Node node;
        node.Component = i < 2 ? component : -1;
        node.Visibility = static_cast<int32_t>(m.Visibility.size());
        m.Visibility.push_back(1);
        node.Transform = sample::AddTransform(m, {float(i), 0, 0});
        m.Nodes.push_back(node);
    }
    m.Nodes[0].NextSibling = 1;
    m.Nodes[2].FirstChild = 0;
    m.AnimationSets.resize(1);
    m.AnimationSets[0].Data.Frames.resize(2);
    return m;
}

sample::Archive SoundArchive() {
    sample::Archive a;
    a.Images.resize(1);
    a.Images[0].Width = 8;
    a.Images[0].Height = 4;
    a.Images[0].Format = 1;
    a.Images[0].Texels.assign(32, 0x80);
    return a;
}

// A chain of `depth` nodes under the root, each the only child of the one before.
void Nest(sample::Model& m, int depth) {
    sample::Node root = m.Nodes.back();
    m.Nodes.pop_back();
    root.FirstChild = static_cast<int32_t>(m.Nodes.size());
    for (int i = 0; i < depth; ++i) {
        sample::Node node;
        node.Transform = m.Nodes[0].Transform;
        node.FirstChild = i + 1 < depth ? static_cast<int32_t>(m.Nodes.size() + 1) : -1;
        m.Nodes.push_back(node);
    }
    m.Nodes.push_back(root);
}

// Polygons that each span the whole vertex order, more than a walk may send.
void Spanning(sample::Model& m) {
    m.VertexOrder.assign(2000, 0);
    m.Polygons.assign(2000, {0, 2000});
    m.PolygonSets[0].PolygonCount = 2000;
}

TEST(Check, EveryIrregularityIsToldWhereAndWhat) {
    using Model = std::function<void(sample::Model&)>;
    using Archive = std::function<void(sample::Archive&)>;
    struct Case {
        const char* Kind;
        Model Damage;
        Archive DamageArchive;
        std::string Line;
    };
    const Model none = [](sample::Model&) {};
    const Archive same = [](sample::Archive&) {};
    const std::vector<Case> cases = {
        {"short-block", [](auto& m) { m.CountOverride[2] = 100000; }, same,
         "block 4: 100000 records at offset "},
        {"read-budget",
         [](auto& m) {
             // Four whole-file blocks of words spend the budget of four bytes a file byte.
             const uint32_t words = uint32_t(sample::WriteModel(m).size() / 4);
             for (int slot : {3, 5, 7, 8}) {
                 m.CountOverride[slot] = words;
                 m.OffsetOverride[slot] = 0;
             }
         },
         same, "held (the file's read budget is spent)"},
        {"animation-list", [](auto& m) { m.AnimationSets[0].Data.CountOverride[1] = 1000000; },
         same, " list 3: 1000000 records at offset "},
        {"animation-area", [](auto& m) { m.AnimationSets[0].DataOffset = 99999999; }, same,
         "block 27 area at 99999999: past the end of the file ("},
        {"value", [](auto& m) { m.Vertices[1].Y = std::numeric_limits<float>::infinity(); }, same,
         "block 4 record 1 Y: inf, not a finite number"},
        {"value", [](auto& m) { m.Transforms[4] = 1e38f; }, same,
         "block 24 float 4: 1e+38, beyond any model's size"},
        {"index", [](auto& m) { m.Nodes[0].Transform = 99999; }, same,
         "block 25 record 0: Transform 99999 outside the table (72 floats, 24 needed)"},
        {"link", [](auto& m) { m.Nodes[2].FirstChild = 99; }, same,
         "block 25 record 2: FirstChild 99 outside the table (3 records)"},
        {"cycle", [](auto& m) { m.Nodes[0].FirstChild = 2; }, same,
         "block 25 record 0: FirstChild 2 leads back to a node it lies under (a cycle)"},
        {"shared-node", [](auto& m) { m.Nodes[1].FirstChild = 0; }, same,
         "block 25 record 1: FirstChild 0 reaches that node a second time"},
        {"unreachable", [](auto& m) { m.Nodes[2].FirstChild = 1; }, same,
         "block 25: 1 of 3 nodes unreachable from the root (record 2)"},
        {"nesting", [](auto& m) { Nest(m, 33); }, same,
         "block 25 record 32: nested deeper than 31 levels; left out with its subtree"},
        {"index", [](auto& m) { m.Nodes[0].Component = 50; }, same,
         "block 25 record 0: Component 50 outside the table (1 record)"},
        {"index", [](auto& m) { m.Nodes[1].Visibility = 50; }, same,
         "block 25 record 1: Visibility 50 outside the table (3 records)"},
        {"index", [](auto& m) { m.Components[0].PolygonSetCount = 5; }, same,
         "block 2 record 0: polygon sets 0 to 4 run outside the table (1 record)"},
        {"index", [](auto& m) { m.PolygonSets[0].TextureMap = 7; }, same,
         "block 22 record 0: TextureMap 7 outside the table (1 record)"},
        {"index", [](auto& m) { m.TextureMaps[0].TextureIndex = 3; }, same,
         "block 20 record 0: TextureIndex 3 outside the archive (1 image)"},
        {"index", [](auto& m) { m.PolygonSets[0].PolygonCount = 9; }, same,
         "block 22 record 0: polygons 0 to 8 run outside the table (1 record)"},
        {"index", [](auto& m) { m.Polygons[0].VertexCount = 9; }, same,
         "block 3 record 0: corners 0 to 8 run outside the vertex order (block 5, 3 entries)"},
        {"index", [](auto& m) { m.VertexOrder[1] = 1000; }, same,
         "block 5 entry 1: vertex 1000 outside the table (block 4, 3 records)"},
        {"index", [](auto& m) { m.ColorOrder[2] = 77; }, same,
         "block 9 entry 2: 77 outside the table (block 8, 3 records)"},
        {"index", [](auto& m) { m.NormalOrder.resize(1); }, same,
         "block 7 entry 1 outside the table (1 entry)"},
        {"index", [](auto& m) { m.TexVertexOrder[0] = 50; }, same,
         "block 10 entry 0: 50 outside the table (block 18, 3 records)"},
        {"work-bound", Spanning, same,
         "the walk stopped at its work bound (16 polygon sets, polygons and corners per byte"},
        {"archive-missing", none, nullptr, "crate- not found"},
        {"image-table", none, [](auto& a) { a.ImageCount = 1000; },
         "archive header: ImageCount 1000, "},
        {"image-data", none, [](auto& a) { a.Images[0].TexelOffset = 1000000; },
         "image 0: texels at offset 1000000, past the end of the archive ("},
        {"image-data", none, [](auto& a) { a.Images[0].Texels.resize(10); },
         "image 0: 8 x 4 Intensity8 needs 32 bytes, 10 held"},
        {"image-order", none,
         [](auto& a) {
             a.Images.push_back(a.Images[0]);
             a.Images[1].TexelOffset = 0;
         },
         ", after those of the next image (at 0)"},
        {"image-budget", none, [](auto& a) { a.Images[0].Width = a.Images[0].Height = 65535; },
         "image 0: 65535 x 65535 texels, more than the archive can back (drawn transparent)"},
        {"texel-format", none, [](auto& a) { a.Images[0].Format = 9; },
         "image 0: texel format 9 unknown (drawn transparent)"},
        {"frame-range",
         [](auto& m) {
             m.AnimationSets[0].Data.Frames[1].Ranges[2] = {3, 4};
         },
         same, "block 27 area at "},
        {"image-size", none, [](auto& a) { a.Images[0].Width = 0; },
         "image 0: 0 x 4: no texels (drawn transparent)"},
        {"image-table", none, [](auto& a) { a.ImageCount = 0; },
         "archive header: ImageCount 0, no image to draw"},
    };
    testsupport::TempDir dir;
    const std::string model = dir.File("crate.mdl");
    dir.Write("crate.mdl", sample::WriteModel(Sound()));
    dir.Write("crate-", sample::WriteArchive(SoundArchive()));
    Said sound = Kestrel({"check", model, dir.File("crate-")});
    EXPECT_EQ(sound.Status, 0);
    EXPECT_EQ(sound.Out,
              model + ": ok (model)\n" + dir.File("crate-") + ": ok (texture-archive)\n");

    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        sample::Model m = Sound();
        c.Damage(m);
        testsupport::TempDir files;
        const std::string path = files.Write("crate.mdl", sample::WriteModel(m));
        if (c.DamageArchive) {
            sample::Archive a = SoundArchive();
            c.DamageArchive(a);
            files.Write("crate-", sample::WriteArchive(a));
        }
        const Said said = Kestrel({"check", path});
        EXPECT_EQ(said.Status, 1);
        EXPECT_NE(said.Out.find(c.Line), std::string::npos) << said.Out;

        // The same facts as JSON, the kind named; lines are bounded per kind.
        const nlohmann::json facts = nlohmann::json::parse(Kestrel({"check", "--json", path}).Out);
        ASSERT_EQ(facts.size(), 1u);
        EXPECT_FALSE(facts[0]["ok"].get<bool>());
        size_t lines = 1;
        bool named = false;
        for (const auto& kind : facts[0]["irregularities"]) {
            named |= kind["kind"] == c.Kind;
            EXPECT_LE(kind["lines"].size(), Irregularities::kLinesPerKind);
            for (const auto& line : kind["lines"])
                EXPECT_NE(said.Out.find(path + ": " + line.get<std::string>() + "\n"),
                          std::string::npos);
            lines += kind["lines"].size() + (kind["count"] > kind["lines"].size());
        }
        EXPECT_TRUE(named) << c.Kind;
        EXPECT_EQ(said.Out.substr(0, said.Out.find('\n')),
                  path + ": model, " + facts[0]["count"].dump() +
                      (facts[0]["count"] == 1 ? " irregularity" : " irregularities"));
        EXPECT_EQ(std::count(said.Out.begin(), said.Out.end(), '\n'), lines);
    }
}

}  // namespace

namespace {

TEST(Check, AnyFileIsPointsAndTheCheckSaysWhatNoDumpOfPointsHolds) {
    testsupport::TempDir dir;
    const std::string empty = dir.Write("empty", {});
    EXPECT_EQ(Kestrel({"check", empty}).Out,
              empty + ": ok (point-dump)\n" + empty +
                  ": note: not a model or texture archive: read as 0 points\n");
    // Two points, the second with an infinite Y, and five bytes more.
    std::vector<uint8_t> bytes(4 * kFirstPointWord + 24 + 5, 0);
    const float inf = std::numeric_limits<float>::infinity();
    std::memcpy(&bytes[4 * kFirstPointWord + 16], &inf, 4);
    const std::string dump = dir.Write("dump", bytes);
    const Said said = Kestrel({"check", dump});
    EXPECT_EQ(said.Status, 1);
    for (const std::string line : {": point-dump, 2 irregularities\n",
                                   ": note: not a model or texture archive: read as 2 points\n",
                                   ": 5 bytes after the last whole point (a point is 12 bytes)\n",
                                   ": point 1 Y: inf, not a finite number\n"})
        EXPECT_NE(said.Out.find(dump + line), std::string::npos) << line << said.Out;
}

TEST(Json, IdentifyAndInfoGiveTheFactsOfTheirText) {
    testsupport::TempDir dir;
    const std::string model = dir.Write("crate.mdl", sample::WriteModel(Sound()));
    const std::string archive = dir.Write("crate-", sample::WriteArchive(SoundArchive()));
    const std::string missing = dir.File("missing");
    const Said identify = Kestrel({"identify", "--json", model, archive, missing});
    EXPECT_EQ(identify.Status, 1);
    EXPECT_EQ(nlohmann::json::parse(identify.Out), nlohmann::json::parse(
                                                       R"([{"file": ")" + model +
                                                       R"(", "kind": "model", "code": 2},
                                       {"file": ")" + archive +
                                                       R"(", "kind": "texture-archive", "code": 1},
                                       {"file": ")" + missing +
                                                       R"(", "kind": "unreadable", "code": 0}])"));

    const auto info = [](const std::string& path) {
        const nlohmann::json all = nlohmann::json::parse(Kestrel({"info", "--json", path}).Out);
        EXPECT_EQ(all.size(), 1u);
        return all[0];
    };
    const nlohmann::json m = info(model);
    EXPECT_EQ(m["kind"], "model");
    EXPECT_EQ(m["textures"]["found"], true);
    EXPECT_EQ(m["textures"]["images"], 1);
    EXPECT_EQ(m["blocks"][2]["number"], 4);
    EXPECT_EQ(m["blocks"][2]["records"], 3);
    EXPECT_EQ(m["animationSets"][0]["frames"], 2);
    const nlohmann::json a = info(archive);
    EXPECT_EQ(a["images"][0]["width"], 8);
    EXPECT_EQ(a["images"][0]["formatName"], "Intensity8");
    EXPECT_EQ(a["images"][0]["bytes"], 32);
    EXPECT_EQ(info(dir.Write("dump", std::vector<uint8_t>(466900, 0)))["points"], 1);
    EXPECT_EQ(info(missing)["reason"], "No such file or directory");
    EXPECT_EQ(Kestrel({"check", missing}).Out,
              missing + ": cannot be read: No such file or directory\n");
    // Bytes that are not UTF-8 (a name as the game stores it) still make JSON.
    sample::Model latin = Sound();
    latin.ModelName = "caf\xe9";
    EXPECT_EQ(info(dir.Write("latin.mdl", sample::WriteModel(latin)))["name"], "caf\xef\xbf\xbd");
}

}  // namespace
