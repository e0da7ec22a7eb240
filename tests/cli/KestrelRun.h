#pragma once
// `kestrel` run in the test's own process, and what it said.

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace testsupport {

struct Said {
    int Status = -1;
    std::string Out, Err;
};

inline Said Kestrel(const std::vector<std::string>& words) {
    std::ostringstream out, err;
    const int status = RunKestrel(words, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace testsupport
