#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/Cli.h"
#include "cli/Console.h"
#include "cli/TerminalText.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "model/Utf8Path.h"
#endif

namespace {

int Run(const std::vector<std::string>& words) {
    std::ios::sync_with_stdio(false);
    // On a terminal, names from the files are shown, never obeyed; redirected
    // output stays byte for byte.
    std::streambuf* const stdoutBuffer = std::cout.rdbuf();
    std::streambuf* const stderrBuffer = std::cerr.rdbuf();
    std::optional<TerminalTextBuffer> out, err;
    if (IsTerminal(std::cout))
        std::cout.rdbuf(&out.emplace(stdoutBuffer));
    if (IsTerminal(std::cerr))
        std::cerr.rdbuf(&err.emplace(stderrBuffer));
    int status = RunKestrel(words, std::cout, std::cerr);
    std::cout.flush();
    // The streams outlive these buffers.
    std::cout.rdbuf(stdoutBuffer);
    std::cerr.rdbuf(stderrBuffer);
    return status;
}

}  // namespace

#ifdef _WIN32

// The words as Windows hands them over, in UTF-16, so that any path arrives.
int wmain(int argc, wchar_t** argv) {
    // The same bytes as on Linux: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Text is UTF-8: a console shows it as such while the command runs.
    const UINT codePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i)
        words.push_back(Utf8FromWide(argv[i]));
    const int status = Run(words);
    SetConsoleOutputCP(codePage);
    return status;
}

#else

int main(int argc, char** argv) {
    // A write over the file size limit fails like any other, and is reported;
    // the signal would end the program with a file half written.
    std::signal(SIGXFSZ, SIG_IGN);
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}

#endif
