#pragma once
// What a run over folders asks of the console it runs in: whether standard
// error is a terminal, and Ctrl+C as a request to stop rather than the end of
// the process. The platform's calls for it are here and nowhere else.

#include <iosfwd>

// True when `stream` is the process's standard output or error and that is a
// terminal.
bool IsTerminal(const std::ostream& stream);

// While one lives, Ctrl+C (SIGINT) ends nothing: it asks the run to stop,
// and Asked() says so. Standard output closed under the run (a pipe whose
// reader left) is a failed write, not the end of the process either.
class StopRequests {
  public:
    StopRequests();
    ~StopRequests();  // the handlers before are back
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;

    static bool Asked();
};
