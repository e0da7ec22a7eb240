#pragma once
// Files the programs write (pictures, exports): each appears whole or not at
// all. The bytes go to a file of their own beside the target, which is renamed
// over it when complete, so a reader never sees half a file and a failed write
// leaves the old one. A symbolic link at the target stays and its target is
// replaced; anything there that is not a regular file (a folder, a device, a
// FIFO) is never replaced. Folders missing on the way are made. Paths are UTF-8.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

// Puts a file's contents into the open file; false when a write fails.
using FileWriter = std::function<bool(std::FILE*)>;

// A writer of the bytes given; they must outlive it.
FileWriter BytesWriter(std::span<const uint8_t> bytes);

struct OutputFile {
    std::string Path;
    FileWriter Write;
};

// Writes one file. On failure returns false and says why in `error`
// ("cannot write PATH: ...").
bool WriteFileAtomically(const std::string& path, const FileWriter& write, std::string& error);
inline bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                std::string& error) {
    return WriteFileAtomically(path, BytesWriter(bytes), error);
}

// All or nothing: every file written in full before any is renamed into place;
// on failure none of them is left.
bool WriteFilesAtomically(std::span<const OutputFile> files, std::string& error);
