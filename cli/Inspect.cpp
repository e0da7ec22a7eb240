// identify, info and check: what a file is, what it holds and what in it cannot
// be used. Each gathers its facts as JSON; the text is printed from the same
// facts, so --json and the text cannot disagree.

#include <nlohmann/json.hpp>

#include <ostream>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "dataview/TextAppend.h"
#include "document/Document.h"
#include "model/Blocks.h"
#include "model/FileKind.h"
#include "model/Irregularities.h"
#include "model/ModelFile.h"
#include "model/Text.h"
#include "render/SceneWalk.h"
#include "texture/TexelDecoder.h"
#include "texture/TextureFile.h"

namespace {

using json = nlohmann::ordered_json;

const char* KindName(FileKind kind) {
    switch (kind) {
        case FileKind::Unreadable:
            return "unreadable";
        case FileKind::TextureArchive:
            return "texture-archive";
        case FileKind::ModelFile:
            return "model";
        case FileKind::PointDump:
            return "point-dump";
    }
    return "unreadable";
}

json FileFacts(const std::string& path, FileKind kind) {
    return {{"file", path}, {"kind", KindName(kind)}};
}

// A file that cannot be read, and why, as the system says it.
json UnreadableFacts(const Document& document) {
    json facts = FileFacts(document.Path, FileKind::Unreadable);
    facts["error"] = "cannot be read";
    facts["reason"] = document.Error;
    return facts;
}

// Names and paths are bytes: what is not UTF-8 shows as U+FFFD.
std::string JsonText(const json& facts) {
    return facts.dump(2, ' ', false, json::error_handler_t::replace);
}

void PrintJson(const json& facts, std::ostream& out) {
    out << JsonText(facts) << "\n";
}

std::string Text(const json& value) {
    return value.get<std::string>();
}

json ModelFacts(const Document& document) {
    const ModelFile& model = document.Model;
    const ModelHeader& h = model.Header();
    json facts = FileFacts(document.Path, FileKind::ModelFile);
    facts["name"] = FieldText(h.ModelName);
    const bool found = document.HasArchive();
    facts["textures"] = {{"file", document.Archive.FileName}, {"found", found}};
    if (found)
        facts["textures"]["images"] = document.Archive.ImageCount();
    facts["date"] = FieldText(h.Date);
    facts["bounds"] = h.BoundingBox;
    json& blocks = facts["blocks"] = json::array();
    for (const BlockInfo& block : kModelBlocks)
        blocks.push_back({{"number", block.Number},
                          {"title", block.Title},
                          {"records", model.BlockRecordCount(block.Number)},
                          {"text", block.Shown}});
    json& sets = facts["animationSets"] = json::array();
    for (size_t i = 0; i < model.AnimationSets().size(); ++i)
        sets.push_back({{"name", FieldText(model.AnimationSetIndex()[i].Name)},
                        {"frames", model.AnimationSets()[i]->Frames.size()}});
    return facts;
}

void PrintModel(const json& facts, std::ostream& out) {
    std::string text = Text(facts["file"]) + ": model\n";
    text += "  name:      " + Text(facts["name"]) + "\n";
    const json& textures = facts["textures"];
    text += "  textures:  " + Text(textures["file"]);
    if (textures["found"].get<bool>())
        text += " (found, " + Counted(textures["images"].get<uint64_t>(), "image") + ")\n";
    else
        text += " (not found)\n";
    text += "  date:      " + Text(facts["date"]) + "\n";
    const json& b = facts["bounds"];
    dataview::AppendFormat(text, "  bounds:    (%.3f, %.3f, %.3f) to (%.3f, %.3f, %.3f)\n",
                           b[0].get<double>(), b[1].get<double>(), b[2].get<double>(),
                           b[3].get<double>(), b[4].get<double>(), b[5].get<double>());
    text += "  blocks:\n";
    for (const json& block : facts["blocks"])
        dataview::AppendFormat(text, "    %2d  %-32s %10zu%s\n", block["number"].get<int>(),
                               Text(block["title"]).c_str(), block["records"].get<size_t>(),
                               block["text"].get<bool>() ? "" : "  (no text)");
    dataview::AppendFormat(text, "  animation sets: %zu\n", facts["animationSets"].size());
    size_t i = 0;
    for (const json& set : facts["animationSets"])
        dataview::AppendFormat(text, "    %3zu  %-24s %s\n", i++, Text(set["name"]).c_str(),
                               Counted(set["frames"].get<size_t>(), "frame").c_str());
    out << text;
}

json ArchiveFacts(const std::string& path, const TextureFile& archive) {
    json facts = FileFacts(path, FileKind::TextureArchive);
    json& images = facts["images"] = json::array();
    for (int32_t k = 0; k < archive.ImageCount(); ++k) {
        const ImageHeader& h = *archive.Images[static_cast<size_t>(k)].Header;
        images.push_back({{"width", h.Width},
                          {"height", h.Height},
                          {"format", h.Format},
                          {"formatName", TexelFormatName(h.Format)},
                          {"wrapS", h.Wrap_S},
                          {"wrapT", h.Wrap_T},
                          {"bytes", archive.Images[static_cast<size_t>(k)].Data.size()}});
    }
    return facts;
}

void PrintArchive(const json& facts, std::ostream& out) {
    std::string text = Text(facts["file"]) + ": texture archive, " +
                       Counted(facts["images"].size(), "image") + "\n";
    int k = 0;
    for (const json& image : facts["images"])
        dataview::AppendFormat(text, "  %3d: %5u x %-5u  format %2u %-15s  wrap %u/%u  %s\n", k++,
                               image["width"].get<unsigned>(), image["height"].get<unsigned>(),
                               image["format"].get<unsigned>(), Text(image["formatName"]).c_str(),
                               image["wrapS"].get<unsigned>(), image["wrapT"].get<unsigned>(),
                               Counted(image["bytes"].get<size_t>(), "byte").c_str());
    out << text;
}

void PrintInfo(const json& facts, std::ostream& out) {
    if (facts["kind"] == KindName(FileKind::ModelFile))
        PrintModel(facts, out);
    else if (facts["kind"] == KindName(FileKind::TextureArchive))
        PrintArchive(facts, out);
    else
        out << Text(facts["file"]) << ": point dump, "
            << Counted(facts["bytes"].get<uint64_t>(), "byte") << ", "
            << Counted(facts["points"].get<uint64_t>(), "point") << "\n";
}

json PointDumpFacts(const std::string& path, uint64_t size) {
    json facts = FileFacts(path, FileKind::PointDump);
    facts["bytes"] = size;
    facts["points"] = PointCount(size / 4);
    return facts;
}

// The facts `info` gives.
json InfoFacts(const std::string& path, const Args& args, std::ostream& err) {
    LoadOptions options = ArchiveOptions(args);
    options.Points = false;
    const Document document = LoadDocument(path, options);
    switch (document.Kind) {
        case FileKind::Unreadable:
            break;
        case FileKind::ModelFile:
            TellArchiveProblem(document, "info", err);
            return ModelFacts(document);
        case FileKind::TextureArchive:
            return ArchiveFacts(path, document.Archive);
        case FileKind::PointDump:
            return PointDumpFacts(path, document.FileSize);
    }
    return UnreadableFacts(document);
}

// What the readers and the walk meet in a file: a model read as the view
// reads it, drawn as the view draws it, with textures on; an archive as the
// view reads it. Any bytes are points.
json CheckFacts(const std::string& path, LoadOptions options) {
    Irregularities found;
    options.Points = false;
    options.Report = &found;
    const Document document = LoadDocument(path, options);
    if (document.Kind == FileKind::Unreadable) {
        json facts = UnreadableFacts(document);
        facts["ok"] = false;
        return facts;
    }
    json facts = FileFacts(path, document.Kind);
    if (document.Kind == FileKind::ModelFile)
        CheckScene(document.Model, document.HasArchive() ? document.Archive.ImageCount() : -1,
                   found);
    // Any bytes are points; the check says so, without calling it a fault.
    if (document.Kind == FileKind::PointDump)
        facts["note"] = "not a model or texture archive: read as " +
                        Counted(PointCount(document.FileSize / 4), "point");
    facts["ok"] = found.Empty();
    facts["count"] = found.Count();
    json& kinds = facts["irregularities"] = json::array();
    for (const Irregularities::Kind& k : found.Kinds())
        kinds.push_back({{"kind", k.Name}, {"count", k.Count}, {"lines", k.Lines}});
    return facts;
}

// The first line check prints of a file, the one of a file in a run: what it
// is and whether the viewer can use all of it.
std::string CheckVerdict(const json& facts) {
    const std::string file = Text(facts["file"]) + ": ";
    if (facts.contains("error"))
        return file + Text(facts["error"]) + ": " + Text(facts["reason"]) + "\n";
    if (facts["ok"].get<bool>())
        return file + "ok (" + Text(facts["kind"]) + ")\n";
    return file + Text(facts["kind"]) + ", " +
           Counted(facts["count"].get<size_t>(), "irregularity", "irregularities") + "\n";
}

void PrintCheck(const json& facts, std::ostream& out) {
    const std::string file = Text(facts["file"]) + ": ";
    out << CheckVerdict(facts);
    if (facts.contains("error"))
        return;
    if (facts.contains("note"))
        out << file << "note: " << Text(facts["note"]) << "\n";
    for (const json& kind : facts["irregularities"])
        PrintIrregularityKind(file, Text(kind["kind"]), kind["count"].get<size_t>(),
                              kind["lines"].get<std::vector<std::string>>(), out);
}

}  // namespace

void PrintIrregularityKind(const std::string& prefix, const std::string& kind, size_t count,
                           const std::vector<std::string>& lines, std::ostream& out) {
    for (const std::string& line : lines)
        out << prefix << line << "\n";
    if (count > lines.size())
        out << prefix << "and " << count - lines.size() << " more of the kind " << kind << "\n";
}

int Identify(const Args& args, std::ostream& out, std::ostream&) {
    int status = kExitOk;
    json all = json::array();
    for (const std::string& path : args.Positional) {
        const FileKind kind = IdentifyFile(path);
        if (kind == FileKind::Unreadable)
            status = kExitFile;
        json facts = FileFacts(path, kind);
        facts["code"] = static_cast<int>(kind);
        all.push_back(facts);
    }
    if (args.Flags.count("--json")) {
        PrintJson(all, out);
        return status;
    }
    for (const json& facts : all)
        out << Text(facts["file"]) << ": " << facts["code"].get<int>() << " " << Text(facts["kind"])
            << "\n";
    return status;
}

int Info(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.Positional[0];
    const json facts = InfoFacts(path, args, err);
    const bool unreadable = facts.contains("error");
    if (unreadable)
        err << "kestrel info: cannot read " << path << ": " << Text(facts["reason"]) << "\n";
    if (args.Flags.count("--json"))
        PrintJson(json::array({facts}), out);
    else if (!unreadable)
        PrintInfo(facts, out);
    return unreadable ? kExitFile : kExitOk;
}

int Check(const Args& args, std::ostream& out, std::ostream& err) {
    const bool asJson = args.Flags.count("--json") != 0;
    if (IsBatch(args, false)) {
        const BatchCommand command{
            .Name = "check",
            .Takes = IsCheckable,
            .Writes = false,
            .DoneWord = "ok",
            .IrregularFails = true,
            .Json = asJson,
            .Run = [asJson](const BatchFile& file, std::ostream& out, std::ostream&) {
                const json facts = CheckFacts(file.Path, ArchiveOptions(file));
                out << (asJson ? JsonText(facts) : CheckVerdict(facts));
                return facts.contains("error")   ? Outcome::Failed
                       : facts["ok"].get<bool>() ? Outcome::Done
                                                 : Outcome::Irregular;
            }};
        return RunBatch(args, command, out, err);
    }
    int status = kExitOk;
    json all = json::array();
    for (const std::string& path : args.Positional) {
        all.push_back(CheckFacts(path, ArchiveOptions(args)));
        if (!all.back()["ok"].get<bool>())
            status = kExitFile;
    }
    if (args.Flags.count("--json"))
        PrintJson(all, out);
    else
        for (const json& facts : all)
            PrintCheck(facts, out);
    return status;
}
