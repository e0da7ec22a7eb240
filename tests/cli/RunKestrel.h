#pragma once
// Runs the built `kestrel` binary as a user would and collects what it said.

#include <string>
#include <vector>

struct KestrelRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

KestrelRun RunKestrelBinary(const std::vector<std::string>& words);
