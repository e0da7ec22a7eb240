// Commands over whole folders: what each takes from a tree, what it writes
// where, what it says, and what an interrupted run leaves.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/Progress.h"
#include "sample/DemoScene.h"
#include "tests/cli/KestrelRun.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using testsupport::Kestrel;
using testsupport::Said;

// A dumped game: the demo twice, a cut-short model, one with nothing to
// draw, a damaged archive, point dumps, a text file, a hidden folder and a
// link to a folder, which are not walked; and models whose archives are kept
// apart, in a tree of the same shape.
fs::path DumpedGame(const testsupport::TempDir& dir) {
    const fs::path game = dir.Path() / "game";
    sample::DemoFiles demo;
    for (const fs::path& folder : {game, game / "sub", game / ".cache", dir.Path() / "elsewhere"}) {
        fs::create_directories(folder);
        EXPECT_TRUE(sample::WriteDemo(folder.string(), demo));
    }
    std::vector<uint8_t> cut = sample::WriteModel(sample::DemoModel());
    cut.resize(cut.size() * 3 / 4);
    dir.Write("game/sub/cut.model", cut);
    dir.Write("game/empty.model", sample::WriteModel({}));
    sample::Archive bad = sample::DemoArchive();
    bad.Images[0].Format = 99;
    dir.Write("game/bad-", sample::WriteArchive(bad));
    dir.Write("game/notes.txt", std::vector<uint8_t>(5, 'x'));
    fs::create_directory_symlink(dir.Path() / "elsewhere", game / "link");
    for (const char* sub : {"", "/sub"}) {
        fs::create_directories(dir.File("models") + sub);
        fs::create_directories(dir.File("archives") + sub);
        dir.Write("models" + std::string(sub) + "/kestrel-demo.model",
                  sample::WriteModel(sample::DemoModel()));
        // Its output is kestrel-demo.glb too: the first in name order keeps it.
        if (!*sub)
            dir.Write("models/kestrel-demo.mdl", sample::WriteModel(sample::DemoModel()));
        dir.Write("archives" + std::string(sub) + "/kestrel-demo-",
                  sample::WriteArchive(sample::DemoArchive()));
    }
    return game;
}

// The files under `folder`, relative.
std::set<std::string> FilesUnder(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.insert(fs::relative(entry.path(), folder).string());
    return files;
}

std::string LastLine(const std::string& text) {
    const size_t end = text.rfind('\n', text.size() - 2);
    return text.substr(end == std::string::npos ? 0 : end + 1);
}

}  // namespace

TEST(Folders, EachCommandTakesItsFilesMirrorsTheTreeAndSaysWhatBecameOfThem) {
    testsupport::TempDir dir;
    const std::string game = DumpedGame(dir).string(), out = dir.File("out");
    std::set<std::string> pictures, gltf = {"kestrel-demo.gltf", "kestrel-demo.bin", "sub/cut.gltf",
                                            "sub/kestrel-demo.gltf", "sub/kestrel-demo.bin"};
    for (char k = '0'; k < '8'; ++k) {
        // bad-'s first image is transparent
        for (const char* archive : {"kestrel-demo-/00", "sub/kestrel-demo-/00", "bad-/00"})
            pictures.insert(archive + std::string(1, k) + ".png");
        for (const char* model : {"kestrel-demo_00", "sub/kestrel-demo_00"})
            gltf.insert(model + std::string(1, k) + ".png");
    }
    const struct {
        std::vector<std::string> Words;
        int Status;
        std::string Summary;
        std::set<std::string> Written;
    } cases[] = {
        {{"export", game},
         1,
         "10 files: 3 converted, 6 skipped, 0 irregular, 1 failed\n",
         {"kestrel-demo.glb", "sub/cut.glb", "sub/kestrel-demo.glb"}},
        {{"export", game, "--format", "gltf"},
         1,
         "10 files: 3 converted, 6 skipped, 0 irregular, 1 failed\n",
         gltf},
        {{"render", game, "--size", "64x48"},
         0,
         "10 files: 4 converted, 6 skipped, 0 irregular, 0 failed\n",
         {"empty.png", "kestrel-demo.png", "sub/cut.png", "sub/kestrel-demo.png"}},
        {{"textures", game},
         1,
         "10 files: 2 converted, 7 skipped, 1 irregular, 0 failed\n",
         pictures},
        {{"check", game}, 1, "10 files: 5 ok, 3 skipped, 2 irregular, 0 failed\n", {}},
        // A file named is taken as it is: a point dump too.
        {{"render", game + "/kestrel-demo.points", game + "/notes.txt"},
         0,
         "2 files: 2 converted, 0 skipped, 0 irregular, 0 failed\n",
         {"kestrel-demo.png", "notes.png"}},
        // Archives kept apart, in a tree of the same shape, or not found.
        {{"export", dir.File("models"), "--archive", dir.File("archives")},
         1,
         "3 files: 2 converted, 0 skipped, 0 irregular, 1 failed\n",
         {"kestrel-demo.glb", "sub/kestrel-demo.glb"}},
        {{"export", dir.File("models"), "-j", "1"},
         1,
         "3 files: 0 converted, 0 skipped, 2 irregular, 1 failed\n",
         {"kestrel-demo.glb", "sub/kestrel-demo.glb"}},
        {{"export", dir.File("models"), "--no-textures"},
         1,
         "3 files: 2 converted, 0 skipped, 0 irregular, 1 failed\n",
         {"kestrel-demo.glb", "sub/kestrel-demo.glb"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Words));
        fs::remove_all(out);
        std::vector<std::string> words = c.Words;
        if (c.Words[0] != "check")
            words.insert(words.end(), {"-o", out});
        const Said run = Kestrel(words);
        EXPECT_EQ(run.Status, c.Status) << run.Err;
        EXPECT_EQ(LastLine(run.Out), c.Summary);
        EXPECT_EQ(c.Written.empty() ? c.Written : FilesUnder(out), c.Written);
    }

    // Results come in the order of the files, whatever thread ends first
    // (on as many threads as -j allows); each message names its file as it comes.
    const Said exported = Kestrel({"export", game, "-o", out, "-j", "1024"});
    EXPECT_EQ(exported.Out, out + "/kestrel-demo.glb\n" + out + "/sub/cut.glb\n" + out +
                                "/sub/kestrel-demo.glb\n" + LastLine(exported.Out));
    EXPECT_EQ(exported.Err, "kestrel export: " + game + "/empty.model holds nothing to export\n");

    // One JSON document for the whole run.
    const nlohmann::json run = nlohmann::json::parse(Kestrel({"check", "--json", game}).Out);
    ASSERT_EQ(run["files"].size(), 7u);
    EXPECT_EQ(run["files"][0]["file"], game + "/bad-");
    EXPECT_EQ(run["files"][0]["irregularities"][0]["kind"], "texel-format");
    EXPECT_EQ(run["summary"], nlohmann::json::parse(R"({"files": 10, "ok": 5, "skipped": 3,
        "irregular": 2, "failed": 0, "notStarted": 0, "interrupted": false})"));
}

TEST(Folders, CtrlCFinishesTheFilesAtWorkAndLeavesNoPartOfAnother) {
    testsupport::TempDir dir;
    sample::DemoFiles demo;
    for (int i = 0; i < 40; ++i) {
        fs::create_directories(dir.Path() / "game" / std::to_string(i));
        ASSERT_TRUE(sample::WriteDemo(dir.File("game/" + std::to_string(i)), demo));
    }
    // The program itself, its process number first; Ctrl+C once it has
    // written its first picture.
    const std::string out = dir.File("out");
    const std::string command = "echo $$; exec '" + std::string(KESTREL_BINARY) + "' render '" +
                                dir.File("game") + "' -o '" + out + "' -j 2";
    std::FILE* child = ::popen(command.c_str(), "r");
    ASSERT_NE(child, nullptr);
    char line[4096];
    ASSERT_TRUE(std::fgets(line, sizeof line, child));
    const pid_t pid = std::atoi(line);
    ASSERT_TRUE(std::fgets(line, sizeof line, child));
    ::kill(pid, SIGINT);
    std::string said = line;
    while (std::fgets(line, sizeof line, child))
        said += line;
    const int status = ::pclose(child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
    EXPECT_NE(LastLine(said).find("not started (interrupted)"), std::string::npos) << said;
    // The pictures there are whole: those it says it wrote, and nothing else.
    std::string written;
    for (const std::string& file : FilesUnder(out))
        written += out + "/" + file + "\n";
    EXPECT_EQ(written, said.substr(0, said.size() - LastLine(said).size()));
    EXPECT_LT(FilesUnder(out).size(), 40u);
}

// The line redrawn in place on a terminal: a shorter line blanks what is left
// of the longer one. (Off a terminal nothing is drawn: the runs above say so.)
TEST(Folders, ProgressLineIsRedrawnInPlace) {
    EXPECT_EQ(ProgressText("export", {120, 4000, 2, 10}),
              "kestrel export: 120 of 4000 files, 2 failed, 12.0 files/s, 5:24 left");
    EXPECT_EQ(ProgressText("check", {0, 400, 0, 10}), "kestrel check: 0 of 400 files, 0 failed");
    std::ostringstream err;
    ProgressLine line(err, true);
    line.Draw("abcdef");
    line.Draw("abc");
    line.Clear();
    EXPECT_EQ(err.str(), "\rabcdef\rabc   \r   \r");
}
