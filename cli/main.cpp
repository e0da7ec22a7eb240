#include <csignal>
#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // A write over the file size limit fails like any other, and is reported;
    // the signal would end the program with a file half written.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> words(argv + 1, argv + argc);
    int status = RunKestrel(words, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
