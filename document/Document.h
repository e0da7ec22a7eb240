#pragma once
// One way in: a path opened once and read as what it is. Every program and
// command starts here, so the viewer, the command line, the export, the check
// and the fuzzers agree on what a file is and what comes with it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/FileKind.h"
#include "model/ModelFile.h"
#include "texture/TextureFile.h"

class ByteSource;
class Irregularities;

// A point dump is the whole file as little-endian floats; its points are the
// whole x, y, z triples from word kFirstPointWord on.
inline constexpr size_t kFirstPointWord = 116722;
constexpr uint64_t PointCount(uint64_t words) {
    return words > kFirstPointWord ? (words - kFirstPointWord) / 3 : 0;
}
// The floats of a point dump's `words` that are points, three to a point.
inline std::span<const float> PointFloats(std::span<const float> words) {
    const uint64_t count = PointCount(words.size());
    return count ? words.subspan(kFirstPointWord, static_cast<size_t>(3 * count))
                 : std::span<const float>();
}

// What became of the texture archive a model names.
enum class ArchiveState {
    NotAsked,    // not looked for: the document is no model, or it was not wanted
    Loaded,      // found and read
    NotFound,    // no file of that name where it was looked for
    Refused,     // the stored name has a folder in it, or names no file here
    Unreadable,  // there, but cannot be read (a folder, a device, no permission,
                 // or it shrank while it was read)
};

struct LoadOptions {
    // The model's archive, when it is not the one beside the model; the name
    // is taken as it is (no hyphen appended).
    std::string ArchivePath;
    // Else the folder where the archive the model names is looked for,
    // instead of the model's own.
    std::string ArchiveFolder;
    // Read the archive a model names.
    bool ModelArchive = true;
    // Read the words of a point dump (false: its size is enough).
    bool Points = true;
    // Told what the readers skip, and of an archive that a model names and
    // that cannot be read.
    Irregularities* Report = nullptr;
    // Told what the archive's reader skips, when Report is not given: the
    // images alone, whatever the model around them holds.
    Irregularities* ArchiveReport = nullptr;
    // Read the file as this kind, whatever its first words say (the fuzzers
    // read any bytes as a model).
    std::optional<FileKind> ReadAs;
    // Keep the file's bytes as read (pack rewrites an archive from them).
    bool KeepBytes = false;
};

struct Document {
    std::string Path;
    // Unreadable when the path could not be read; Error then says why.
    FileKind Kind = FileKind::Unreadable;
    std::string Error;
    // Unreadable because this machine cannot hold what the file asks for.
    bool TooLarge = false;
    uint64_t FileSize = 0;
    // Kind ModelFile: the model.
    ModelFile Model;
    // Kind ModelFile: the model's archive, when ArchiveState is Loaded; kind
    // TextureArchive: the file itself. FileName says what was looked for.
    TextureFile Archive;
    ArchiveState Archived = ArchiveState::NotAsked;
    // Why the archive could not be opened, when it is Unreadable.
    std::string ArchiveError;
    // Kind PointDump: the file's floats, when asked for.
    std::vector<float> Points;
    // The whole file, when asked for (LoadOptions::KeepBytes).
    std::vector<uint8_t> Bytes;

    bool HasArchive() const {
        return Kind == FileKind::TextureArchive || Archived == ArchiveState::Loaded;
    }
};

// What keeps the model from its archive, naming the file looked for: empty
// when it has its archive, was not asked for it, or has nothing to texture.
std::string ArchiveProblem(const Document& document);

Document LoadDocument(const std::string& path, const LoadOptions& options = {});
// The same from bytes at hand (tests, fuzzing): `archive`, when given, is the
// model's archive.
Document LoadDocumentFrom(ByteSource& file, ByteSource* archive, const LoadOptions& options = {});
// Reads `source` whole as little-endian floats; a short read leaves zeros.
std::vector<float> ReadPointWords(ByteSource& source);
