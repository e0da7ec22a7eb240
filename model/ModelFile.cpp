#include "model/ModelFile.h"

#include "model/ByteSource.h"
#include "model/ByteSwap.h"
#include "model/Irregularities.h"
#include "model/ReadBudget.h"
#include "model/Text.h"

#include <string>
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
    BlockReader(ByteSource& source, ReadBudget& budget, Irregularities* report)
        : source_(source), budget_(budget), report_(report) {}

    // Sizes `records` to the count (zero-filled), then fills what the file holds at
    // `offset`; records past the end of the file stay zero. `where()` names the
    // records for the report ("block 4", "block 27 area at 5120 list 3"); it is
    // made only when there is a report to tell, as a load reads thousands of lists.
    template <class T, class Where>
    void Read(uint32_t count, uint64_t offset, std::vector<T>& records, const char* kind,
              const Where& where) {
        AssignZeros(records, budget_.Grant(count, sizeof(T)));
        if (!records.empty())
            source_.ReadAt(offset, records.data(), records.size() * sizeof(T));
        if (report_)
            Check(count, offset, sizeof(T), records.size(), kind, where());
    }

    // An animation area whose header lies past the end of the file, or
    // runs past it.
    void CheckArea(uint32_t area) {
        const uint64_t end = uint64_t{area} + sizeof(AnimationSetHeader);
        if (report_ && end > source_.Size())
            report_->Add(
                "animation-area",
                "block 27 area at " + std::to_string(area) +
                    (area >= source_.Size() ? ": past the end of the file ("
                                            : ": its header runs past the end of the file (") +
                    std::to_string(source_.Size()) + " bytes; read as zeros)");
    }

    // Frames whose share of lists 4 to 8 runs past the list's end.
    void CheckFrames(uint32_t area, const AnimationSet& set) {
        if (!report_)
            return;
        uint64_t sizes[5] = {};
        set.ForEachList([&](int list, const auto& records) {
            if (list >= 4 && list <= 8)
                sizes[list - 4] = records.size();
        });
        for (size_t j = 0; j < set.Frames.size(); ++j) {
            for (int n = 0; n < 5; ++n) {
                const FrameRange& range = set.Frames[j].Ranges[n];
                const uint64_t end = uint64_t{range.First} + range.Count;
                if (end <= sizes[n] || report_->CountIfFull("frame-range"))
                    continue;
                report_->Add("frame-range", "block 27 area at " + std::to_string(area) + " frame " +
                                                std::to_string(j) + ": list " +
                                                std::to_string(n + 4) + " records " +
                                                std::to_string(range.First) + " to " +
                                                std::to_string(end - 1) + " run past the list (" +
                                                Counted(sizes[n], "record") + ")");
            }
        }
    }

  private:
    void Check(uint64_t count, uint64_t offset, uint64_t size, uint64_t held, const char* kind,
               const std::string& where) {
        const uint64_t fileSize = source_.Size();
        const uint64_t inFile = offset < fileSize ? (fileSize - offset) / size : 0;
        if (count > inFile) {
            std::string line = where + ": " + Counted(count, "record") + " at offset " +
                               std::to_string(offset) + " run past the end of the file (" +
                               std::to_string(inFile) + " in it";
            if (held > inFile)
                line += ", " + std::to_string(held - inFile) + " read as zeros";
            else if (held < inFile)
                line += ", " + std::to_string(held) + " of them held: the read budget is spent";
            if (held < count)
                line += ", " + std::to_string(count - held) + " not held";
            report_->Add(kind, line + ")");
        } else if (held < count) {
            report_->Add("read-budget", where + ": " + Counted(count, "record") + ", " +
                                            std::to_string(held) +
                                            " held (the file's read budget is spent)");
        }
    }

    ByteSource& source_;
    ReadBudget& budget_;
    Irregularities* report_;
};

// The area at `area`: its header, then each list found through its offset from
// the start of the area (a 32-bit sum, as the game computes it).
std::shared_ptr<const AnimationSet> ReadAnimationSet(ByteSource& source, BlockReader& reader,
                                                     uint32_t area) {
    auto set = std::make_shared<AnimationSet>();
    reader.CheckArea(area);
    source.ReadAt(area, &set->Header, sizeof set->Header);
    ByteSwapWords(&set->Header, sizeof set->Header / 4);
    const AnimationSetHeader& h = set->Header;
    set->ForEachList([&](int list, auto& records) {
        const size_t n = static_cast<size_t>(list - 2);
        reader.Read(h.SubCount[n], static_cast<uint32_t>(area + h.SubOffset[n]), records,
                    "animation-list", [&] {
                        return "block 27 area at " + std::to_string(area) + " list " +
                               std::to_string(list);
                    });
        ConvertWords(records, 0, list == kPlaneControlList ? 0 : kEveryWord);
    });
    reader.CheckFrames(area, *set);
    return set;
}

}  // namespace

bool ModelFile::Load(const std::string& path, Irregularities* report) {
    path_ = path;
    FileSource file;
    if (!file.Open(path))
        return false;
    // The blocks are read in bulk; the animation sets, thousands of small
    // reads all over the file, through a window.
    WindowedSource windowed(file);
    LoadFrom(windowed, report);
    return true;
}

void ModelFile::LoadFrom(ByteSource& source, Irregularities* report) {
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
    BlockReader reader(source, budget, report);
    VisitBlocks(*this, [&](const BlockInfo& block, auto& records) {
        const size_t slot = static_cast<size_t>(block.Number - 2);
        reader.Read(header_.BlockCount[slot], header_.BlockOffset[slot], records, "short-block",
                    [&] { return "block " + std::to_string(block.Number); });
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
