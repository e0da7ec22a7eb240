#include "model/FileKind.h"

#include "model/ByteSource.h"
#include "model/ByteSwap.h"

namespace {

// A read that delivers fewer than four bytes makes the test it serves fail.
bool ReadWordAt(ByteSource& source, uint64_t offset, uint32_t& word) {
    if (source.ReadAt(offset, &word, 4) != 4)
        return false;
    ByteSwap32(word);
    return true;
}

}  // namespace

FileKind IdentifyBytes(ByteSource& source) {
    uint32_t word = 0;
    if (ReadWordAt(source, 0, word) && word == kTextureArchiveMagic) {
        return FileKind::TextureArchive;
    }
    if (ReadWordAt(source, kFirstBlockOffsetPosition, word) && word == kModelHeaderSize) {
        return FileKind::ModelFile;
    }
    return FileKind::PointDump;
}

FileKind IdentifyFile(const std::string& path) {
    FileSource file;
    if (!file.Open(path))
        return FileKind::Unreadable;
    return IdentifyBytes(file);
}
