#include "tests/cli/RunKestrel.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/TempDir.h"

namespace {

std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

KestrelRun RunKestrelBinary(const std::vector<std::string>& words) {
    testsupport::TempDir capture;
    std::string command = Quote(KESTREL_BINARY);
    for (const std::string& word : words)
        command += " " + Quote(word);
    command += " >" + Quote(capture.File("out")) + " 2>" + Quote(capture.File("err"));
    int raw = std::system(command.c_str());
    KestrelRun run;
    run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.Out = Slurp(capture.File("out"));
    run.Err = Slurp(capture.File("err"));
    return run;
}
