#include <algorithm>

#include "dataview/DataText.h"
#include "dataview/TextAppend.h"
#include "model/ModelFile.h"
#include "model/Text.h"

namespace dataview {

namespace {

constexpr std::string_view kTitle = "Block 27: Animation Data\r\n";

// Frames may share records, so the sections grouped by frame could print far
// more lines than the set holds. Beyond its lists' records plus this many lines,
// a frame's records are named by range instead of printed.
constexpr uint64_t kExtraFrameLines = uint64_t{1} << 20;

// Lists 4, 5 and 8: a word followed by its bytes from the most significant
// (the order of the file), each signed.
void AppendLine(std::string& text, RecordNumber r, uint32_t word) {
    AppendFormat(text, "%3llu: %08X (% 4i,% 4i,% 4i,% 4i)\r\n", r, word,
                 static_cast<int8_t>(word >> 24), static_cast<int8_t>(word >> 16),
                 static_cast<int8_t>(word >> 8), static_cast<int8_t>(word));
}

void AppendLine(std::string& text, RecordNumber r, const TextureControlRecord& c) {
    const uint32_t first = c.Words[0];
    AppendFormat(text, "%3llu: %08X, %08X, %08X (% 4i,% 4i,% 4i,% 4i)\r\n", r, c.Words[0],
                 c.Words[1], c.Words[2], static_cast<int8_t>(first >> 24),
                 static_cast<int8_t>(first >> 16), static_cast<int8_t>(first >> 8),
                 static_cast<int8_t>(first));
}

void AppendLine(std::string& text, RecordNumber r, const PlaneControlRecord& p) {
    AppendFormat(text, "%3llu: %3i, %3i, %3i, %3i\r\n", r, p.Byte0, p.Byte1, p.Byte2, p.Byte3);
}

class FrameSections {
  public:
    FrameSections(std::string& text, const AnimationSet& set) : text_(text), set_(set) {
        budget_ = kExtraFrameLines + set.List4.size() + set.List5.size() +
                  set.TextureControl.size() + set.PlaneControl.size() + set.AnimationControl.size();
    }

    // List `list` (4 to 8): its heading, then each frame's records and "----".
    template <class Record>
    void Section(int list, std::string_view heading, const std::vector<Record>& records) {
        if (records.empty())
            return;
        text_ += heading;
        text_ += kSeparator;
        for (const FrameRecord& frame : set_.Frames) {
            const FrameRange& range = frame.Ranges[list - 4];
            const uint64_t first = range.First;
            const uint64_t end = first + range.Count;  // never wraps in 64 bits
            const uint64_t held = std::min<uint64_t>(end, records.size());
            const uint64_t shown = first < held ? std::min(held - first, budget_) : 0;
            for (uint64_t r = first; r < first + shown; ++r)
                AppendLine(text_, r, records[r]);
            budget_ -= shown;
            if (first + shown < held)
                AppendFormat(text_, "     (records %llu to %llu not shown: too many lines)\r\n",
                             static_cast<RecordNumber>(first + shown),
                             static_cast<RecordNumber>(held - 1));
            if (end > records.size())
                AppendFormat(text_, "     (records %llu to %llu are past the end of the list)\r\n",
                             static_cast<RecordNumber>(std::max<uint64_t>(first, records.size())),
                             static_cast<RecordNumber>(end - 1));
            text_ += "----\r\n";
        }
    }

  private:
    std::string& text_;
    const AnimationSet& set_;
    uint64_t budget_;
};

}  // namespace

std::string AnimationText(const ModelFile& model, int64_t set) {
    std::string text(kTitle);
    const size_t sets = std::min(model.AnimationSets().size(), model.AnimationSetIndex().size());
    if (sets == 0) {
        text += kSeparator;
        text += "This model has no animation sets.\r\n";
        return text;
    }
    if (set < 0 || static_cast<uint64_t>(set) >= sets) {
        text += kSeparator;
        AppendFormat(text, "No animation set %lld: the sets are numbered 0 to %llu.\r\n",
                     static_cast<long long>(set), static_cast<RecordNumber>(sets - 1));
        return text;
    }
    const size_t s = static_cast<size_t>(set);
    const AnimationSet& data = *model.AnimationSets()[s];

    text += "Set: ";
    text += FieldText(model.AnimationSetIndex()[s].Name);
    text += "\r\n";
    text += kSeparator;

    const float* c = data.Header.Coordinates;
    text += "Header\r\n";
    text += kSeparator;
    AppendFormat(text, "Coordinates:\r\n\t(%7.3f, %7.3f, %7.3f)\r\n\t(%7.3f, %7.3f, %7.3f)\r\n",
                 c[0], c[1], c[2], c[3], c[4], c[5]);

    text += "\r\nSet Info\r\n";
    text += kSeparator;
    for (size_t j = 0; j < data.SetInfo.size(); ++j) {
        const SetInfoRecord& info = data.SetInfo[j];
        AppendFormat(text, "%3llu:\tLoop:\t%4i\r\n\tUnknown:%4i\r\n\tTime:\t%7.3f\r\n",
                     RecordNumber{j}, static_cast<int32_t>(info.Loop),
                     static_cast<int32_t>(info.Unknown), info.Time);
    }

    text += "\r\nFrame List\r\n";
    text += kSeparator;
    text += "              4________  5________  6________  7________  8________\r\n";
    for (size_t j = 0; j < data.Frames.size(); ++j) {
        const FrameRecord& f = data.Frames[j];
        auto word = [&f](int n) {
            const FrameRange& range = f.Ranges[n / 2];
            return static_cast<int32_t>(n % 2 == 0 ? range.First : range.Count);
        };
        AppendFormat(text, "%3llu: %7.3f, %4i,%4i, %4i,%4i, %4i,%4i, %4i,%4i, %4i,%4i\r\n",
                     RecordNumber{j}, f.Time, word(0), word(1), word(2), word(3), word(4), word(5),
                     word(6), word(7), word(8), word(9));
    }

    FrameSections sections(text, data);
    sections.Section(4, "\r\n4: Unknown\r\n", data.List4);
    sections.Section(5, "\r\n5: Unknown\r\n", data.List5);
    sections.Section(6, "\r\n6: Texture Control\r\n", data.TextureControl);
    sections.Section(7, "\r\n7: Plane Control\r\n", data.PlaneControl);
    sections.Section(8, "\r\n8: Animation Control?\r\n", data.AnimationControl);

    text += "\r\n9: Unknown\r\n";
    text += kSeparator;
    for (size_t j = 0; j < data.List9.size(); ++j) {
        const List9Record& r = data.List9[j];
        AppendFormat(text, "%3llu: %4i, %4i\r\n", RecordNumber{j}, static_cast<int32_t>(r.Word0),
                     static_cast<int32_t>(r.Word1));
    }
    return text;
}

}  // namespace dataview
