// export: what the viewer draws, as glTF 2.0 for Blender and game engines.

#include <ostream>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "document/Document.h"
#include "export/GltfFiles.h"
#include "model/Utf8Path.h"

namespace {

// One file exported to `target`: the files written to `out`, what kept it
// from its archive or from being written to `err`.
Outcome ExportFile(const std::string& path, const std::string& target, LoadOptions options,
                   bool textures, std::ostream& out, std::ostream& err) {
    GltfDocument document;
    options.ModelArchive = textures;
    Document loaded = LoadDocument(path, options);
    if (!Drawable(loaded, "export", err))
        return Outcome::Failed;
    bool told = false;
    switch (loaded.Kind) {
        case FileKind::Unreadable:
        case FileKind::TextureArchive:
            break;
        case FileKind::PointDump:
            document = GltfOfPointDump(loaded.Points);
            break;
        case FileKind::ModelFile:
            told = TellArchiveProblem(loaded, "export", err);
            document = GltfOfModel(loaded.Model, loaded.HasArchive() ? &loaded.Archive : nullptr);
            break;
    }
    if (!HasNodes(document)) {
        err << "kestrel export: " << path << " holds nothing to export\n";
        return Outcome::Failed;
    }
    std::vector<std::string> written;
    std::string error;
    if (!WriteGltfFiles(target, document, written, error)) {
        err << "kestrel export: " << error << "\n";
        return Outcome::Failed;
    }
    for (const std::string& file : written)
        out << file << "\n";
    return told ? Outcome::Irregular : Outcome::Done;
}

}  // namespace

int Export(const Args& args, std::ostream& out, std::ostream& err) {
    const bool textures = !args.Flags.count("--no-textures");
    const std::string format = args.Value("--format", "glb");
    if (format != "glb" && format != "gltf") {
        err << "kestrel export: --format wants glb or gltf\n";
        return kExitUsage;
    }
    if (IsBatch(args, true)) {
        const BatchCommand command{
            .Name = "export",
            .Takes = IsModel,
            .Extension = "." + format,
            .Run = [textures](const BatchFile& file, std::ostream& out, std::ostream& err) {
                return ExportFile(file.Path, file.Target, ArchiveOptions(file), textures, out, err);
            }};
        return RunBatch(args, command, out, err);
    }
    if (!args.Has("-o")) {
        err << "kestrel export: say where the model goes with -o OUT.glb or -o OUT.gltf\n";
        return kExitUsage;
    }
    const std::string target = args.Value("-o");
    if (GltfFormatOf(target) == GltfFormat::Unknown ||
        (args.Has("--format") && LowerCaseExtension(target) != "." + format)) {
        err << "kestrel export: " << target << " must end in "
            << (args.Has("--format") ? "." + format : ".glb or .gltf") << "\n";
        return kExitUsage;
    }
    return StatusOf(
        ExportFile(args.Positional[0], target, ArchiveOptions(args), textures, out, err));
}
