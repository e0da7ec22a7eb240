// Writes the demo model, its texture archive and a point dump into a folder
// (a Windows path), for the end-to-end run of the viewer.

#include <cstdio>

#include "sample/DemoScene.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo FOLDER\n");
        return 2;
    }
    sample::DemoFiles files;
    if (!sample::WriteDemo(argv[1], files)) {
        std::fprintf(stderr, "make_demo: cannot write into %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", files.Model.c_str());
    return 0;
}
