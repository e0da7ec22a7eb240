#include <unistd.h>

#include <csignal>
#include <iostream>
#include <optional>

#include "cli/Cli.h"
#include "cli/TerminalText.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // A write over the file size limit fails like any other, and is reported;
    // the signal would end the program with a file half written.
    std::signal(SIGXFSZ, SIG_IGN);
    // On a terminal, names from the files are shown, never obeyed; redirected
    // output stays byte for byte.
    std::streambuf* const stdoutBuffer = std::cout.rdbuf();
    std::streambuf* const stderrBuffer = std::cerr.rdbuf();
    std::optional<TerminalTextBuffer> out, err;
    if (isatty(STDOUT_FILENO))
        std::cout.rdbuf(&out.emplace(stdoutBuffer));
    if (isatty(STDERR_FILENO))
        std::cerr.rdbuf(&err.emplace(stderrBuffer));
    std::vector<std::string> words(argv + 1, argv + argc);
    int status = RunKestrel(words, std::cout, std::cerr);
    std::cout.flush();
    // The streams outlive these buffers.
    std::cout.rdbuf(stdoutBuffer);
    std::cerr.rdbuf(stderrBuffer);
    return status;
}
