// textures, render and make-sample: pictures and files out of the viewer's code.

#include <GL/gl.h>

#include <filesystem>
#include <ostream>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "dataview/TextAppend.h"
#include "document/Document.h"
#include "export/Png.h"
#include "model/Utf8Path.h"
#include "render/OffscreenContext.h"
#include "render/SceneView.h"
#include "sample/DemoScene.h"
#include "texture/ArchivePack.h"
#include "texture/TexelDecoder.h"
#include "texture/TextureFile.h"

namespace {

bool MakeFolder(const std::string& folder, std::ostream& err) {
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(folder), error);
    if (std::filesystem::is_directory(PathFromUtf8(folder), error))
        return true;
    err << "kestrel make-sample: cannot make the folder " << folder << "\n";
    return false;
}

}  // namespace

void TellArchiveProblem(const Document& document, const char* command, std::ostream& err) {
    if (const std::string problem = ArchiveProblem(document); !problem.empty())
        err << "kestrel " << command << ": " << problem << "\n";
}

bool Drawable(const Document& document, const char* command, std::ostream& err) {
    if (document.Kind == FileKind::Unreadable) {
        err << "kestrel " << command << ": " << CannotRead(document) << "\n";
        return false;
    }
    if (document.Kind == FileKind::TextureArchive) {
        err << "kestrel " << command << ": " << document.Path << " is a texture archive; "
            << command << " the model that uses it\n";
        return false;
    }
    return true;
}

RgbaPicture ShownFrame(int width, int height, bool opaque) {
    RgbaPicture picture{width, height, ReadFramePixels(width, height)};
    // The viewer's window has no alpha planes: what it shows is opaque.
    for (size_t i = 3; opaque && i < picture.Pixels.size(); i += 4)
        picture.Pixels[i] = 255;
    return picture;
}

int Textures(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.Positional[0];
    if (!args.Has("-o")) {
        err << "kestrel textures: say where the pictures go with -o DIR\n";
        return kExitUsage;
    }
    LoadOptions options = ArchiveOptions(args);
    options.Points = false;
    const Document document = LoadDocument(path, options);
    switch (document.Kind) {
        case FileKind::Unreadable:
            err << "kestrel textures: " << CannotRead(document) << "\n";
            return kExitFile;
        case FileKind::PointDump:
            err << "kestrel textures: " << path << " is neither a model nor a texture archive\n";
            return kExitFile;
        case FileKind::ModelFile:
        case FileKind::TextureArchive:
            break;
    }
    if (!document.HasArchive()) {
        // A model with nothing to texture names no archive either.
        const std::string problem = ArchiveProblem(document);
        err << "kestrel textures: "
            << (problem.empty() ? path + " uses no texture archive" : problem) << "\n";
        return kExitFile;
    }
    const TextureFile& archive = document.Archive;
    const bool levels = args.Flags.count("--levels") != 0;
    // The folder is made with the first picture: none when no image can be written.
    const std::string folder = args.Value("-o");
    // One picture into the folder, and its line.
    auto write = [&](const std::string& name, uint32_t width, uint32_t height, uint32_t format,
                     const std::vector<RgbaColor>& texels) {
        std::string error;
        if (!WritePng(Utf8FromPath(PathFromUtf8(folder) / name), static_cast<int>(width),
                      static_cast<int>(height), texels.data(), error)) {
            err << "kestrel textures: " << error << "\n";
            return false;
        }
        std::string line;
        dataview::AppendFormat(line, "%s: %u x %u, format %u %s\n", name.c_str(), width, height,
                               format, TexelFormatName(format));
        out << line;
        return true;
    };
    int status = kExitOk;
    for (int32_t k = 0; k < archive.ImageCount(); ++k) {
        const ImageHeader& h = *archive.Images[k].Header;
        std::string name = PictureName({k, 0});
        std::vector<RgbaColor> texels = archive.DecodeImage(k);
        if (texels.empty()) {
            // A zero side, or more texels than the archive could hold: no picture.
            err << "kestrel textures: image " << k << " (" << h.Width << " x " << h.Height
                << ") has no texels to write\n";
            status = kExitFile;
            continue;
        }
        // Written from the decoded texels themselves: one image held at a time.
        if (!write(name, h.Width, h.Height, h.Format, texels))
            return kExitFile;
        uint32_t width = 0, height = 0;
        for (int level = 1; levels; ++level) {
            texels = archive.DecodeLevel(k, level, width, height);
            if (texels.empty())
                break;
            name = PictureName({k, level});
            if (!write(name, width, height, h.Format, texels))
                return kExitFile;
        }
    }
    return status;
}

int Render(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.Positional[0];
    if (!args.Has("-o")) {
        err << "kestrel render: say where the picture goes with -o OUT.png\n";
        return kExitUsage;
    }
    // What is written is PNG: a name that says otherwise would mislead.
    if (LowerCaseExtension(args.Value("-o")) != ".png") {
        err << "kestrel render: " << args.Value("-o") << " must end in .png\n";
        return kExitUsage;
    }
    int width = 640, height = 480;
    if (args.Has("--size") && !ParseSize(args.Value("--size"), width, height)) {
        err << "kestrel render: --size wants WxH, each from 1 to " << kMaxPictureSide << "\n";
        return kExitUsage;
    }
    SceneView view;
    if (args.Has("--pan") && !ParsePair(args.Value("--pan"), ',', view.PanX, view.PanY)) {
        err << "kestrel render: --pan wants X,Y\n";
        return kExitUsage;
    }
    if (args.Has("--zoom") && !ParseNumber(args.Value("--zoom"), view.Zoom)) {
        err << "kestrel render: --zoom wants a number\n";
        return kExitUsage;
    }
    if (args.Has("--rotate") &&
        !ParsePair(args.Value("--rotate"), ',', view.RotateX, view.RotateY)) {
        err << "kestrel render: --rotate wants X,Y (degrees)\n";
        return kExitUsage;
    }
    view.ShowAxes = args.Flags.count("--no-axes") ? 0 : 1;
    view.ShowTextures = args.Flags.count("--no-textures") ? 0 : 1;
    view.ShowBoundingBox = args.Flags.count("--bbox") ? 1 : 0;

    Document document = LoadDocument(path, ArchiveOptions(args));
    if (!Drawable(document, "render", err))
        return kExitFile;
    if (view.ShowTextures)
        TellArchiveProblem(document, "render", err);

    OffscreenContext context(width, height);
    if (!context.Valid()) {
        err << "kestrel render: cannot make an OpenGL context: " << context.Error() << "\n";
        return kExitFile;
    }
    // The same steps as the viewer: first projection and state, then the file.
    view.Resize(width, height);
    view.InitGL();
    view.OpenDocument(std::move(document));
    if (args.Flags.count("--fit"))
        view.FitDocument();
    view.DrawScene();
    glFinish();
    const RgbaPicture picture = ShownFrame(width, height, !args.Flags.count("--transparent"));
    view.CloseDocuments();  // texture objects go while the context is current

    std::string error;
    if (!WritePng(args.Value("-o"), picture, error)) {
        err << "kestrel render: " << error << "\n";
        return kExitFile;
    }
    out << args.Value("-o") << "\n";
    return kExitOk;
}

int MakeSample(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& folder = args.Positional[0];
    if (!MakeFolder(folder, err))
        return kExitFile;
    sample::DemoFiles files;
    if (!sample::WriteDemo(folder, files)) {
        err << "kestrel make-sample: cannot write the sample files into " << folder << "\n";
        return kExitFile;
    }
    out << files.Model << "\n" << files.Archive << "\n" << files.PointDump << "\n";
    return kExitOk;
}
