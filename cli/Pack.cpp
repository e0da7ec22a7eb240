// pack: a texture archive rebuilt from the PNG files textures writes, some of
// them edited.

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "document/Document.h"
#include "export/Png.h"
#include "model/ByteSource.h"
#include "model/OutputFile.h"
#include "model/Utf8Path.h"
#include "texture/ArchivePack.h"
#include "texture/TexelDecoder.h"

namespace {

// The pictures of a folder, by the names textures gives them; other files are
// not looked at.
class PictureFolder final : public PictureSource {
  public:
    explicit PictureFolder(std::string folder) : folder_(std::move(folder)) {}

    // False, saying why, when the folder cannot be listed.
    bool List(std::string& error) {
        std::error_code failed;
        for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(folder_), failed))
            if (const auto key = PictureKeyOf(Utf8FromPath(entry.path().filename())))
                keys_.insert(*key);
        if (failed)
            error = "cannot read the folder " + folder_ + ": " + failed.message();
        return !failed;
    }

    bool Has(PictureKey key) const { return keys_.count(key) != 0; }

    std::vector<PictureKey> Keys() override { return {keys_.begin(), keys_.end()}; }

    bool Read(PictureKey key, uint32_t width, uint32_t height, std::vector<RgbaColor>& texels,
              std::string& error) override {
        const std::string name = PictureName(key);
        const std::string path = Utf8FromPath(PathFromUtf8(folder_) / name);
        FileSource file;
        if (!file.Open(path)) {
            error = "cannot read " + path + ": " + file.Error();
            return false;
        }
        std::vector<uint8_t> png(static_cast<size_t>(file.Size()));
        png.resize(file.ReadAt(0, png.data(), png.size()));
        texels.resize(size_t{width} * height);
        if (!ReadPng(png, static_cast<int>(width), static_cast<int>(height), texels.data(),
                     error)) {
            error = name + ": " + error;
            return false;
        }
        return true;
    }

  private:
    std::string folder_;
    std::set<PictureKey> keys_;
};

// "level 2", "levels 1 and 3", "levels 1, 2 and 3".
std::string Levels(const std::vector<int>& levels) {
    std::string text = levels.size() == 1 ? "level " : "levels ";
    for (size_t i = 0; i < levels.size(); ++i)
        text += (i == 0 ? "" : i + 1 == levels.size() ? " and " : ", ") + std::to_string(levels[i]);
    return text;
}

// What became of image k, in one line.
std::string Line(int32_t k, const ImageHeader& h, const PackedImage& packed, bool hasPicture) {
    std::vector<std::string> parts;
    if (packed.Replaced)
        parts.push_back("replaced, " + std::to_string(h.Width) + " x " + std::to_string(h.Height) +
                        " " + TexelFormatName(h.Format));
    else if (packed.Changed())
        parts.push_back("first level kept");
    else
        parts.push_back(hasPicture ? "kept, the same as the archive's" : "kept, no picture");
    if (!packed.LevelsReplaced.empty())
        parts.push_back(Levels(packed.LevelsReplaced) + " replaced");
    if (packed.LevelsRebuilt > 0)
        parts.push_back(std::to_string(packed.LevelsRebuilt) + " smaller level" +
                        (packed.LevelsRebuilt == 1 ? "" : "s") + " rebuilt");
    if (packed.BytesKept > 0)
        parts.push_back("the " + std::to_string(packed.BytesKept) +
                        " bytes after it kept as they were (no whole smaller levels)");
    std::string line = PictureName({k, 0}) + ": ";
    for (size_t i = 0; i < parts.size(); ++i)
        line += (i ? ", " : "") + parts[i];
    return line + "\n";
}

}  // namespace

int Pack(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.Positional[0];
    const std::string& folder = args.Positional[1];
    if (!args.Has("-o")) {
        err << "kestrel pack: say where the new archive goes with -o NEW_ARCHIVE\n";
        return kExitUsage;
    }
    const std::string target = args.Value("-o");
    LoadOptions options;
    options.ModelArchive = false;
    options.Points = false;
    options.KeepBytes = true;
    const Document document = LoadDocument(path, options);
    if (document.Kind == FileKind::Unreadable) {
        err << "kestrel pack: " << CannotRead(document) << "\n";
        return kExitFile;
    }
    if (document.Kind != FileKind::TextureArchive) {
        err << "kestrel pack: " << path << " is not a texture archive"
            << (document.Kind == FileKind::ModelFile
                    ? "; its textures are in " + ArchiveName(document.Model.Header())
                    : std::string())
            << "\n";
        return kExitFile;
    }
    PictureFolder pictures(folder);
    std::string error;
    if (!pictures.List(error)) {
        err << "kestrel pack: " << error << "\n";
        return kExitFile;
    }
    const PackResult result = PackArchive(document.Archive, document.Bytes, pictures);
    if (!result.Error.empty()) {
        err << "kestrel pack: " << result.Error << "; nothing written\n";
        return kExitFile;
    }
    if (!WriteFileAtomically(target, result.Bytes, error)) {
        err << "kestrel pack: " << error << "\n";
        return kExitFile;
    }
    const TextureFile& archive = document.Archive;
    size_t changed = 0;
    for (int32_t k = 0; k < archive.ImageCount(); ++k) {
        const PackedImage& packed = result.Images[static_cast<size_t>(k)];
        changed += packed.Changed();
        out << Line(k, *archive.Images[static_cast<size_t>(k)].Header, packed,
                    pictures.Has({k, 0}));
    }
    out << target << ": " << archive.ImageCount() << " image"
        << (archive.ImageCount() == 1 ? "" : "s") << ", " << changed << " replaced, "
        << archive.ImageCount() - static_cast<int32_t>(changed) << " kept\n";
    return kExitOk;
}
