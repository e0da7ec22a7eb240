#pragma once
// A command over whole folders: every PATH named and every file found in a
// folder named, walked in a sorted order so that runs repeat; each file done
// on its own on N threads, its results printed in the order of the files and
// its messages as it ends; a progress line on a terminal; a summary at the
// end. A file that fails never stops the run. Ctrl+C stops taking files: those
// at work are finished (every output is written whole or not at all).

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "model/FileKind.h"

struct Args;

// What became of one file.
enum class Outcome {
    Done,       // converted, or checked and sound
    Skipped,    // found in a folder, and nothing the command takes
    Irregular,  // done, with something wrong in the file told
    Failed,     // nothing done: why is told (the last)
};

// One file of a run.
struct BatchFile {
    std::string Path;  // UTF-8, as the run reaches it: PATH, or PATH/sub/x.model
    // Where its output goes: OUT/sub/x.glb for PATH/sub/x.model, OUT/x.glb for
    // a file named; a folder for `textures`. Empty when the command writes none.
    std::string Target;
    // --archive for it: the file named, or the folder named with the file's
    // own folder under its PATH (FOLDER/sub); empty without --archive.
    std::string Archive;
    bool ArchiveIsFolder = false;
    bool Named = false;  // named on the command line, not found in a folder
};

// Exit status of a run interrupted by Ctrl+C, as a shell gives it.
inline constexpr int kExitInterrupted = 130;

struct BatchCommand {
    const char* Name = "";  // "export"
    // What the command takes from a folder: models, archives.
    bool (*Takes)(FileKind kind) = nullptr;
    // What a target ends in: ".glb", ".png"; empty: the target is a folder
    // named as the file (`textures`). Without `Writes`, no target at all.
    bool Writes = true;
    std::string Extension = "";
    const char* DoneWord = "converted";  // in the summary: "12 converted"
    // An irregular file makes the run exit with 1, as it does alone.
    bool IrregularFails = false;
    // One JSON document for the run: each file's result is its JSON object.
    bool Json = false;
    // Does one file: results to `out`, messages (each line "kestrel NAME: ...")
    // to `err`. Runs on the worker threads, each on files of its own.
    std::function<Outcome(const BatchFile& file, std::ostream& out, std::ostream& err)> Run = {};
};

// True when the words name a run over folders rather than what the command
// does alone: a PATH that is a folder, or several PATHs for a command that
// takes one file alone.
bool IsBatch(const Args& args, bool oneFileAlone);

// Runs `command` over the PATHs of `args` (-o OUT, -j N, --quiet, --archive).
// Exits 0, 1 when a file failed (or was irregular, for IrregularFails), 2 for
// wrong usage, 130 when interrupted.
int RunBatch(const Args& args, const BatchCommand& command, std::ostream& out, std::ostream& err);

// Each line of `text` after `prefix`: the lines of one file among those of a run.
std::string Prefixed(const std::string& text, const std::string& prefix);
