#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "cli/TerminalText.h"
#include "dataview/DataText.h"
#include "export/Png.h"
#include "model/ByteSource.h"
#include "model/ModelFile.h"
#include "sample/ArchiveWriter.h"
#include "sample/DemoScene.h"
#include "sample/ModelWriter.h"
#include "tests/cli/KestrelRun.h"
#include "tests/support/TempDir.h"
#include "texture/TextureFile.h"

namespace {

using testsupport::Kestrel;
using testsupport::Said;

// A PNG file as 8-bit RGBA, top row first.
RgbaPicture ReadPng(const std::string& path) {
    RgbaPicture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str())) {
        image.format = PNG_FORMAT_RGBA;
        picture.Width = static_cast<int>(image.width);
        picture.Height = static_cast<int>(image.height);
        picture.Pixels.assign(PNG_IMAGE_SIZE(image), 0);
        if (!png_image_finish_read(&image, nullptr, picture.Pixels.data(), 0, nullptr))
            picture = {};
    }
    png_image_free(&image);
    EXPECT_FALSE(picture.Pixels.empty()) << "cannot read " << path;
    return picture;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (FileSource file; file.Open(path)) {
        bytes.resize(file.Size());
        bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
    }
    return bytes;
}

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

TEST(Cli, HelpAndWrongUsageExitWithTwoAndUnusableFilesWithOne) {
    Said help = Kestrel({"--help"});
    EXPECT_EQ(help.Status, 0);
    for (const char* command : {"identify", "info", "check", "dump", "textures", "pack", "render",
                                "export", "make-sample", "view"}) {
        EXPECT_TRUE(Contains(help.Out, command)) << command;
        EXPECT_TRUE(
            Contains(Kestrel({command, "--help"}).Out, std::string("usage: kestrel ") + command));
        EXPECT_EQ(Kestrel({"help", command}).Out, Kestrel({command, "--help"}).Out);
    }
    // "kestrel 2.0\n": the name, then the version's digits and dots.
    const std::string version = Kestrel({"--version"}).Out;
    EXPECT_EQ(version.rfind("kestrel ", 0), 0u) << version;
    EXPECT_GT(version.size(), 9u) << version;
    EXPECT_EQ(version.find_first_not_of("0123456789.", 8), version.size() - 1) << version;

    testsupport::TempDir dir;
    sample::DemoFiles demo;
    ASSERT_TRUE(sample::WriteDemo(dir.File(""), demo));
    // Its texture archive, crate-, is not there.
    const std::string lonely = dir.Write("crate.mdl", sample::WriteModel(SmallModel()));
    const std::string missing = dir.File("missing");
    const std::string png = dir.File("out.png");
    sample::Archive unusable = SmallArchive();
    unusable.Images[0].Width = unusable.Images[0].Height = 65535;
    const std::string nothing = dir.Write("nothing-", sample::WriteArchive(unusable));
    sample::Model named = SmallModel();
    named.TextureName = "x/y";
    const std::string slash = dir.Write("slash.mdl", sample::WriteModel(named));
    // Archives kept in a folder of their own: there, crate- is a folder.
    const std::string held = dir.File("held");
    std::filesystem::create_directories(held + "/crate-");
    struct Case {
        std::vector<std::string> Words;
        int Status;
        std::string Err;
    };
    std::vector<Case> cases = {
        {{}, 2, "usage"},
        {{"paint"}, 2, "unknown command 'paint'"},
        {{"help", "paint"}, 2, "unknown command 'paint'"},
        {{"identify"}, 2, "wrong number of arguments"},
        {{"info", "a", "b"}, 2, "wrong number of arguments"},
        {{"render", demo.Model, demo.Model, "-o", png}, 2, "-o FOLDER, not " + png},
        {{"info", "--bogus", "a"}, 2, "unknown option --bogus"},
        {{"dump", lonely, "--set", "two"}, 2, "the set must be a number"},
        {{"dump", lonely, "--block"}, 2, "--block needs a value"},
        {{"textures", demo.Archive}, 2, "-o DIR"},
        {{"pack", demo.Archive, dir.File("")}, 2, "-o NEW_ARCHIVE"},
        {{"pack", demo.Archive, "-o", png}, 2, "wrong number of arguments"},
        {{"render", demo.Model, "-o", png, "--size", "0x10"}, 2, "--size wants WxH"},
        {{"render", demo.Model, "-o", png, "--size", "big"}, 2, "--size wants WxH"},
        {{"render", demo.Model, "-o", png, "--pan", "1"}, 2, "--pan wants X,Y"},
        {{"render", demo.Model, "-o", png, "--zoom", "near"}, 2, "--zoom wants a number"},
        {{"render", demo.Model, "-o", png, "--rotate", "1,x"}, 2, "--rotate wants X,Y"},
        {{"render", demo.Model, "-o", png, "--rotate", "nan,inf"}, 2, "--rotate wants X,Y"},
        {{"render", demo.Model, "-o", png, "--zoom", "-inf"}, 2, "--zoom wants a number"},
        {{"render", demo.Model, "-o", dir.File("a.jpg")}, 2, "a.jpg must end in .png"},
        {{"info", missing}, 1, "cannot read " + missing + ": No such file or directory"},
        {{"dump", dir.File("")}, 1, "Is a directory"},
        {{"dump", missing}, 1, "cannot read"},
        {{"dump", demo.Archive}, 1, "is not a model file"},
        {{"textures", demo.PointDump, "-o", dir.File("x")}, 1, "neither a model nor a texture"},
        {{"textures", lonely, "-o", dir.File("y")},
         1,
         "archive " + dir.File("crate-") + " not found"},
        {{"textures", lonely, "--archive", held, "-o", dir.File("y")},
         1,
         "archive " + held + "/crate- cannot be opened: Is a directory"},
        {{"textures", slash, "-o", dir.File("y")}, 1, "texture name 'x/y' refused"},
        {{"render", demo.Archive, "-o", png}, 1, "is a texture archive"},
        {{"render", missing, "-o", png}, 1, "cannot read"},
        {{"view", missing}, 1, "cannot read " + missing + ": No such file or directory"},
        {{"view", demo.Archive}, 1, "is a texture archive; view the model"},
        {{"render", demo.Model, "-o", demo.Model + "/x.png"}, 1, "Not a directory"},
        {{"textures", nothing, "-o", dir.File("unmade")}, 1, "more than the archive can back"},
        {{"export", demo.Model}, 2, "-o OUT.glb"},
        {{"export", demo.Model, "-o", dir.File("x.obj")}, 2, "must end in .glb or .gltf"},
        {{"export", demo.Model, "-o", dir.File("x.glb"), "--format", "gltf"}, 2, "end in .gltf"},
        {{"export", demo.Model, "-o", dir.File("x.glb"), "--format", "obj"}, 2, "glb or gltf"},
        {{"render", dir.File(""), "-o", png + "s", "-j", "0"}, 2, "-j wants"},
        {{"export", missing, "-o", dir.File("x.glb")}, 1, "cannot read"},
        {{"export", demo.Archive, "-o", dir.File("x.glb")}, 1, "is a texture archive"},
        {{"export", dir.Write("short", std::vector<uint8_t>(5, 1)), "-o", dir.File("x.glb")},
         1,
         "short holds nothing to export"},
        {{"export", demo.Model, "-o", demo.Model + "/x.glb"}, 1, "cannot write"},
        // All or nothing: its buffer cannot take its name, so nothing is left.
        {{"export", demo.Model, "-o", dir.File("taken.gltf")}, 1, "cannot write"},
    };
    std::filesystem::create_directory(dir.File("taken.bin"));
    cases.push_back(
        {{"dump", lonely, "--block", "9"}, 2, "block 9 (Color Order) has no text form"});
    for (const char* block : {"1", "28", "0", "x", "-1", "", "4294967299"})
        cases.push_back({{"dump", lonely, "--block", block}, 2, "unknown block"});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Words));
        Said run = Kestrel(c.Words);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_TRUE(Contains(run.Err, c.Err)) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
    // Output that does not arrive is a failure, whatever the command found.
    for (const char* command : {"identify", "info", "dump"}) {
        std::ostream nowhere(nullptr);
        std::ostringstream err;
        EXPECT_EQ(RunKestrel({command, demo.Model}, nowhere, err), 1);
        EXPECT_TRUE(Contains(err.str(), "cannot write to standard output")) << command;
    }
    // The program itself: a picture over the file size limit is reported, not
    // a signal, and nothing half written is left, under its name or another.
    const std::string command = "ulimit -f 1; '" + std::string(KESTREL_BINARY) + "' render '" +
                                demo.Model + "' -o '" + png + "' 2>/dev/null";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << raw;
    for (const char* name : {"out.png", "unmade", "x.glb", "taken.gltf", "taken_000.png"})
        EXPECT_FALSE(std::filesystem::exists(dir.Path() / name)) << name;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

TEST(Cli, NamesReachATerminalAsText) {
    // Controls that would drive a terminal are shown escaped; text, tabs, line
    // ends and every UTF-8 character pass, however the writes split them.
    const struct {
        std::string In, Out;
    } cases[] = {
        {"a\x1B[2Jb\x07", "a\\x1B[2Jb\\x07"},
        {"tab\tline\r\n\x7F", "tab\tline\r\n\\x7F"},
        {"\xC2\x9B"
         "1m \xC2\xA0 \x9B",
         "\\u009B1m \xC2\xA0 \\x9B"},
        {"Mod\xC3\xA8le \xE6\xA8\xA1 \xF0\x9F\x99\x82 \xC2",
         "Mod\xC3\xA8le \xE6\xA8\xA1 \xF0\x9F\x99\x82 \xC2"},
    };
    for (const auto& c : cases) {
        for (size_t split = 0; split <= c.In.size(); ++split) {
            std::ostringstream shown;
            {
                TerminalTextBuffer buffer(shown.rdbuf());
                std::ostream out(&buffer);
                out << c.In.substr(0, split) << c.In.substr(split);
            }
            EXPECT_EQ(shown.str(), c.Out) << "split at " << split;
        }
    }
}

TEST(Cli, IdentifyInfoAndDumpPrintWhatTheFileHolds) {
    testsupport::TempDir dir;
    const std::string model = dir.Write("crate.mdl", sample::WriteModel(SmallModel()));
    const std::string other = dir.Write("points.bin", std::vector<uint8_t>(466900, 0));
    Said run = Kestrel({"identify", model, other, dir.File("missing")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, model + ": 2 model\n" + other + ": 3 point-dump\n" + dir.File("missing") +
                           ": 0 unreadable\n");

    const auto prints = [](const std::vector<std::string>& words,
                           const std::vector<std::string>& parts) {
        const Said said = Kestrel(words);
        EXPECT_EQ(said.Status, 0) << said.Err;
        for (const std::string& part : parts)
            EXPECT_TRUE(Contains(said.Out, part)) << part << " not in:\n" << said.Out;
    };
    prints({"info", model}, {"name:      crate\n", "(not found)", "date:      2001-07-04\n",
                             "(-1.000, -2.000, -3.000) to (1.000, 2.000, 3.000)",
                             " 4  Vertices                                  3\n", " 0  (no text)\n",
                             "animation sets: 1\n", "spin"});
    const std::string archive = dir.Write("crate-", sample::WriteArchive(SmallArchive()));
    prints({"info", model}, {"(found, 1 image)"});
    prints({"info", archive},
           {"texture archive, 1 image\n", "8 x 4", "format  1 Intensity8", "wrap 1/2"});
    prints({"info", other}, {"point dump, 466900 bytes, 1 point"});

    // dump writes the Data View's own text.
    ModelFile loaded;
    ASSERT_TRUE(loaded.Load(model));
    EXPECT_EQ(Kestrel({"dump", model}).Out, dataview::HeaderText(loaded));
    const Said firstSet = Kestrel({"dump", model, "--block=27", "--set=0"});
    EXPECT_EQ(firstSet.Status, 0);
    EXPECT_EQ(firstSet.Out, dataview::AnimationText(loaded, 0));
    EXPECT_EQ(Kestrel({"dump", model, "--block", "3", "--lf"}).Out,
              "Block 3: Polygons\n" + std::string(60, '-') + "\n\n  0:    0,    3\n");
    const Said noSet = Kestrel({"dump", model, "--block", "27", "--set", "9"});
    EXPECT_EQ(noSet.Status, 1);
    EXPECT_TRUE(Contains(noSet.Out, "No animation set 9")) << noSet.Out;
}

TEST(Cli, MakeSampleAndTexturesWriteDecodedImages) {
    testsupport::TempDir dir;
    const std::string folder = dir.File("new folder/sample");
    Said run = Kestrel({"make-sample", folder});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, folder + "/kestrel-demo.model\n" + folder + "/kestrel-demo-\n" + folder +
                           "/kestrel-demo.points\n");

    TextureFile archive;
    ASSERT_TRUE(archive.Load(folder + "/kestrel-demo"));
    // From the model (archive found beside it) and from the archive itself.
    for (const std::string& input : {folder + "/kestrel-demo.model", folder + "/kestrel-demo-"}) {
        const std::string out = dir.File("pictures " + std::to_string(input.size()));
        run = Kestrel({"textures", input, "-o", out});
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_TRUE(Contains(run.Out, "000.png: 64 x 64, format 0 Intensity4\n")) << run.Out;
        for (int32_t k = 0; k < archive.ImageCount(); ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "/%03d.png", k);
            const RgbaPicture picture = ReadPng(out + name);
            const std::vector<RgbaColor> texels = archive.DecodeImage(k);
            ASSERT_EQ(picture.Pixels.size(), texels.size() * 4);
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
    EXPECT_TRUE(Contains(run.Err, "image 0: 65535 x 65535 texels, more than the archive can back"));
    EXPECT_EQ(run.Out, "001.png: 8 x 4, format 1 Intensity8\n");

    // With --levels, also the smaller levels stored after the first.
    sample::Archive levels = SmallArchive();
    levels.Images[0].Texels.resize(3 * 32, 0x40);
    run = Kestrel({"textures", dir.Write("levels-", sample::WriteArchive(levels)), "-o",
                   dir.File("levels"), "--levels"});
    EXPECT_EQ(run.Out,
              "000.png: 8 x 4, format 1 Intensity8\n000-level1.png: 4 x 2, format 1 Intensity8\n"
              "000-level2.png: 2 x 1, format 1 Intensity8\n");
    EXPECT_EQ(ReadPng(dir.File("levels/000-level2.png")).Pixels,
              (std::vector<uint8_t>{0x40, 0x40, 0x40, 255, 0x40, 0x40, 0x40, 255}));
    // pack takes edited levels back, and says which.
    const std::vector<uint8_t> grey(4 * 8, 200);
    dir.Write("levels/000-level1.png", PngBytes(4, 2, grey.data()));
    dir.Write("levels/000-level2.png", PngBytes(2, 1, grey.data()));
    run = Kestrel({"pack", dir.File("levels-"), dir.File("levels"), "-o", dir.File("new-")});
    EXPECT_TRUE(Contains(run.Out, "000.png: first level kept, levels 1 and 2 replaced\n"))
        << run.Out;
}

TEST(Cli, PackRebuildsAnArchiveFromTexturesPicturesOrWritesNothing) {
    testsupport::TempDir dir;
    sample::DemoFiles demo;
    ASSERT_TRUE(sample::WriteDemo(dir.File(""), demo));
    const std::string pictures = dir.File("pictures"), packed = dir.File("packed-");
    ASSERT_EQ(Kestrel({"textures", demo.Archive, "-o", pictures, "--levels"}).Status, 0);
    Said run = Kestrel({"pack", demo.Archive, pictures, "-o", packed});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(Contains(run.Out, "007.png: kept, the same as the archive's\n")) << run.Out;
    EXPECT_EQ(ReadAll(packed), ReadAll(demo.Archive));

    // One picture edited: that image alone is stored anew, and check finds nothing.
    const auto png = [](int width, int height) {
        return PngBytes(width, height,
                        std::vector<uint8_t>(size_t(width * height * 4), 200).data());
    };
    dir.Write("pictures/004.png", png(64, 64));
    std::filesystem::remove(pictures + "/001.png");
    run = Kestrel({"pack", demo.Archive, pictures, "-o", packed});
    ASSERT_EQ(run.Status, 0) << run.Err;
    for (const char* line : {"001.png: kept, no picture\n", "004.png: replaced, 64 x 64 Rgb565\n"})
        EXPECT_TRUE(Contains(run.Out, line)) << run.Out;
    EXPECT_TRUE(Contains(run.Out, packed + ": 8 images, 1 replaced, 7 kept\n")) << run.Out;
    EXPECT_EQ(Kestrel({"check", packed}).Status, 0);

    // Refused, saying which picture and why, and nothing written. Images:
    // 0 sound, 1 of an unknown format, 2 short of its texels, 3 with a level
    // and then 5 bytes; and an archive whose image 0 shares its texels.
    sample::Archive odd = SmallArchive();
    odd.Images.resize(4, odd.Images[0]);
    odd.Images[1].Format = 9;
    odd.Images[2].Height = 8;
    odd.Images[2].Texels.resize(40);
    odd.Images[3].Texels.resize(32 + 32 + 5);
    const std::string oddArchive = dir.Write("odd-", sample::WriteArchive(odd));
    sample::Archive shared = SmallArchive();
    shared.Images.resize(3, shared.Images[0]);
    shared.Images[1].TexelOffset = 144 + 64;
    shared.Images[2].TexelOffset = 144 + 32;
    const std::string sharedArchive = dir.Write("shared-", sample::WriteArchive(shared));
    std::vector<uint8_t> damaged = png(8, 4);
    damaged.resize(damaged.size() - 20);
    const struct {
        std::string Archive, Picture;
        std::vector<uint8_t> Png;
        std::string Err;
    } refusals[] = {
        {oddArchive, "000.png", png(2, 2), "000.png: 2 x 2 pixels, not 8 x 4; nothing written"},
        {oddArchive, "000.png", damaged, "000.png: damaged PNG file"},
        {oddArchive, "000.png", {'G', 'I', 'F'}, "000.png: not a PNG file"},
        {oddArchive, "042.png", png(8, 4), "042.png: the archive has no image 42"},
        {oddArchive, "000-level1.png", png(4, 2), "image 0 stores no level 1"},
        {oddArchive, "001.png", png(8, 4), "image 1 is in texel format 9, which has no encoder"},
        {oddArchive, "002.png", png(8, 8), "image 2 holds 40 of the 64 bytes of its first level"},
        {oddArchive, "003-level1.png", png(4, 2),
         "the 37 bytes after the first level of image 3 are no whole smaller levels"},
        {sharedArchive, "000.png", png(8, 4), "shares bytes with another image's"},
        {demo.Model, "000.png", png(8, 4), "is not a texture archive; its textures are in"},
    };
    for (size_t i = 0; i < std::size(refusals); ++i) {
        const auto& c = refusals[i];
        SCOPED_TRACE(c.Picture + ": " + c.Err);
        const std::string folder = "refused" + std::to_string(i);
        std::filesystem::create_directory(dir.File(folder));
        dir.Write(folder + "/" + c.Picture, c.Png);
        run = Kestrel({"pack", c.Archive, dir.File(folder), "-o", dir.File("refused-")});
        EXPECT_EQ(run.Status, 1);
        EXPECT_TRUE(Contains(run.Err, c.Err)) << run.Err;
        EXPECT_EQ(run.Out, "");
        EXPECT_FALSE(std::filesystem::exists(dir.File("refused-")));
    }
    run = Kestrel({"pack", oddArchive, dir.File("missing"), "-o", dir.File("refused-")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Err, "cannot read the folder " + dir.File("missing"))) << run.Err;
}

TEST(Cli, RenderWritesTheFrameAtItsSizeOpaqueOrWithItsAlpha) {
    testsupport::TempDir dir;
    sample::DemoFiles demo;
    ASSERT_TRUE(sample::WriteDemo(dir.File(""), demo));
    const auto render = [&](std::vector<std::string> options) {
        const std::string out = dir.File("frame" + std::to_string(options.size()) + ".png");
        std::vector<std::string> words = {"render", demo.Model, "-o", out, "--no-axes"};
        words.insert(words.end(), options.begin(), options.end());
        const Said run = Kestrel(words);
        EXPECT_EQ(run.Status, 0) << run.Err;
        return ReadPng(out);
    };
    const auto count = [](const RgbaPicture& p, auto&& pixel) {
        size_t n = 0;
        for (size_t i = 0; i < p.Pixels.size(); i += 4)
            n += pixel(&p.Pixels[i]);
        return n;
    };
    const auto lit = [](const uint8_t* p) { return p[0] + p[1] + p[2] > 0; };
    const auto opaque = [](const uint8_t* p) { return p[3] == 255; };

    const RgbaPicture frame = render({});
    ASSERT_EQ(frame.Width, 640);
    ASSERT_EQ(frame.Height, 480);
    EXPECT_GT(count(frame, lit), 640u * 480 / 10);  // the model fills a good part of it
    EXPECT_EQ(count(frame, opaque), 640u * 480);
    // With the alpha OpenGL leaves: the background clears to 0, the model is opaque.
    const RgbaPicture clear = render({"--transparent"});
    EXPECT_EQ(clear.Pixels[3], 0);
    EXPECT_GT(count(clear, opaque), 640u * 480 / 10);

    const RgbaPicture small = render({"--size", "320x240", "--pan", "0,-2", "--rotate", "10,20"});
    EXPECT_EQ(small.Width, 320);
    EXPECT_EQ(small.Height, 240);
    EXPECT_EQ(count(render({"--zoom", "-700"}), lit), 0u);  // beyond the far plane
    // Fitted, turned, from wherever the camera was.
    EXPECT_GT(count(render({"--zoom", "-700", "--rotate", "30,40", "--fit"}), lit), 640u * 480 / 8);
    EXPECT_EQ(Kestrel({"render", demo.PointDump, "-o", dir.File("points.png")}).Status, 0);
}
