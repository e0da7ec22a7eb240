#include "texture/TextureFile.h"

#include <algorithm>

#include "model/ByteSource.h"
#include "model/ByteSwap.h"
#include "model/ReadBudget.h"

bool TextureFile::Load(const std::string& name) {
    FileName = name + "-";
    FileSource file;
    if (!file.Open(FileName))
        return false;
    LoadFrom(file);
    return true;
}

void TextureFile::LoadFrom(ByteSource& source) {
    Images.clear();
    Entries.clear();
    ImageHeaders.clear();
    Header = {};

    const uint64_t fileSize = source.Size();
    ReadBudget budget(fileSize);

    source.ReadAt(0, &Header, sizeof Header);
    ByteSwapWords(&Header, 3);

    // The table always follows the header, whatever TableOffset says.
    Entries.assign(budget.Grant(Header.ImageCount, sizeof(ImageTableEntry)), ImageTableEntry{});
    source.ReadAt(kArchiveTableOffset, Entries.data(), Entries.size() * sizeof(ImageTableEntry));
    ByteSwapWords(Entries.data(), Entries.size() * 2);

    ImageHeaders.assign(Entries.size(), ImageHeader{});
    for (size_t i = 0; i < Entries.size(); ++i) {
        ImageHeader& h = ImageHeaders[i];
        source.ReadAt(Entries[i].HeaderOffset, &h, sizeof h);
        ByteSwap16(h.Height);
        ByteSwap16(h.Width);
        ByteSwapWords(&h.Format, 6);
        ByteSwap32(h.Unknown8);
    }

    // Image i's data runs to the next image's TexelOffset, the last one's to the end
    // of the file; each is clamped to the file, and a negative length is empty.
    Images.resize(ImageHeaders.size());
    for (size_t i = 0; i < Images.size(); ++i) {
        Images[i].Header = &ImageHeaders[i];
        uint64_t begin = std::min<uint64_t>(ImageHeaders[i].TexelOffset, fileSize);
        uint64_t end = i + 1 < Images.size() ? ImageHeaders[i + 1].TexelOffset : fileSize;
        end = std::min(end, fileSize);
        uint64_t length = end > begin ? end - begin : 0;
        Images[i].Data.resize(budget.Grant(length, 1));
        source.ReadAt(begin, Images[i].Data.data(), Images[i].Data.size());
    }
}
