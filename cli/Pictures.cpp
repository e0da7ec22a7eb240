// textures, render and make-sample: pictures and files out of the viewer's code.

#include <GL/gl.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>

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

bool TellArchiveProblem(const Document& document, const char* command, std::ostream& err) {
    const std::string problem = ArchiveProblem(document);
    if (!problem.empty())
        err << "kestrel " << command << ": " << problem << "\n";
    return !problem.empty();
}

LoadOptions ArchiveOptions(const Args& args) {
    const std::string archive = args.Value("--archive");
    std::error_code error;
    return ArchiveOptions(archive, std::filesystem::is_directory(PathFromUtf8(archive), error));
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

namespace {

// Every image of the archive of `path` (a model's, or the archive itself) as
// PNG into `folder`, a line each to `out`; what check says of the archive to
// `err`, which makes the file irregular.
Outcome TexturesFile(const std::string& path, const std::string& folder, LoadOptions options,
                     bool levels, std::ostream& out, std::ostream& err) {
    // What the archive's reader meets is what check says of the archive: the
    // same damage, the same verdict.
    Irregularities found;
    options.Points = false;
    options.ArchiveReport = &found;
    const Document document = LoadDocument(path, options);
    switch (document.Kind) {
        case FileKind::Unreadable:
            err << "kestrel textures: " << CannotRead(document) << "\n";
            return Outcome::Failed;
        case FileKind::PointDump:
            err << "kestrel textures: " << path << " is neither a model nor a texture archive\n";
            return Outcome::Failed;
        case FileKind::ModelFile:
        case FileKind::TextureArchive:
            break;
    }
    if (!document.HasArchive()) {
        // A model with nothing to texture names no archive either.
        const std::string problem = ArchiveProblem(document);
        err << "kestrel textures: "
            << (problem.empty() ? path + " uses no texture archive" : problem) << "\n";
        return Outcome::Failed;
    }
    const TextureFile& archive = document.Archive;
    std::string error;
    const bool written = WriteArchivePictures(
        archive, folder, levels,
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
        return Outcome::Failed;
    }
    const std::string prefix = "kestrel textures: " + archive.FileName + ": ";
    for (const Irregularities::Kind& kind : found.Kinds())
        PrintIrregularityKind(prefix, kind.Name, kind.Count, kind.Lines, err);
    return found.Empty() ? Outcome::Done : Outcome::Irregular;
}

}  // namespace

int Textures(const Args& args, std::ostream& out, std::ostream& err) {
    const bool levels = args.Flags.count("--levels") != 0;
    if (IsBatch(args, true)) {
        const BatchCommand command{
            .Name = "textures",
            .Takes = IsArchive,
            .IrregularFails = true,
            .Run = [levels](const BatchFile& file, std::ostream& out, std::ostream& err) {
                // Each picture's line names its folder: the run writes many.
                std::ostringstream lines;
                const Outcome outcome =
                    TexturesFile(file.Path, file.Target, ArchiveOptions(file), levels, lines, err);
                out << Prefixed(lines.str(), InFolder(file.Target, ""));
                return outcome;
            }};
        return RunBatch(args, command, out, err);
    }
    if (!args.Has("-o")) {
        err << "kestrel textures: say where the pictures go with -o DIR\n";
        return kExitUsage;
    }
    return StatusOf(
        TexturesFile(args.Positional[0], args.Value("-o"), ArchiveOptions(args), levels, out, err),
        true);
}

namespace {

// How render draws: the picture's size and the view's camera and toggles, as
// the words set them.
struct RenderJob {
    int Width = 640, Height = 480;
    SceneView Camera;  // its camera and toggles; it opens no document
    bool Fit = false, Transparent = false;
};

// False, saying why on `err`, for words render cannot draw by.
bool ParseRender(const Args& args, RenderJob& job, std::ostream& err) {
    SceneView& view = job.Camera;
    if (args.Has("--size") && !ParseSize(args.Value("--size"), job.Width, job.Height)) {
        err << "kestrel render: --size wants WxH, each from 1 to " << kMaxPictureSide << "\n";
        return false;
    }
    if (args.Has("--pan") && !ParsePair(args.Value("--pan"), ',', view.PanX, view.PanY)) {
        err << "kestrel render: --pan wants X,Y\n";
        return false;
    }
    if (args.Has("--zoom") && !ParseNumber(args.Value("--zoom"), view.Zoom)) {
        err << "kestrel render: --zoom wants a number\n";
        return false;
    }
    if (args.Has("--rotate") &&
        !ParsePair(args.Value("--rotate"), ',', view.RotateX, view.RotateY)) {
        err << "kestrel render: --rotate wants X,Y (degrees)\n";
        return false;
    }
    view.ShowAxes = args.Flags.count("--no-axes") ? 0 : 1;
    view.ShowTextures = args.Flags.count("--no-textures") ? 0 : 1;
    view.ShowBoundingBox = args.Flags.count("--bbox") ? 1 : 0;
    job.Fit = args.Flags.count("--fit") != 0;
    job.Transparent = args.Flags.count("--transparent") != 0;
    return true;
}

// The frame the viewer draws of `path`, as PNG into `target`, on a context of
// its own: made on the thread that draws, and gone with the picture.
Outcome RenderFile(const RenderJob& job, const std::string& path, const std::string& target,
                   const LoadOptions& options, std::ostream& out, std::ostream& err) {
    Document document = LoadDocument(path, options);
    if (!Drawable(document, "render", err))
        return Outcome::Failed;
    // A view of its own for each picture, set as the words set the job's.
    SceneView view;
    const SceneView& set = job.Camera;
    view.PanX = set.PanX, view.PanY = set.PanY, view.Zoom = set.Zoom;
    view.RotateX = set.RotateX, view.RotateY = set.RotateY;
    view.ShowAxes = set.ShowAxes, view.ShowTextures = set.ShowTextures;
    view.ShowBoundingBox = set.ShowBoundingBox;
    const bool told = view.ShowTextures && TellArchiveProblem(document, "render", err);

    OffscreenContext context(job.Width, job.Height);
    if (!context.Valid()) {
        err << "kestrel render: cannot make an OpenGL context: " << context.Error() << "\n";
        return Outcome::Failed;
    }
    // The same steps as the viewer: first projection and state, then the file.
    view.Resize(job.Width, job.Height);
    view.InitGL();
    view.OpenDocument(std::move(document));
    if (job.Fit)
        view.FitDocument();
    view.DrawScene();
    glFinish();
    const RgbaPicture picture = ShownFrame(job.Width, job.Height, !job.Transparent);
    view.CloseDocuments();  // texture objects go while the context is current

    std::string error;
    if (!WritePng(target, picture, error)) {
        err << "kestrel render: " << error << "\n";
        return Outcome::Failed;
    }
    out << target << "\n";
    return told ? Outcome::Irregular : Outcome::Done;
}

}  // namespace

int Render(const Args& args, std::ostream& out, std::ostream& err) {
    const bool batch = IsBatch(args, true);
    if (!batch && !args.Has("-o")) {
        err << "kestrel render: say where the picture goes with -o OUT.png\n";
        return kExitUsage;
    }
    // What is written is PNG: a name that says otherwise would mislead.
    if (!batch && LowerCaseExtension(args.Value("-o")) != ".png") {
        err << "kestrel render: " << args.Value("-o") << " must end in .png\n";
        return kExitUsage;
    }
    auto job = std::make_shared<RenderJob>();
    if (!ParseRender(args, *job, err))
        return kExitUsage;
    if (batch) {
        const BatchCommand command{
            .Name = "render",
            .Takes = IsModel,
            .Extension = ".png",
            .Run = [job](const BatchFile& file, std::ostream& out, std::ostream& err) {
                return RenderFile(*job, file.Path, file.Target, ArchiveOptions(file), out, err);
            }};
        return RunBatch(args, command, out, err);
    }
    return StatusOf(
        RenderFile(*job, args.Positional[0], args.Value("-o"), ArchiveOptions(args), out, err));
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
