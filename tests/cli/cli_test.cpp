#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/Png.h"
#include "dataview/DataText.h"
#include "model/ByteSource.h"
#include "model/FileKind.h"
#include "model/ModelFile.h"
#include "sample/ArchiveWriter.h"
#include "sample/DemoScene.h"
#include "sample/ModelWriter.h"
#include "tests/support/TempDir.h"
#include "texture/TextureFile.h"

namespace {

// A PNG file as 8-bit RGBA, top row first.
bool ReadPng(const std::string& path, RgbaPicture& picture, std::string& error) {
    std::FILE* file = OpenBinaryFile(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    bool ok = png_image_begin_read_from_stdio(&image, file) != 0;
    if (ok) {
        image.format = PNG_FORMAT_RGBA;
        picture.Width = static_cast<int>(image.width);
        picture.Height = static_cast<int>(image.height);
        picture.Pixels.assign(PNG_IMAGE_SIZE(image), 0);
        ok = png_image_finish_read(&image, nullptr, picture.Pixels.data(), 0, nullptr) != 0;
    }
    if (!ok)
        error = "cannot read " + path + (image.message[0] ? ": " + std::string(image.message) : "");
    png_image_free(&image);
    std::fclose(file);
    return ok;
}

struct Said {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs the built `kestrel` as a user would and collects what it said; `shell`
// comes first on its command line (a limit, another standard output).
Said Kestrel(const std::vector<std::string>& words, const std::string& shell = "") {
    testsupport::TempDir capture;
    std::string command = shell + Quote(KESTREL_BINARY);
    for (const std::string& word : words)
        command.append(" ").append(Quote(word));
    command += " >" + Quote(capture.File("out")) + " 2>" + Quote(capture.File("err"));
    int raw = std::system(command.c_str());
    auto slurp = [&capture](const char* name) {
        std::ifstream in(capture.File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), slurp("out"), slurp("err")};
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Runs `words`, which must succeed and print every one of `parts`.
void ExpectPrints(const std::vector<std::string>& words, std::vector<std::string> parts) {
    Said run = Kestrel(words);
    EXPECT_EQ(run.Status, 0) << run.Err;
    for (const std::string& part : parts)
        EXPECT_TRUE(Contains(run.Out, part)) << part << " not in:\n" << run.Out;
}

sample::Model SmallModel() {
    sample::Model m;
    m.ModelName = "crate";
    m.TextureName = "crate";
    m.Date = "2001-07-04";
    m.BoundingBox = {-1, -2, -3, 1, 2, 3};
    m.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    m.Polygons = {{0, 3}};
    m.AnimationSets.resize(1);
    m.AnimationSets[0].Name = "spin";
    m.AnimationSets[0].Data.Frames.resize(2);
    return m;
}

sample::Archive SmallArchive() {
    sample::Archive a;
    a.Images.resize(1);
    sample::ArchiveImage& image = a.Images[0];
    image.Width = 8;
    image.Height = 4;
    image.Format = 1;
    image.WrapS = 1;
    image.WrapT = 2;
    image.Texels.assign(32, 0x80);
    return a;
}

}  // namespace

TEST(Cli, HelpListsEveryCommand) {
    Said run = Kestrel({"--help"});
    EXPECT_EQ(run.Status, 0);
    for (const char* command :
         {"identify", "info", "check", "dump", "textures", "render", "export", "make-sample",
          "view"}) {
        EXPECT_TRUE(Contains(run.Out, command)) << command;
        Said help = Kestrel({command, "--help"});
        EXPECT_EQ(help.Status, 0);
        EXPECT_TRUE(Contains(help.Out, std::string("usage: kestrel ") + command));
    }
}

TEST(Cli, WrongUsageExitsWithTwoAndUnusableFilesWithOne) {
    testsupport::TempDir dir;
    sample::DemoFiles demo;
    ASSERT_TRUE(sample::WriteDemo(dir.File(""), demo));
    // Its texture archive, crate-, is not there.
    const std::string lonely = dir.Write("crate.mdl", sample::WriteModel(SmallModel()));
    const std::string missing = dir.File("missing");
    const std::string png = dir.File("out.png");
    struct Case {
        std::vector<std::string> Words;
        int Status;
        std::string Err;
        std::string Shell = "";
    };
    // An output that cannot be written, whole or in part, is a failure.
    const std::string full = "sh -c '\"$0\" \"$@\" >/dev/full' ", tiny = "ulimit -f 1; ";
    sample::Archive unusable = SmallArchive();
    unusable.Images[0].Width = unusable.Images[0].Height = 65535;
    const std::string nothing = dir.Write("nothing-", sample::WriteArchive(unusable));
    std::vector<Case> cases = {
        {{}, 2, "usage"},
        {{"paint"}, 2, "unknown command 'paint'"},
        {{"identify"}, 2, "wrong number of arguments"},
        {{"info", "a", "b"}, 2, "wrong number of arguments"},
        {{"info", "--bogus", "a"}, 2, "unknown option --bogus"},
        {{"dump", lonely, "--set", "two"}, 2, "the set must be a number"},
        {{"dump", lonely, "--block"}, 2, "--block needs a value"},
        {{"textures", demo.Archive}, 2, "-o DIR"},
        {{"render", demo.Model, "-o", png, "--size", "0x10"}, 2, "--size wants WxH"},
        {{"render", demo.Model, "-o", png, "--size", "big"}, 2, "--size wants WxH"},
        {{"render", demo.Model, "-o", png, "--pan", "1"}, 2, "--pan wants X,Y"},
        {{"render", demo.Model, "-o", png, "--zoom", "near"}, 2, "--zoom wants a number"},
        {{"render", demo.Model, "-o", png, "--rotate", "1,x"}, 2, "--rotate wants X,Y"},
        {{"info", missing}, 1, "cannot read"},
        {{"dump", missing}, 1, "cannot read"},
        {{"dump", demo.Archive}, 1, "is not a model file"},
        {{"textures", demo.PointDump, "-o", dir.File("x")}, 1, "neither a model nor a texture"},
        {{"textures", lonely, "-o", dir.File("y")}, 1, "crate- cannot be read"},
        {{"render", demo.Archive, "-o", png}, 1, "is a texture archive"},
        {{"render", missing, "-o", png}, 1, "cannot read"},
        {{"render", demo.Model, "-o", dir.File("no folder/x.png")}, 1, "cannot write"},
        {{"render", demo.Model, "-o", png}, 1, "cannot write " + png, tiny},
        {{"textures", nothing, "-o", dir.File("unmade")}, 1, "has no texels to write"},
    };
    for (const char* command : {"identify", "info", "dump"})
        cases.push_back({{command, demo.Model}, 1, "cannot write to standard output", full});
    for (const char* block : {"7", "1", "28", "0", "x", "-1", ""})
        cases.push_back({{"dump", lonely, "--block", block}, 2, "unknown block"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Shell + testing::PrintToString(c.Words));
        Said run = Kestrel(c.Words, c.Shell);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_TRUE(Contains(run.Err, c.Err)) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
    // Nothing half written is left, under its own name or another, and no
    // folder is made for pictures that were never written.
    EXPECT_FALSE(std::filesystem::exists(png));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "unmade"));
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

TEST(Cli, IdentifyPrintsOneLinePerFile) {
    testsupport::TempDir dir;
    std::string model = dir.Write("crate.mdl", sample::WriteModel(SmallModel()));
    std::string archive = dir.Write("crate-", sample::WriteArchive(SmallArchive()));
    std::string other = dir.Write("points.bin", std::vector<uint8_t>(100, 7));

    Said run = Kestrel({"identify", model, archive, other});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, model + ": 2 model\n" + archive + ": 1 texture-archive\n" + other +
                           ": 3 point-dump\n");

    run = Kestrel({"identify", model, dir.File("missing")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, model + ": 2 model\n" + dir.File("missing") + ": 0 unreadable\n");
}

TEST(Cli, InfoSummarisesEachKind) {
    testsupport::TempDir dir;
    std::string model = dir.Write("crate.mdl", sample::WriteModel(SmallModel()));
    ExpectPrints({"info", model}, {"name:      crate\n", "(not found)", "date:      2001-07-04\n",
                                   "(-1.000, -2.000, -3.000) to (1.000, 2.000, 3.000)",
                                   " 4  Vertices                                  3\n",
                                   "animation sets: 1\n", "spin"});
    std::string archive = dir.Write("crate-", sample::WriteArchive(SmallArchive()));
    ExpectPrints({"info", model}, {"(found, 1 images)"});
    ExpectPrints({"info", archive},
                 {"texture archive, 1 images\n", "8 x 4", "format  1 Intensity8", "wrap 1/2"});
    ExpectPrints({"info", dir.Write("dump", std::vector<uint8_t>(466900, 0))},
                 {"point dump, 466900 bytes, 1 points"});
}

TEST(Cli, DumpWritesTheDataViewTextOfEveryBlock) {
    testsupport::TempDir dir;
    sample::Model m = SmallModel();
    m.TextureDefinitions = {{1, 0, 2, "planks"}, {3, 5, 4, "missing image"}};
    m.AnimationSets.push_back(m.AnimationSets[0]);
    m.AnimationSets[1].Name = "roll";
    m.AnimationSets[1].Data.List9 = {{7, 8}};
    std::vector<uint8_t> bytes = sample::WriteModel(m);
    std::string path = dir.Write("crate.mdl", bytes);
    dir.Write("crate-", sample::WriteArchive(SmallArchive()));

    ModelFile model;
    ASSERT_TRUE(model.Load(path));
    TextureFile archive;
    ASSERT_TRUE(archive.LoadBeside(path, model.Header()));
    for (size_t entry = 0; entry < dataview::kDataViewEntries.size(); ++entry) {
        int block = dataview::kDataViewEntries[entry].Block;
        std::string word = block == dataview::kHeaderBlock ? "header" : std::to_string(block);
        Said run = Kestrel({"dump", path, "--block", word});
        EXPECT_EQ(run.Status, 0) << word;
        EXPECT_EQ(run.Out, dataview::EntryText(&model, &archive, static_cast<int>(entry), 0))
            << word;
    }
    EXPECT_EQ(Kestrel({"dump", path}).Out, dataview::HeaderText(model));
    Said second = Kestrel({"dump", path, "--block=27", "--set=1"});
    EXPECT_EQ(second.Out, dataview::AnimationText(model, 1));
    EXPECT_NE(second.Out, dataview::AnimationText(model, 0));
    EXPECT_EQ(Kestrel({"dump", path, "--block", "3", "--lf"}).Out,
              "Block 3: Polygons\n" + std::string(60, '-') + "\n\n  0:    0,    3\n");
    // A set number that names no set says so instead of failing.
    ExpectPrints({"dump", path, "--block", "27", "--set", "9"}, {"No animation set 9"});

    // A truncated model still shows what it holds; missing records are zero.
    bytes.resize(440);
    ExpectPrints({"dump", dir.Write("cut.mdl", bytes), "--block", "4", "--lf"},
                 {"  2:   0.000,   0.000,   0.000\n"});
}

TEST(Cli, MakeSampleAndTexturesWriteDecodedImages) {
    testsupport::TempDir dir;
    std::string folder = dir.File("new folder/sample");
    Said run = Kestrel({"make-sample", folder});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, folder + "/kestrel-demo.model\n" + folder + "/kestrel-demo-\n" + folder +
                           "/kestrel-demo.points\n");
    EXPECT_EQ(IdentifyFile(folder + "/kestrel-demo.model"), FileKind::ModelFile);

    TextureFile archive;
    ASSERT_TRUE(archive.Load(folder + "/kestrel-demo"));
    // From the model (archive found beside it) and from the archive itself.
    for (const std::string& input : {folder + "/kestrel-demo.model", folder + "/kestrel-demo-"}) {
        std::string out = dir.File("pictures " + std::to_string(input.size()));
        run = Kestrel({"textures", input, "-o", out});
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_TRUE(Contains(run.Out, "000.png: 64 x 64, format 0 Intensity4\n")) << run.Out;
        EXPECT_TRUE(Contains(run.Out, "format 14 Compressed\n"));
        for (int32_t k = 0; k < archive.ImageCount(); ++k) {
            char name[32];
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

    // An image the archive cannot back is reported; the others are still written.
    sample::Archive hostile = SmallArchive();
    hostile.Images.push_back(hostile.Images[0]);
    hostile.Images[0].Width = 65535;
    hostile.Images[0].Height = 65535;
    run = Kestrel(
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
        Said run = Kestrel(words);
        EXPECT_EQ(run.Status, 0) << run.Err;
        RgbaPicture picture;
        std::string error;
        EXPECT_TRUE(ReadPng(out, picture, error)) << error;
        return picture;
    };
    auto lit = [](const RgbaPicture& p) {
        size_t count = 0;
        for (size_t i = 0; i < p.Pixels.size(); i += 4)
            count += p.Pixels[i] + p.Pixels[i + 1] + p.Pixels[i + 2] > 0;
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
    // Opaque as the window shows it, or with the alpha OpenGL leaves: the
    // background clears to 0, most of the model's pixels are opaque.
    for (const auto& [picture, background] :
         {std::pair{textured, 255}, {render({"--transparent"}), 0}}) {
        EXPECT_EQ(picture.Pixels[3], background);
        size_t opaque = 0;
        for (size_t i = 3; i < picture.Pixels.size(); i += 4)
            opaque += picture.Pixels[i] == 255;
        EXPECT_GT(opaque, 640u * 480 / 10);
    }
    EXPECT_EQ(Kestrel({"render", demo.PointDump, "-o", dir.File("points.png")}).Status, 0);

    // A damaged model draws what it can and never takes the command down.
    std::vector<uint8_t> bytes = sample::WriteModel(sample::DemoModel());
    for (size_t i = 432; i < bytes.size(); i += 7)
        bytes[i] ^= 0x5A;
    bytes.resize(bytes.size() / 2);
    Said run = Kestrel({"render", dir.Write("damaged.model", bytes), "-o", dir.File("d.png")});
    EXPECT_EQ(run.Status, 0) << run.Err;
}
