// export: what the viewer draws, as glTF 2.0 for Blender and game engines.

#include <algorithm>
#include <ostream>
#include <span>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "export/GltfFiles.h"
#include "model/FileKind.h"
#include "model/ModelFile.h"
#include "render/PointDump.h"
#include "texture/TextureFile.h"

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
    switch (IdentifyFile(path)) {
        case FileKind::Unreadable:
            err << "kestrel export: cannot read " << path << "\n";
            return kExitFile;
        case FileKind::TextureArchive:
            err << "kestrel export: " << path
                << " is a texture archive; export the model that uses it\n";
            return kExitFile;
        case FileKind::PointDump: {
            PointDump points;
            if (!points.Load(path)) {
                err << "kestrel export: cannot read " << path << "\n";
                return kExitFile;
            }
            const std::span<const float> words = points.Words;
            document = GltfOfPointDump(words.subspan(std::min(kFirstPointWord, words.size())));
            break;
        }
        case FileKind::ModelFile: {
            ModelFile model;
            if (!model.Load(path)) {
                err << "kestrel export: cannot read " << path << "\n";
                return kExitFile;
            }
            TextureFile archive;
            bool textured = false;
            if (!args.Flags.count("--no-textures")) {
                textured = archive.LoadBeside(path, model.Header());
                if (!textured)
                    err << "kestrel export: the model's texture archive " << archive.FileName
                        << " cannot be read: exported with vertex colours only\n";
            }
            document = GltfOfModel(model, textured ? &archive : nullptr);
            break;
        }
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
