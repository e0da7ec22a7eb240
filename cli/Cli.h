#pragma once
// The `kestrel` command: subcommands over the viewer's own readers and texts.

#include <iosfwd>
#include <string>
#include <vector>

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFile = 1;   // a file cannot be read or written
inline constexpr int kExitUsage = 2;  // wrong usage

// Runs `kestrel` with its words (without the program name).
int RunKestrel(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
