#pragma once
// One function per subcommand. Each returns an exit status; messages for the
// user go to `err`, results to `out`.

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Batch.h"
#include "cli/Cli.h"
#include "document/Document.h"
#include "export/Png.h"

// "cannot read PATH: REASON", for a document that could not be opened.
inline std::string CannotRead(const Document& document) {
    return "cannot read " + document.Path + ": " + document.Error;
}

// The loader's options for a model's archive: the file `archive`, or the
// folder where the one the model names lies; none when it is empty.
inline LoadOptions ArchiveOptions(const std::string& archive, bool folder) {
    LoadOptions options;
    (folder ? options.ArchiveFolder : options.ArchivePath) = archive;
    return options;
}
// The same as the words name it (--archive FILE or --archive FOLDER).
LoadOptions ArchiveOptions(const Args& args);
inline LoadOptions ArchiveOptions(const BatchFile& file) {
    return ArchiveOptions(file.Archive, file.ArchiveIsFolder);
}

// The exit status of one file done alone: an irregular file exits with 1
// when `irregularFails`.
inline int StatusOf(Outcome outcome, bool irregularFails = false) {
    return outcome == Outcome::Failed || (irregularFails && outcome == Outcome::Irregular)
               ? kExitFile
               : kExitOk;
}

// What a folder gives each command: models, archives, or both (check); any
// other file there would be read as a point dump.
inline bool IsModel(FileKind kind) {
    return kind == FileKind::ModelFile;
}
inline bool IsArchive(FileKind kind) {
    return kind == FileKind::TextureArchive;
}
inline bool IsCheckable(FileKind kind) {
    return IsModel(kind) || IsArchive(kind);
}

// Says on `err` what keeps a model from its archive, if anything does; true
// when something does.
bool TellArchiveProblem(const Document& document, const char* command, std::ostream& err);

// False, saying why on `err`, when `document` is nothing `command` draws:
// unreadable, or a texture archive, which only a model shows.
bool Drawable(const Document& document, const char* command, std::ostream& err);

// The frame as the viewer's window shows it: the current read buffer of the
// current GL context, opaque; or, not `opaque`, with the alpha OpenGL left.
RgbaPicture ShownFrame(int width, int height, bool opaque = true);

// The kept lines of one kind of irregularity, each after `prefix`, then how
// many more of the kind there were: how check tells what it found.
void PrintIrregularityKind(const std::string& prefix, const std::string& kind, size_t count,
                           const std::vector<std::string>& lines, std::ostream& out);

// The blocks `dump --block` takes besides header, as a list of numbers.
std::string DumpableBlocks();

int Identify(const Args& args, std::ostream& out, std::ostream& err);
int Info(const Args& args, std::ostream& out, std::ostream& err);
int Check(const Args& args, std::ostream& out, std::ostream& err);
int Dump(const Args& args, std::ostream& out, std::ostream& err);
int Textures(const Args& args, std::ostream& out, std::ostream& err);
int Pack(const Args& args, std::ostream& out, std::ostream& err);
int Render(const Args& args, std::ostream& out, std::ostream& err);
int Export(const Args& args, std::ostream& out, std::ostream& err);
int MakeSample(const Args& args, std::ostream& out, std::ostream& err);
int View(const Args& args, std::ostream& out, std::ostream& err);
