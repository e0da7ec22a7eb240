#include "cli/Cli.h"

#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Commands.h"

namespace {

struct Command {
    const char* Name;
    const char* Summary;
    std::string Help;
    OptionSpec Options;
    size_t MinFiles;
    size_t MaxFiles;
    int (*Run)(const Args&, std::ostream&, std::ostream&);
};

// What the commands that take folders say of them.
std::string FoldersHelp() {
    return "\n"
           "folders: a PATH that is a folder is walked, its subfolders too (hidden ones\n"
           "and links to folders left out), in name order; what the command takes is\n"
           "done, any other file counted as skipped. The files are done on N threads,\n"
           "results printed in their order, each failure on standard error as it\n"
           "happens; a summary ends the run: how many done, skipped, irregular, failed.\n"
           "  -j N                 threads (default: one per hardware thread)\n"
           "  --quiet              no progress line (shown only on a terminal)\n"
           "  --archive FOLDER     archives kept apart: a model's is looked for in FOLDER,\n"
           "                       under the subfolder the model is in under its PATH\n"
           "Exits with 1 when a file failed, 130 when stopped by Ctrl+C, which lets the\n"
           "files at work finish and starts no other.\n";
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"identify",
         "tell what kind of file each FILE is",
         "usage: kestrel identify FILE... [--json]\n"
         "\n"
         "Prints one line per file: FILE: N NAME, where N is the file kind and NAME\n"
         "one of unreadable (0), texture-archive (1), model (2), point-dump (3).\n"
         "  --json   one JSON array instead, an object {file, kind, code} per file\n"
         "Exits with 1 if any file could not be read.\n",
         {{}, {"--json"}},
         1,
         SIZE_MAX,
         Identify},
        {"info",
         "summarise a model, texture archive or point dump",
         "usage: kestrel info FILE [--json] [--archive FILE]\n"
         "\n"
         "For a model: its name, texture archive (found beside it or not), date,\n"
         "bounding box, the record count of every block and the animation sets.\n"
         "For a texture archive: every image with its size, format and wrap modes.\n"
         "For any other file: its size as a point dump.\n"
         "  --json           the same facts as a JSON array of one object\n"
         "  --archive FILE   the model's texture archive, instead of the one beside it\n",
         {{"--archive"}, {"--json"}},
         1,
         1,
         Info},
        {"check",
         "tell what in each FILE the viewer cannot use",
         "usage: kestrel check PATH... [--json] [--archive FILE|FOLDER] [-j N] [--quiet]\n"
         "\n"
         "Reads each file as the viewer does and walks its scenegraph as the viewer\n"
         "draws it, and prints every irregularity met on the way, one line each,\n"
         "saying where (block and record, image, offset) and what: an index outside\n"
         "its table, a count the file cannot hold, a link that loops or reaches a\n"
         "node twice, unreachable nodes, nesting too deep, image data missing, short\n"
         "or out of order, unknown texel formats, a missing texture archive. At most\n"
         "10 lines of each kind, then how many more. FILE: ok when there is none.\n"
         "A PATH that is a folder is walked (below): one line for each model and\n"
         "archive in it, FILE: ok or how many irregularities, then a summary.\n"
         "  --json           one JSON array instead, an object per file; with a folder,\n"
         "                   one object: {files: [...], summary: {...}}\n"
         "  --archive FILE   the model's texture archive, instead of the one beside it\n"
         "Exits with 1 if any file has an irregularity or cannot be read.\n" +
             FoldersHelp(),
         {{"--archive", "-j"}, {"--json", "--quiet"}},
         1,
         SIZE_MAX,
         Check},
        {"dump",
         "print the Data View text of the header or a block",
         "usage: kestrel dump MODEL [--block B] [--set S] [--lf] [--archive FILE]\n"
         "\n"
         "Writes exactly the text that the viewer's Data View shows, byte for byte.\n"
         "  --block B       header (the default) or one of\n"
         "                  " +
             DumpableBlocks() +
             "\n"
             "                  (blocks 7, 9 and 18 have no text form)\n"
             "  --set S         the animation set that block 27 shows (default 0); a set\n"
             "                  the model does not have exits with 1\n"
             "  --lf            end lines with LF instead of the dialog's CR LF\n"
             "  --archive FILE  the model's texture archive (block 21), instead of the one\n"
             "                  beside it\n",
         {{"--block", "--set", "--archive"}, {"--lf"}},
         1,
         1,
         Dump},
        {"textures",
         "write every image of a texture archive as PNG",
         "usage: kestrel textures PATH... -o DIR [--levels] [--archive FILE|FOLDER] [-j N]\n"
         "                        [--quiet]\n"
         "\n"
         "FILE is a model (its texture archive is looked for beside it) or a texture\n"
         "archive. Writes every image, decoded at its own size, as 8-bit RGBA PNG\n"
         "DIR/NNN.png (NNN the image number) and prints one line per image.\n"
         "DIR is made when it does not exist. What check says of the archive (texels\n"
         "cut short, which are written as far as they go; images of no texels, which\n"
         "are not written) goes to standard error, and the exit status is then 1.\n"
         "  --levels         also the smaller levels an image stores after its first, as\n"
         "                   DIR/NNN-level1.png, DIR/NNN-level2.png and so on\n"
         "  --archive FILE   the model's texture archive, instead of the one beside it\n"
         "Several PATHs, or a folder (below): each archive found into a folder of its\n"
         "own, DIR/sub/NAME- for PATH/sub/NAME-, and a summary.\n" +
             FoldersHelp(),
         {{"-o", "--archive", "-j"}, {"--levels", "--quiet"}},
         1,
         SIZE_MAX,
         Textures},
        {"pack",
         "rebuild a texture archive with the PNG files of textures, edited",
         "usage: kestrel pack ARCHIVE DIR -o NEW_ARCHIVE\n"
         "\n"
         "Writes NEW_ARCHIVE: ARCHIVE with the pictures of DIR in place of its images.\n"
         "DIR holds PNG files named as 'kestrel textures ARCHIVE -o DIR' names them,\n"
         "NNN.png and NNN-levelK.png; other files are not looked at. The layout stays\n"
         "as it is: header, table, image headers and their order, every byte outside\n"
         "the texel data, each image's size and texel format. For each image:\n"
         "  - no picture, or one the same as the archive's: its bytes are kept, so an\n"
         "    unedited folder gives back ARCHIVE byte for byte\n"
         "  - an edited picture is stored in the image's format: 8-bit channels as\n"
         "    they are, narrower ones rounded to the nearest value, the intensity\n"
         "    formats as Rec. 601 luma (0.299 R + 0.587 G + 0.114 B, rounded), the\n"
         "    compressed format by stb_dxt's block compressor (alpha below 128 is\n"
         "    transparent)\n"
         "  - smaller levels: when the bytes after the first level are exactly whole\n"
         "    smaller levels, a level whose own picture was edited is stored from it,\n"
         "    and the others below a changed level are made anew from the level above\n"
         "    (2 x 2 box filter); other bytes there are kept, and the line says so\n"
         "Prints one line per image (replaced, kept, levels rebuilt), then a total.\n"
         "A picture of another size, a damaged PNG, a picture for an image or level\n"
         "the archive lacks, or an edit the archive cannot hold (an unknown texel\n"
         "format, texel data short of the first level) stops the pack: the message\n"
         "names the picture, nothing is written and the exit status is 1.\n",
         {{"-o"}, {}},
         2,
         2,
         Pack},
        {"render",
         "draw what the viewer shows into a PNG",
         "usage: kestrel render PATH... -o OUT.png|DIR [options]\n"
         "\n"
         "Draws the frame that the viewer would show for FILE (a model, or any other\n"
         "file as a point dump) with the viewer's own drawing code, offscreen.\n"
         "  --size WxH       picture size (default 640x480)\n"
         "  --pan X,Y        camera pan (default 0,-2)\n"
         "  --zoom Z         camera distance (default -55; more negative is farther)\n"
         "  --rotate X,Y     camera turn about x and y, degrees (default 0,0)\n"
         "  --no-axes        without the axes\n"
         "  --no-textures    without textures\n"
         "  --bbox           with the model's bounding box\n"
         "  --fit            place the camera so that the model's bounding box fills\n"
         "                   the picture (after --rotate; --pan and --zoom give way)\n"
         "  --transparent    keep the alpha OpenGL leaves (the background clears to\n"
         "                   alpha 0), for thumbnails and compositing; else opaque\n"
         "  --archive FILE   the model's texture archive, instead of the one beside it\n"
         "Several PATHs, or a folder (below): each model found drawn into DIR/sub/x.png\n"
         "for PATH/sub/x.model, each on an OpenGL context of its own, and a summary.\n" +
             FoldersHelp(),
         {{"-o", "--size", "--pan", "--zoom", "--rotate", "--archive", "-j"},
          {"--no-axes", "--no-textures", "--bbox", "--fit", "--transparent", "--quiet"}},
         1,
         SIZE_MAX,
         Render},
        {"export",
         "write what the viewer draws as glTF 2.0 (.glb or .gltf)",
         "usage: kestrel export PATH... -o OUT.glb|OUT.gltf|DIR [--format glb|gltf]\n"
         "                      [--no-textures] [--archive FILE|FOLDER] [-j N] [--quiet]\n"
         "\n"
         "Writes what the viewer draws of FILE (a model, or any other file as a point\n"
         "dump) as glTF 2.0, for Blender and game engines: the scenegraph as nodes,\n"
         "each visible node's polygons as a mesh with vertex colours, unlit materials\n"
         "with the viewer's alpha test, blending and culling, and the archive images\n"
         "its polygons use as PNG. The format goes by OUT's extension:\n"
         "  OUT.glb        one file, buffer and images inside\n"
         "  OUT.gltf       the JSON, with OUT.bin and OUT_NNN.png (NNN the archive\n"
         "                 image) beside it\n"
         "  --no-textures  vertex colours only, no images\n"
         "  --archive FILE the model's texture archive, instead of the one beside it\n"
         "A model whose texture archive is missing is written with vertex colours\n"
         "only. Prints the files written; on failure none is left.\n"
         "Several PATHs, or a folder (below): each model found into DIR/sub/x.glb for\n"
         "PATH/sub/x.model, and a summary.\n"
         "  --format gltf  DIR/sub/x.gltf with its .bin and images beside it instead\n" +
             FoldersHelp(),
         {{"-o", "--archive", "--format", "-j"}, {"--no-textures", "--quiet"}},
         1,
         SIZE_MAX,
         Export},
#ifdef _WIN32
        {"view",
         "open a file in the viewer, KestrelViewer.exe",
         "usage: kestrel view [FILE]\n"
         "\n"
         "Starts KestrelViewer.exe, which lies beside kestrel.exe, with FILE open, and\n"
         "waits until it is closed. A file the viewer cannot show is refused first.\n",
         {},
         0,
         1,
         View},
#else
        {"view",
         "show a model in a window, as the viewer does",
         "usage: kestrel view [FILE] [--size WxH] [--archive FILE]\n"
         "\n"
         "Opens a window (default 640x480) that draws FILE as the viewer does, with\n"
         "the viewer's own drawing code, 50 frames a second. Without FILE it shows the\n"
         "empty view; a file dropped on the window opens in its place.\n"
         "  --archive FILE   FILE's texture archive, instead of the one beside it\n"
         "\n"
         "keys:\n"
         "  arrows         pan, turn or zoom by the control mode (Shift: five times)\n"
         "  P R Z          control mode: pan, rotate, zoom\n"
         "  A T B          axes, textures, bounding box on and off\n"
         "  Home           the camera back where it starts\n"
         "  F              the camera where the model's bounding box fills the window\n"
         "  F12, Ctrl+S    save the frame as kestrel-view-NNN.png in the working folder\n"
         "  Q, Escape      quit\n"
         "mouse:\n"
         "  left drag      turn the model\n"
         "  right drag     move it (middle drag too)\n"
         "  wheel          bring it closer or send it away\n"
         "\n"
         "\n"
         "Needs a display (DISPLAY or WAYLAND_DISPLAY); kestrel render draws without one.\n",
         {{"--size", "--archive"}, {}},
         0,
         1,
         View},
#endif
        {"make-sample",
         "write the demo model, its archive and a point dump",
         "usage: kestrel make-sample DIR\n"
         "\n"
         "Writes the demo model, its texture archive and a point dump into DIR (made\n"
         "when it does not exist) and prints their paths.\n",
         {},
         1,
         1,
         MakeSample},
    };
    return commands;
}

void PrintUsage(std::ostream& out) {
    out << "usage: kestrel COMMAND [ARGS...]\n"
           "\n"
           "Looks inside the model files of the game Kestrel with the viewer's own readers.\n"
           "\n"
           "commands:\n";
    for (const Command& command : Commands()) {
        out << "  " << command.Name << std::string(14 - std::string(command.Name).size(), ' ')
            << command.Summary << "\n";
    }
    out << "\nRun 'kestrel COMMAND --help' or 'kestrel help COMMAND' for the options of a\n"
           "command, 'kestrel --version' for the version.\n";
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : Commands())
        if (name == command.Name)
            return &command;
    return nullptr;
}

int UnknownCommand(const std::string& name, std::ostream& err) {
    err << "kestrel: unknown command '" << name << "'\n";
    PrintUsage(err);
    return kExitUsage;
}

}  // namespace

int RunKestrel(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    if (words.empty()) {
        PrintUsage(err);
        return kExitUsage;
    }
    if (words[0] == "--version") {
        out << "kestrel " << KESTREL_VERSION << "\n";
        return kExitOk;
    }
    if (words[0] == "help" && words.size() == 2) {
        const Command* command = FindCommand(words[1]);
        if (!command)
            return UnknownCommand(words[1], err);
        out << command->Help;
        return kExitOk;
    }
    if (words[0] == "--help" || words[0] == "-h" || (words[0] == "help" && words.size() == 1)) {
        PrintUsage(out);
        return kExitOk;
    }
    if (const Command* found = FindCommand(words[0])) {
        const Command& command = *found;
        Args args;
        std::string error;
        std::vector<std::string> rest(words.begin() + 1, words.end());
        if (!ParseArgs(rest, command.Options, args, error)) {
            err << "kestrel " << command.Name << ": " << error << "\n" << command.Help;
            return kExitUsage;
        }
        if (args.Help) {
            out << command.Help;
            return kExitOk;
        }
        if (args.Positional.size() < command.MinFiles ||
            args.Positional.size() > command.MaxFiles) {
            err << "kestrel " << command.Name << ": wrong number of arguments\n" << command.Help;
            return kExitUsage;
        }
        int status = kExitFile;
        try {
            status = command.Run(args, out, err);
        } catch (const std::bad_alloc&) {
            // What a file asks for that this machine cannot give: an answer,
            // not a crash. Outputs appear whole or not at all.
            err << "kestrel " << command.Name << ": out of memory\n";
            return kExitFile;
        }
        // Output that did not arrive is a failure, whatever the command found.
        if (!out.flush()) {
            err << "kestrel " << command.Name << ": cannot write to standard output\n";
            return kExitFile;
        }
        return status;
    }
    if (words[0] == "help") {
        err << "kestrel help: wrong number of arguments\n";
        return kExitUsage;
    }
    return UnknownCommand(words[0], err);
}
