#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> words(argv + 1, argv + argc);
    int status = RunKestrel(words, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
