// textures, render and make-sample: pictures and files out of the viewer's code.

#include <GL/gl.h>

#include <filesystem>
#include <ostream>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "dataview/TextAppend.h"
#include "document/Document.h"
#include "export/ArchivePictures.h"
#include "export/Png.h"
#include "model/Irregularities.h"
#include "model/Utf8Path.h"
#include "render/Drawing.h"
#include "render/OffscreenContext.h"
#include "render/SceneView.h"
#include "sample/DemoScene.h"
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
    return {width, height, ReadFramePixels(width, height, opaque)};
}

int Textures(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.Positional[0];
    if (!args.Has("-o")) {
        err << "kestrel textures: say where the pictures go with -o DIR\n";
        return kExitUsage;
    }
    // What the archive's reader meets is what check says of the archive: the
    // same damage, the same verdict.
    Irregularities found;
    LoadOptions options = ArchiveOptions(args);
    options.Points = false;
    options.ArchiveReport = &found;
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
    std::string error;
    const bool written = WriteArchivePictures(
        archive, args.Value("-o"), args.Flags.count("--levels") != 0,
        [&out](const WrittenPicture& picture) {
            std::string line;
            dataview::AppendFormat(line, "%s: %u x %u, format %u %s\n", picture.Name.c_str(),
                                   picture.Width, picture.Height, picture.Format,
                                   TexelFormatName(picture.Format));
            out << line;
        },
        error);
    if (!written) {
        err << "kestrel textures: " << error << "\n";
        return kExitFile;
    }
    const std::string prefix = "kestrel textures: " + archive.FileName + ": ";
    for (const Irregularities::Kind& kind : found.Kinds())
        PrintIrregularityKind(prefix, kind.Name, kind.Count, kind.Lines, err);
    return found.Empty() ? kExitOk : kExitFile;
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
