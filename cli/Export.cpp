// export: what the viewer draws, as glTF 2.0 for Blender and game engines.

#include <ostream>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "document/Document.h"
#include "export/GltfFiles.h"

int Export(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.Positional[0];
    if (!args.Has("-o")) {
        err << "kestrel export: say where the model goes with -o OUT.glb or -o OUT.gltf\n";
        return kExitUsage;
    }
    const std::string target = args.Value("-o");
    if (GltfFormatOf(target) == GltfFormat::Unknown) {
        err << "kestrel export: " << target << " must end in .glb or .gltf\n";
        return kExitUsage;
    }
    GltfDocument document;
    const bool textures = !args.Flags.count("--no-textures");
    LoadOptions options = ArchiveOptions(args);
    options.ModelArchive = textures;
    Document loaded = LoadDocument(path, options);
    if (!Drawable(loaded, "export", err))
        return kExitFile;
    switch (loaded.Kind) {
        case FileKind::Unreadable:
        case FileKind::TextureArchive:
            break;
        case FileKind::PointDump:
            document = GltfOfPointDump(loaded.Points);
            break;
        case FileKind::ModelFile:
            TellArchiveProblem(loaded, "export", err);
            document = GltfOfModel(loaded.Model, loaded.HasArchive() ? &loaded.Archive : nullptr);
            break;
    }
    if (!HasNodes(document)) {
        err << "kestrel export: " << path << " holds nothing to export\n";
        return kExitFile;
    }
    std::vector<std::string> written;
    std::string error;
    if (!WriteGltfFiles(target, document, written, error)) {
        err << "kestrel export: " << error << "\n";
        return kExitFile;
    }
    for (const std::string& file : written)
        out << file << "\n";
    return kExitOk;
}
