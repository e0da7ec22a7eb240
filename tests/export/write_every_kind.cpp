// Writes the every-kind model and its archive into a folder and prints the
// model's path, for the glTF validation script.
//   write_every_kind DIR

#include <cstdio>
#include <string>

#include "tests/export/ExportSample.h"

int main(int argc, char** argv) {
    std::string model;
    if (argc != 2 || !testsupport::WriteEveryKind(argv[1], model)) {
        std::fprintf(stderr, "usage: write_every_kind DIR (an existing folder)\n");
        return 1;
    }
    std::printf("%s\n", model.c_str());
    return 0;
}
