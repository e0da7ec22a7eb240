// Writes the demo model, its texture archive and a point dump into a folder
// (a Windows path), for the end-to-end run of the viewer.

#include <cstdio>

#include "sample/DemoScene.h"

int main(int argc, char** argv) {
    sample::DemoFiles files;
    if (argc == 2 && sample::WriteDemo(argv[1], files))
        return 0;
    std::fprintf(stderr, "usage: make_demo FOLDER (a folder it can write into)\n");
    return 1;
}
