// view on Windows: the viewer itself, KestrelViewer.exe, started beside
// kestrel.exe with the file on its command line.

#include <windows.h>

#include <ostream>
#include <string>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "document/Document.h"
#include "model/ByteSource.h"
#include "model/FileKind.h"
#include "model/Utf8Path.h"

namespace {

// KestrelViewer.exe in the folder of the running kestrel.exe.
std::wstring ViewerBeside() {
    std::wstring self(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, self.data(), self.size());
        if (length < self.size()) {
            self.resize(length);
            break;
        }
        self.resize(self.size() * 2);
    }
    return WideFromUtf8(BesideFile(Utf8FromWide(self), "KestrelViewer.exe"));
}

}  // namespace

int View(const Args& args, std::ostream&, std::ostream& err) {
    std::wstring commandLine;
    if (!args.Positional.empty()) {
        // Refused as render refuses it, from its first words: the viewer reads
        // the file itself.
        Document document;
        document.Path = args.Positional[0];
        FileSource file;
        if (file.Open(document.Path))
            document.Kind = IdentifyBytes(file);
        else
            document.Error = file.Error();
        if (!Drawable(document, "view", err))
            return kExitFile;
        commandLine = L" \"" + WideFromUtf8(document.Path) + L"\"";
    }
    const std::wstring viewer = ViewerBeside();
    const DWORD attributes = GetFileAttributesW(viewer.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        err << "kestrel view: the viewer " << Utf8FromWide(viewer)
            << " is not there; it comes beside kestrel.exe\n";
        return kExitFile;
    }
    commandLine = L"\"" + viewer + L"\"" + commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(viewer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        err << "kestrel view: cannot start " << Utf8FromWide(viewer) << " (error "
            << GetLastError() << ")\n";
        return kExitFile;
    }
    // As on Linux, the command ends with the window.
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return kExitOk;
}
