#include "cli/Console.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Set from the signal handler: lock-free, so the handler may touch it.
std::atomic<bool> stopAsked{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void AskToStop(int) {
    stopAsked = true;
}

using Handler = void (*)(int);
Handler interruptBefore = SIG_DFL;
#ifndef _WIN32
Handler pipeBefore = SIG_DFL;
#endif

}  // namespace

bool IsTerminal(const std::ostream& stream) {
    if (&stream != &std::cout && &stream != &std::cerr)
        return false;
    const bool error = &stream == &std::cerr;
#ifdef _WIN32
    return _isatty(_fileno(error ? stderr : stdout)) != 0;
#else
    return isatty(error ? STDERR_FILENO : STDOUT_FILENO) != 0;
#endif
}

StopRequests::StopRequests() {
    stopAsked = false;
    interruptBefore = std::signal(SIGINT, AskToStop);
#ifndef _WIN32
    pipeBefore = std::signal(SIGPIPE, SIG_IGN);
#endif
}

StopRequests::~StopRequests() {
    std::signal(SIGINT, interruptBefore);
#ifndef _WIN32
    std::signal(SIGPIPE, pipeBefore);
#endif
}

bool StopRequests::Asked() {
    return stopAsked;
}
