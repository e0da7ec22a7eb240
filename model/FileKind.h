#pragma once
// What an opened file is, decided from two big-endian words.

#include <cstdint>
#include <string>

class ByteSource;

enum class FileKind : int32_t {
    Unreadable = 0,      // the file could not be opened
    TextureArchive = 1,  // first word is the archive magic
    ModelFile = 2,       // the word at offset 332 (first block offset) is 432
    PointDump = 3,       // anything else
};

inline constexpr uint32_t kTextureArchiveMagic = 0x0020AF30;  // 2142000
inline constexpr uint32_t kModelHeaderSize = 432;
inline constexpr uint64_t kFirstBlockOffsetPosition = 332;

FileKind IdentifyFile(const std::string& path);
FileKind IdentifyBytes(ByteSource& source);
