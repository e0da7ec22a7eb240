// identify and info: what a file is, and a short summary of what it holds.

#include <ostream>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "dataview/TextAppend.h"
#include "model/Blocks.h"
#include "model/ByteSource.h"
#include "model/FileKind.h"
#include "model/ModelFile.h"
#include "model/Text.h"
#include "render/PointDump.h"
#include "texture/TexelDecoder.h"
#include "texture/TextureFile.h"

namespace {

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

void PrintImages(const TextureFile& archive, std::ostream& out) {
    std::string text;
    for (int32_t k = 0; k < archive.ImageCount(); ++k) {
        const ImageHeader& h = *archive.Images[k].Header;
        dataview::AppendFormat(text, "  %3d: %5u x %-5u  format %2u %-15s  wrap %u/%u  %zu bytes\n",
                               k, h.Width, h.Height, h.Format, TexelFormatName(h.Format), h.Wrap_S,
                               h.Wrap_T, archive.Images[k].Data.size());
    }
    out << text;
}

int ModelInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    ModelFile model;
    if (!model.Load(path)) {
        err << "kestrel info: cannot read " << path << "\n";
        return kExitFile;
    }
    const ModelHeader& h = model.Header();
    out << path << ": model\n";
    out << "  name:      " << FieldText(h.ModelName) << "\n";
    TextureFile archive;
    if (archive.LoadBeside(path, h)) {
        out << "  textures:  " << archive.FileName << " (found, " << archive.ImageCount()
            << " images)\n";
    } else {
        out << "  textures:  " << archive.FileName << " (not found)\n";
    }
    out << "  date:      " << FieldText(h.Date) << "\n";
    const float* b = h.BoundingBox;
    std::string text;
    dataview::AppendFormat(text, "  bounds:    (%.3f, %.3f, %.3f) to (%.3f, %.3f, %.3f)\n", b[0],
                           b[1], b[2], b[3], b[4], b[5]);
    text += "  blocks:\n";
    for (const BlockInfo& block : kModelBlocks) {
        dataview::AppendFormat(text, "    %2d  %-32s %10zu\n", block.Number, block.Title,
                               model.BlockRecordCount(block.Number));
    }
    dataview::AppendFormat(text, "  animation sets: %zu\n", model.AnimationSets().size());
    for (size_t i = 0; i < model.AnimationSets().size(); ++i) {
        dataview::AppendFormat(text, "    %3zu  %-24s %zu frames\n", i,
                               FieldText(model.AnimationSetIndex()[i].Name).c_str(),
                               model.AnimationSets()[i]->Frames.size());
    }
    out << text;
    return kExitOk;
}

int ArchiveInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    FileSource file;
    if (!file.Open(path)) {
        err << "kestrel info: cannot read " << path << "\n";
        return kExitFile;
    }
    TextureFile archive;
    archive.LoadFrom(file);
    out << path << ": texture archive, " << archive.ImageCount() << " images\n";
    PrintImages(archive, out);
    return kExitOk;
}

}  // namespace

int Identify(const Args& args, std::ostream& out, std::ostream&) {
    int status = kExitOk;
    for (const std::string& path : args.Positional) {
        FileKind kind = IdentifyFile(path);
        if (kind == FileKind::Unreadable)
            status = kExitFile;
        out << path << ": " << static_cast<int>(kind) << " " << KindName(kind) << "\n";
    }
    return status;
}

int Info(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.Positional[0];
    switch (IdentifyFile(path)) {
        case FileKind::Unreadable:
            err << "kestrel info: cannot read " << path << "\n";
            return kExitFile;
        case FileKind::ModelFile:
            return ModelInfo(path, out, err);
        case FileKind::TextureArchive:
            return ArchiveInfo(path, out, err);
        case FileKind::PointDump: {
            FileSource file;
            file.Open(path);
            uint64_t words = file.Size() / 4;
            uint64_t points = words > kFirstPointWord ? (words - kFirstPointWord) / 3 : 0;
            out << path << ": point dump, " << file.Size() << " bytes, " << points << " points\n";
            return kExitOk;
        }
    }
    return kExitOk;
}
