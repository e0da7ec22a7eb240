#include <gtest/gtest.h>

#include <cstring>

#include "cli/Png.h"
#include "dataview/DataText.h"
#include "model/FileKind.h"
#include "model/ModelFile.h"
#include "sample/ArchiveWriter.h"
#include "sample/DemoScene.h"
#include "sample/ModelWriter.h"
#include "tests/cli/RunKestrel.h"
#include "tests/support/TempDir.h"
#include "texture/ArchivePath.h"
#include "texture/TextureFile.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

sample::Model SmallModel() {
    sample::Model m;
    m.ModelName = "crate";
    m.TextureName = "crate";
    m.Date = "2001-07-04";
    m.BoundingBox = {-1, -2, -3, 1, 2, 3};
    m.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    m.Polygons = {{0, 3}};
    sample::AnimationSet spin;
    spin.Name = "spin";
    spin.Data.Frames.resize(2);
    m.AnimationSets.push_back(spin);
    return m;
}

sample::Archive SmallArchive() {
    sample::Archive a;
    sample::ArchiveImage image;
    image.Width = 8;
    image.Height = 4;
    image.Format = 1;
    image.WrapS = 1;
    image.WrapT = 2;
    image.Texels.assign(32, 0x80);
    a.Images.push_back(image);
    return a;
}

}  // namespace

TEST(Cli, HelpAndUsageErrors) {
    KestrelRun run = RunKestrelBinary({"--help"});
    EXPECT_EQ(run.Status, 0);
    for (const char* command : {"identify", "info", "dump", "textures", "render", "make-sample"}) {
        EXPECT_TRUE(Contains(run.Out, command)) << command;
        KestrelRun help = RunKestrelBinary({command, "--help"});
        EXPECT_EQ(help.Status, 0);
        EXPECT_TRUE(Contains(help.Out, std::string("usage: kestrel ") + command));
    }

    run = RunKestrelBinary({});
    EXPECT_EQ(run.Status, 2);
    EXPECT_TRUE(Contains(run.Err, "usage"));
    run = RunKestrelBinary({"paint"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_TRUE(Contains(run.Err, "unknown command 'paint'"));
    EXPECT_TRUE(run.Out.empty());
    run = RunKestrelBinary({"identify"});
    EXPECT_EQ(run.Status, 2);
    run = RunKestrelBinary({"info", "a", "b"});
    EXPECT_EQ(run.Status, 2);
    run = RunKestrelBinary({"info", "--bogus", "a"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_TRUE(Contains(run.Err, "unknown option --bogus"));
}

TEST(Cli, IdentifyPrintsOneLinePerFile) {
    testsupport::TempDir dir;
    std::string model = dir.Write("crate.mdl", sample::WriteModel(SmallModel()));
    std::string archive = dir.Write("crate-", sample::WriteArchive(SmallArchive()));
    std::string other = dir.Write("points.bin", std::vector<uint8_t>(100, 7));

    KestrelRun run = RunKestrelBinary({"identify", model, archive, other});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, model + ": 2 model\n" + archive + ": 1 texture-archive\n" + other +
                           ": 3 point-dump\n");

    run = RunKestrelBinary({"identify", model, dir.File("missing")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, model + ": 2 model\n" + dir.File("missing") + ": 0 unreadable\n");
}

TEST(Cli, InfoSummarisesEachKind) {
    testsupport::TempDir dir;
    std::string model = dir.Write("crate.mdl", sample::WriteModel(SmallModel()));

    KestrelRun run = RunKestrelBinary({"info", model});
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(Contains(run.Out, "name:      crate\n"));
    EXPECT_TRUE(Contains(run.Out, "(not found)"));
    EXPECT_TRUE(Contains(run.Out, "date:      2001-07-04\n"));
    EXPECT_TRUE(Contains(run.Out, "(-1.000, -2.000, -3.000) to (1.000, 2.000, 3.000)"));
    EXPECT_TRUE(Contains(run.Out, " 4  Vertices                                  3\n"));
    EXPECT_TRUE(Contains(run.Out, "animation sets: 1\n"));
    EXPECT_TRUE(Contains(run.Out, "spin"));

    std::string archive = dir.Write("crate-", sample::WriteArchive(SmallArchive()));
    run = RunKestrelBinary({"info", model});
    EXPECT_TRUE(Contains(run.Out, "(found, 1 images)")) << run.Out;

    run = RunKestrelBinary({"info", archive});
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(Contains(run.Out, "texture archive, 1 images\n"));
    EXPECT_TRUE(Contains(run.Out, "8 x 4"));
    EXPECT_TRUE(Contains(run.Out, "format  1 Intensity8"));
    EXPECT_TRUE(Contains(run.Out, "wrap 1/2"));

    run = RunKestrelBinary({"info", dir.Write("dump", std::vector<uint8_t>(466900, 0))});
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(Contains(run.Out, "point dump, 466900 bytes, 1 points"));

    run = RunKestrelBinary({"info", dir.File("missing")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Err, "cannot read"));
    EXPECT_TRUE(run.Out.empty());
}

TEST(Cli, DumpWritesTheDataViewTextOfEveryBlock) {
    testsupport::TempDir dir;
    sample::Model m = SmallModel();
    m.TextureDefinitions = {{1, 0, 2, "planks"}, {3, 5, 4, "missing image"}};
    m.AnimationSets.push_back(m.AnimationSets[0]);
    m.AnimationSets[1].Name = "roll";
    m.AnimationSets[1].Data.List9 = {{7, 8}};
    std::string path = dir.Write("crate.mdl", sample::WriteModel(m));
    dir.Write("crate-", sample::WriteArchive(SmallArchive()));

    ModelFile model;
    ASSERT_TRUE(model.Load(path));
    TextureFile archive;
    ASSERT_TRUE(archive.Load(ArchiveNameFor(path, model.Header())));
    for (size_t entry = 0; entry < dataview::kDataViewEntries.size(); ++entry) {
        int block = dataview::kDataViewEntries[entry].Block;
        std::string word = block == dataview::kHeaderBlock ? "header" : std::to_string(block);
        KestrelRun run = RunKestrelBinary({"dump", path, "--block", word});
        EXPECT_EQ(run.Status, 0) << word;
        EXPECT_EQ(run.Out, dataview::EntryText(&model, &archive, static_cast<int>(entry), 0))
            << word;
    }
    EXPECT_EQ(RunKestrelBinary({"dump", path}).Out, dataview::HeaderText(model));
    KestrelRun second = RunKestrelBinary({"dump", path, "--block=27", "--set=1"});
    EXPECT_EQ(second.Out, dataview::AnimationText(model, 1));
    EXPECT_NE(second.Out, dataview::AnimationText(model, 0));

    KestrelRun unix = RunKestrelBinary({"dump", path, "--block", "3", "--lf"});
    EXPECT_EQ(unix.Out, "Block 3: Polygons\n" + std::string(60, '-') + "\n\n  0:    0,    3\n");
}

TEST(Cli, DumpRefusesWhatItCannotShow) {
    testsupport::TempDir dir;
    std::vector<uint8_t> bytes = sample::WriteModel(SmallModel());
    std::string path = dir.Write("crate.mdl", bytes);

    for (const char* block : {"7", "1", "28", "0", "x", "-1", ""}) {
        KestrelRun run = RunKestrelBinary({"dump", path, "--block", block});
        EXPECT_EQ(run.Status, 2) << block;
        EXPECT_TRUE(Contains(run.Err, "unknown block")) << block;
        EXPECT_TRUE(run.Out.empty());
    }
    EXPECT_EQ(RunKestrelBinary({"dump", path, "--set", "two"}).Status, 2);
    EXPECT_EQ(RunKestrelBinary({"dump", path, "--block"}).Status, 2);

    KestrelRun run = RunKestrelBinary({"dump", dir.File("missing")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Err, "cannot read"));
    run = RunKestrelBinary({"dump", dir.Write("crate-", sample::WriteArchive(SmallArchive()))});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Err, "is not a model file"));

    // A truncated model still shows what it holds; missing records are zero.
    bytes.resize(440);
    run = RunKestrelBinary({"dump", dir.Write("cut.mdl", bytes), "--block", "4", "--lf"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(Contains(run.Out, "  2:   0.000,   0.000,   0.000\n")) << run.Out;
    // A set number that names no set says so instead of failing.
    run = RunKestrelBinary({"dump", path, "--block", "27", "--set", "9"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(Contains(run.Out, "No animation set 9")) << run.Out;
}

TEST(Cli, MakeSampleAndTexturesWriteDecodedImages) {
    testsupport::TempDir dir;
    std::string folder = dir.File("new folder/sample");
    KestrelRun run = RunKestrelBinary({"make-sample", folder});
    ASSERT_EQ(run.Status, 0) << run.Err;
    sample::DemoFiles demo;
    ASSERT_TRUE(sample::WriteDemo(dir.File(""), demo));  // the same names, for comparison
    EXPECT_EQ(run.Out, folder + "/kestrel-demo.model\n" + folder + "/kestrel-demo-\n" + folder +
                           "/kestrel-demo.points\n");
    EXPECT_EQ(IdentifyFile(folder + "/kestrel-demo.model"), FileKind::ModelFile);

    TextureFile archive;
    ASSERT_TRUE(archive.Load(folder + "/kestrel-demo"));
    // From the model (archive found beside it) and from the archive itself.
    for (const std::string& input : {folder + "/kestrel-demo.model", folder + "/kestrel-demo-"}) {
        std::string out = dir.File("pictures " + std::to_string(input.size()));
        run = RunKestrelBinary({"textures", input, "-o", out});
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_TRUE(Contains(run.Out, "000.png: 64 x 64, format 0 Intensity4\n")) << run.Out;
        EXPECT_TRUE(Contains(run.Out, "format 14 Compressed\n"));
        for (int32_t k = 0; k < archive.ImageCount(); ++k) {
            char name[16];
            std::snprintf(name, sizeof name, "/%03d.png", k);
            RgbaPicture picture;
            std::string error;
            ASSERT_TRUE(ReadPng(out + name, picture, error)) << error;
            std::vector<RgbaColor> texels = archive.DecodeImage(k);
            ASSERT_EQ(picture.Width * picture.Height, static_cast<int>(texels.size()));
            EXPECT_EQ(std::memcmp(picture.Pixels.data(), texels.data(), picture.Pixels.size()), 0)
                << name;
        }
    }

    run = RunKestrelBinary({"textures", folder + "/kestrel-demo.points", "-o", dir.File("x")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Err, "neither a model nor a texture archive"));
    run = RunKestrelBinary({"textures", dir.Write("lonely.mdl", sample::WriteModel(SmallModel())),
                            "-o", dir.File("y")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Err, "crate- cannot be read"));
    EXPECT_EQ(RunKestrelBinary({"textures", folder + "/kestrel-demo-"}).Status, 2);

    // An image the archive cannot back is reported; the others are still written.
    sample::Archive hostile = SmallArchive();
    hostile.Images.push_back(hostile.Images[0]);
    hostile.Images[0].Width = 65535;
    hostile.Images[0].Height = 65535;
    run = RunKestrelBinary(
        {"textures", dir.Write("hostile-", sample::WriteArchive(hostile)), "-o", dir.File("z")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Err, "image 0 (65535 x 65535) has no texels"));
    EXPECT_EQ(run.Out, "001.png: 8 x 4, format 1 Intensity8\n");
}

TEST(Cli, RenderDrawsWhatTheViewerShows) {
    testsupport::TempDir dir;
    sample::DemoFiles demo;
    ASSERT_TRUE(sample::WriteDemo(dir.File(""), demo));

    auto render = [&](std::vector<std::string> options) {
        std::string out = dir.File("frame" + std::to_string(options.size()) + ".png");
        std::vector<std::string> words = {"render", demo.Model, "-o", out, "--no-axes"};
        words.insert(words.end(), options.begin(), options.end());
        KestrelRun run = RunKestrelBinary(words);
        EXPECT_EQ(run.Status, 0) << run.Err;
        RgbaPicture picture;
        std::string error;
        EXPECT_TRUE(ReadPng(out, picture, error)) << error;
        return picture;
    };
    auto lit = [](const RgbaPicture& p) {
        size_t count = 0;
        for (size_t i = 0; i < p.Pixels.size(); i += 4) {
            count += p.Pixels[i] + p.Pixels[i + 1] + p.Pixels[i + 2] > 0;
        }
        return count;
    };

    RgbaPicture textured = render({});
    ASSERT_EQ(textured.Width, 640);
    ASSERT_EQ(textured.Height, 480);
    EXPECT_GT(lit(textured), 640u * 480 / 10);  // the model fills a good part of the frame
    RgbaPicture plain = render({"--no-textures"});
    size_t differing = 0;
    for (size_t i = 0; i < textured.Pixels.size(); ++i)
        differing += textured.Pixels[i] != plain.Pixels[i];
    EXPECT_GT(differing, 1000u);

    RgbaPicture small = render({"--size", "320x240", "--pan", "0,-2", "--rotate", "10,20"});
    EXPECT_EQ(small.Width, 320);
    EXPECT_EQ(small.Height, 240);
    EXPECT_EQ(lit(render({"--zoom", "-700"})), 0u);  // beyond the far plane

    KestrelRun run = RunKestrelBinary({"render", demo.PointDump, "-o", dir.File("points.png")});
    EXPECT_EQ(run.Status, 0);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--size", "0x10"},
                                                {"--size", "big"},
                                                {"--pan", "1"},
                                                {"--zoom", "near"},
                                                {"--rotate", "1,x"}}) {
        std::vector<std::string> words = {"render", demo.Model, "-o", dir.File("bad.png")};
        words.insert(words.end(), bad.begin(), bad.end());
        EXPECT_EQ(RunKestrelBinary(words).Status, 2) << bad[0] << " " << bad[1];
    }
    EXPECT_EQ(RunKestrelBinary({"render", demo.Archive, "-o", dir.File("a.png")}).Status, 1);
    EXPECT_EQ(RunKestrelBinary({"render", dir.File("missing"), "-o", dir.File("m.png")}).Status, 1);
    run = RunKestrelBinary({"render", demo.Model, "-o", dir.File("no folder/x.png")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Err, "cannot write"));

    // A damaged model draws what it can and never takes the command down.
    std::vector<uint8_t> bytes = sample::WriteModel(sample::DemoModel());
    for (size_t i = 432; i < bytes.size(); i += 7)
        bytes[i] ^= 0x5A;
    bytes.resize(bytes.size() / 2);
    run = RunKestrelBinary({"render", dir.Write("damaged.model", bytes), "-o", dir.File("d.png")});
    EXPECT_EQ(run.Status, 0) << run.Err;
}
