// kestrel export: what it says, what it writes, and what it leaves when it fails.

#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <filesystem>

#include "sample/DemoScene.h"
#include "tests/cli/KestrelRun.h"
#include "tests/export/ExportSample.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::Kestrel;
using testsupport::Said;

tinygltf::Model LoadGlb(const std::string& path) {
    tinygltf::Model gltf;
    std::string error, warning;
    EXPECT_TRUE(tinygltf::TinyGLTF().LoadBinaryFromFile(&gltf, &error, &warning, path)) << error;
    return gltf;
}

bool Textured(const tinygltf::Model& gltf) {
    for (const tinygltf::Mesh& mesh : gltf.meshes)
        for (const tinygltf::Primitive& p : mesh.primitives)
            if (p.attributes.count("TEXCOORD_0"))
                return true;
    return !gltf.images.empty();
}

}  // namespace

TEST(Export, FormatsWhatIsLeftOutAndFailures) {
    testsupport::TempDir dir;
    std::string model;
    ASSERT_TRUE(testsupport::WriteEveryKind(dir.File(""), model));
    sample::DemoFiles demo;
    ASSERT_TRUE(sample::WriteDemo(dir.File(""), demo));
    const Said run = Kestrel({"export", model, "-o", dir.File("every.glb")});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, dir.File("every.glb") + "\n");
    EXPECT_TRUE(Textured(LoadGlb(dir.File("every.glb"))));

    // Without its archive a model keeps its vertex colours, and says so.
    const std::string lonely = dir.File("lonely.model");
    std::filesystem::copy_file(model, lonely);
    std::filesystem::rename(dir.File("every-kind-"), dir.File("away-"));
    const Said alone = Kestrel({"export", lonely, "-o", dir.File("lonely.glb")});
    EXPECT_EQ(alone.Status, 0);
    EXPECT_EQ(alone.Err,
              "kestrel export: texture archive " + dir.File("every-kind-") + " not found\n");
    std::filesystem::rename(dir.File("away-"), dir.File("every-kind-"));
    EXPECT_FALSE(Textured(LoadGlb(dir.File("lonely.glb"))));
    // Textures left out on request.
    ASSERT_EQ(Kestrel({"export", model, "-o", dir.File("plain.glb"), "--no-textures"}).Status, 0);
    EXPECT_FALSE(Textured(LoadGlb(dir.File("plain.glb"))));

    // A point dump exports as its cloud of points.
    ASSERT_EQ(Kestrel({"export", demo.PointDump, "-o", dir.File("points.glb")}).Status, 0);
    EXPECT_EQ(LoadGlb(dir.File("points.glb")).meshes.at(0).primitives.at(0).mode,
              TINYGLTF_MODE_POINTS);

    // Wrong usage is 2, a file that cannot be read or written 1, and nothing
    // of a failed export is left: here its buffer cannot take its name.
    std::filesystem::create_directory(dir.File("taken.bin"));
    struct Case {
        std::vector<std::string> Words;
        int Status;
        std::string Err;
    };
    for (const Case& c : std::vector<Case>{
             {{"export", model}, 2, "-o OUT.glb"},
             {{"export", model, "-o", dir.File("x.obj")}, 2, "must end in .glb or .gltf"},
             {{"export", dir.File("missing"), "-o", dir.File("x.glb")}, 1, "cannot read"},
             {{"export", demo.Archive, "-o", dir.File("x.glb")}, 1, "is a texture archive"},
             {{"export", dir.Write("short", std::vector<uint8_t>(5, 1)), "-o", dir.File("x.glb")},
              1,
              "short holds nothing to export"},
             {{"export", model, "-o", model + "/x.glb"}, 1, "cannot write"},
             {{"export", model, "-o", dir.File("taken.gltf")}, 1, "cannot write"},
         }) {
        SCOPED_TRACE(testing::PrintToString(c.Words));
        const Said failed = Kestrel(c.Words);
        EXPECT_EQ(failed.Status, c.Status);
        EXPECT_NE(failed.Err.find(c.Err), std::string::npos) << failed.Err;
        EXPECT_EQ(failed.Out, "");
    }
    for (const char* name : {"x.glb", "taken.gltf", "taken_000.png"})
        EXPECT_FALSE(std::filesystem::exists(dir.File(name))) << name;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    const Said help = Kestrel({"export", "--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("usage: kestrel export", 0), 0u);
}
