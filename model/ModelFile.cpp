#include "model/ModelFile.h"

#include "model/ByteSource.h"
#include "model/ByteSwap.h"
#include "model/ReadBudget.h"

#include <unordered_map>

namespace {

// Converts `words` consecutive words that start `offset` bytes into each record
// (kEveryWord: all of them).
template <class T>
void ConvertWords(std::vector<T>& records, size_t offset, size_t words) {
    if (words == kEveryWord) {
        if constexpr (sizeof(T) % 4 == 0)
            ByteSwapWords(records.data(), records.size() * sizeof(T) / 4);
        return;
    }
    for (T& record : records)
        ByteSwapWords(reinterpret_cast<unsigned char*>(&record) + offset, words);
}

class BlockReader {
  public:
    BlockReader(ByteSource& source, ReadBudget& budget) : source_(source), budget_(budget) {}

    // Sizes `records` to the count (zero-filled), then fills what the file holds at
    // `offset`; records past the end of the file stay zero.
    template <class T>
    void Read(uint32_t count, uint64_t offset, std::vector<T>& records) {
        records.assign(budget_.Grant(count, sizeof(T)), T{});
        if (!records.empty())
            source_.ReadAt(offset, records.data(), records.size() * sizeof(T));
    }

  private:
    ByteSource& source_;
    ReadBudget& budget_;
};

// The area at `area`: its header, then each list found through its offset from
// the start of the area (a 32-bit sum, as the game computes it).
std::shared_ptr<const AnimationSet> ReadAnimationSet(ByteSource& source, BlockReader& reader,
                                                     uint32_t area) {
    auto set = std::make_shared<AnimationSet>();
    source.ReadAt(area, &set->Header, sizeof set->Header);
    ByteSwapWords(&set->Header, sizeof set->Header / 4);
    const AnimationSetHeader& h = set->Header;
    set->ForEachList([&](int list, auto& records) {
        const size_t n = static_cast<size_t>(list - 2);
        reader.Read(h.SubCount[n], static_cast<uint32_t>(area + h.SubOffset[n]), records);
        ConvertWords(records, 0, list == kPlaneControlList ? 0 : kEveryWord);
    });
    return set;
}

}  // namespace

bool ModelFile::Load(const std::string& path) {
    path_ = path;
    FileSource file;
    if (!file.Open(path))
        return false;
    // The blocks are read in bulk; the animation sets, thousands of small
    // reads all over the file, through a window.
    WindowedSource windowed(file);
    LoadFrom(windowed);
    return true;
}

void ModelFile::LoadFrom(ByteSource& source) {
    std::string path = std::move(path_);
    *this = ModelFile();
    path_ = std::move(path);

    fileSize_ = source.Size();
    source.ReadAt(0, &header_, sizeof header_);
    ByteSwap32(header_.Unknown0);
    ByteSwapWords(header_.Unknowns, 3);
    ByteSwapWords(header_.BoundingBox, 6);
    ByteSwapWords(header_.BlockCount, 25);
    ByteSwapWords(header_.BlockOffset, 25);

    ReadBudget budget(source.Size());
    BlockReader reader(source, budget);
    VisitBlocks(*this, [&](const BlockInfo& block, auto& records) {
        const size_t slot = static_cast<size_t>(block.Number - 2);
        reader.Read(header_.BlockCount[slot], header_.BlockOffset[slot], records);
        ConvertWords(records, block.WordsFrom, block.WordCount);
    });

    // Block 27: one area per block-26 record. Records that name the same area
    // get the same set: it is read once, so no set loses records to the budget
    // that another one already spent.
    std::unordered_map<uint32_t, size_t> firstSetOf;  // area -> first set that names it
    firstSetOf.reserve(animationSetIndex_.size());
    animationSets_.reserve(animationSetIndex_.size());
    for (const AnimationSetIndexRecord& record : animationSetIndex_) {
        const auto [first, isNew] = firstSetOf.emplace(record.DataOffset, animationSets_.size());
        animationSets_.push_back(isNew ? ReadAnimationSet(source, reader, record.DataOffset)
                                       : animationSets_[first->second]);
    }
}

size_t ModelFile::BlockRecordCount(int block) const {
    size_t count = 0;
    ForEachBlock([&](const BlockInfo& info, const auto& records) {
        if (info.Number == block)
            count = records.size();
    });
    return count;
}
