#include "document/Document.h"

#include <filesystem>

#include "model/ByteSource.h"
#include "model/Irregularities.h"
#include "model/ReadBudget.h"
#include "model/Text.h"
#include "model/Utf8Path.h"
#include "model/ValueCheck.h"

namespace {

// What a point dump holds that no dump of points would: bytes after the last
// whole point, and coordinates no model holds.
void CheckPoints(const Document& document, Irregularities& report) {
    const uint64_t points = PointCount(document.FileSize / 4);
    const uint64_t used = 4 * (kFirstPointWord + 3 * points);
    if (points > 0 && document.FileSize > used)
        report.Add("trailing-bytes", Counted(document.FileSize - used, "byte") +
                                         " after the last whole point (a point is 12 bytes)");
    CheckPointValues(PointFloats(document.Points), report);
}

Irregularities* ArchiveReport(const LoadOptions& options) {
    return options.Report ? options.Report : options.ArchiveReport;
}

// Reads what the bytes are; a model's archive is left to the caller.
void ReadContents(Document& document, ByteSource& source, const LoadOptions& options) {
    document.FileSize = source.Size();
    document.Kind = options.ReadAs.value_or(IdentifyBytes(source));
    switch (document.Kind) {
        case FileKind::ModelFile:
            document.Model.SetPath(document.Path);
            document.Model.LoadFrom(source, options.Report);
            if (options.Report)
                CheckValues(document.Model, *options.Report);
            break;
        case FileKind::TextureArchive:
            document.Archive.FileName = document.Path;
            document.Archive.LoadFrom(source, ArchiveReport(options));
            break;
        case FileKind::PointDump:
            if (options.Points || options.Report)
                document.Points = ReadPointWords(source);
            if (options.Report)
                CheckPoints(document, *options.Report);
            break;
        case FileKind::Unreadable:
            break;
    }
}

bool WantsArchive(const Document& document, const LoadOptions& options) {
    return document.Kind == FileKind::ModelFile && options.ModelArchive;
}

// An archive the model names and the document lacks is drawn untextured: the
// check says so when the model has anything to texture.
void TellMissingArchive(const Document& document, Irregularities* report) {
    if (const std::string problem = ArchiveProblem(document); report && !problem.empty())
        report->Add("archive-missing", problem);
}

}  // namespace

std::string ArchiveProblem(const Document& document) {
    const ModelFile& model = document.Model;
    const std::string name = FieldText(model.Header().TextureName);
    if (document.Kind != FileKind::ModelFile ||
        (name.empty() && model.TextureDefinitions().empty()))
        return {};
    const std::string archive = "texture archive " + document.Archive.FileName;
    switch (document.Archived) {
        case ArchiveState::NotAsked:
        case ArchiveState::Loaded:
            break;
        case ArchiveState::NotFound:
            return archive + " not found";
        case ArchiveState::Unreadable:
            return archive + " cannot be opened: " + document.ArchiveError;
        case ArchiveState::Refused:
            return "texture name '" + name + "' refused: it is no plain file name beside the model";
    }
    return {};
}

std::vector<float> ReadPointWords(ByteSource& source) {
    std::vector<float> words;
    AssignZeros(words, source.Size() / 4);
    source.ReadAt(0, words.data(), words.size() * 4);
    return words;
}

namespace {

Document Load(const std::string& path, const LoadOptions& options) {
    Document document;
    document.Path = path;
    {
        FileSource file;
        if (!file.Open(path)) {
            document.Error = file.Error();
            return document;
        }
        if (options.KeepBytes) {
            AssignZeros(document.Bytes, file.Size());
            document.Bytes.resize(file.ReadAt(0, document.Bytes.data(), document.Bytes.size()));
            MemorySource kept(document.Bytes);
            ReadContents(document, kept, options);
        } else {
            // The blocks are read in bulk; the animation sets, thousands of
            // small reads all over the file, through a window.
            WindowedSource windowed(file);
            ReadContents(document, windowed, options);
        }
        // Zeros in place of what was not there are no reading of the file.
        if (file.Shrank()) {
            Document shrank;
            shrank.Path = path;
            shrank.Error = file.Error();
            return shrank;
        }
    }
    if (!WantsArchive(document, options))
        return document;

    std::string archivePath = options.ArchivePath;
    if (archivePath.empty()) {
        const ModelHeader& header = document.Model.Header();
        const std::optional<std::string> beside = options.ArchiveFolder.empty()
                                                      ? ArchivePathBeside(path, header)
                                                      : ArchivePathIn(options.ArchiveFolder, header);
        if (!beside) {
            document.Archive.FileName = ArchiveName(header);
            document.Archived = ArchiveState::Refused;
            TellMissingArchive(document, options.Report);
            return document;
        }
        archivePath = *beside;
    }
    document.Archive.FileName = archivePath;
    FileSource archive;
    if (archive.Open(archivePath)) {
        document.Archive.LoadFrom(archive, ArchiveReport(options));
        document.Archived = ArchiveState::Loaded;
    }
    if (archive.Shrank()) {
        document.Archive = TextureFile();
        document.Archive.FileName = archivePath;
        document.ArchiveError = archive.Error();
        document.Archived = ArchiveState::Unreadable;
        TellMissingArchive(document, options.Report);
    } else if (!archive.IsOpen()) {
        document.ArchiveError = archive.Error();
        std::error_code error;
        document.Archived = std::filesystem::exists(PathFromUtf8(archivePath), error)
                                ? ArchiveState::Unreadable
                                : ArchiveState::NotFound;
        TellMissingArchive(document, options.Report);
    }
    return document;
}

}  // namespace

// A file this machine cannot hold is one that cannot be read, and says so;
// nothing of it is kept.
Document LoadDocument(const std::string& path, const LoadOptions& options) {
    try {
        return Load(path, options);
    } catch (const std::bad_alloc& failure) {
        Document document;
        document.Path = path;
        document.TooLarge = true;
        document.Error = "too large to hold in memory";
        if (const auto* large = dynamic_cast<const TooLargeToHold*>(&failure))
            document.Error += " (" + Counted(large->Bytes, "byte") + " asked for at once)";
        return document;
    }
}

Document LoadDocumentFrom(ByteSource& file, ByteSource* archive, const LoadOptions& options) {
    Document document;
    ReadContents(document, file, options);
    if (!WantsArchive(document, options))
        return document;
    if (archive) {
        document.Archive.LoadFrom(*archive, ArchiveReport(options));
        document.Archived = ArchiveState::Loaded;
    } else {
        document.Archive.FileName = ArchiveName(document.Model.Header());
        document.Archived = ArchiveState::NotFound;
        TellMissingArchive(document, options.Report);
    }
    return document;
}
