#include <gtest/gtest.h>

#include "sample/ArchiveWriter.h"
#include "sample/ModelWriter.h"
#include "tests/cli/RunKestrel.h"
#include "tests/support/TempDir.h"

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
    for (const char* command : {"identify", "info"}) {
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
