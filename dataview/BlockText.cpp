#include <cstring>

#include "dataview/DataText.h"
#include "dataview/TextAppend.h"
#include "model/ModelFile.h"
#include "model/Text.h"
#include "texture/TextureFile.h"

namespace dataview {

const std::string_view kSeparator =
    "------------------------------------------------------------\r\n\r\n";

namespace {

// "Block N: Title" and the line end, from the block table.
std::string Heading(int block) {
    return "Block " + std::to_string(block) + ": " + FindBlock(block)->Title + "\r\n";
}

// Starts a block's text with its title and the Separator, with room for
// `records` lines of about `lineSize` characters.
std::string Begin(std::string_view title, size_t records, size_t lineSize) {
    std::string text;
    text.reserve(title.size() + kSeparator.size() + records * lineSize);
    text += title;
    text += kSeparator;
    return text;
}

// A block of records printed one after the other by `line`.
template <class Record, class Line>
std::string Records(std::string_view title, const std::vector<Record>& records, size_t lineSize,
                    Line line) {
    std::string text = Begin(title, records.size(), lineSize);
    for (size_t i = 0; i < records.size(); ++i)
        line(text, RecordNumber{i}, records[i]);
    return text;
}

// The 32-bit words of a record from `offset` on, as the signed values shown.
template <size_t N, class Record>
std::array<int32_t, N> Words(const Record& record, size_t offset) {
    static_assert(sizeof(int32_t) * N <= sizeof(Record));
    std::array<int32_t, N> words;
    std::memcpy(words.data(), reinterpret_cast<const char*>(&record) + offset, sizeof words);
    return words;
}

std::string Components(const ModelFile& model) {
    return Records(Heading(2), model.Components(), 340,
                   [](std::string& text, RecordNumber i, const ScenegraphComponentRecord& r) {
                       auto w = Words<kComponentWordCount>(r, kComponentWordsOffset);
                       AppendFormat(text,
                                    "%3llu: %-32s\r\n"
                                    "    %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i\r\n"
                                    "    %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i\r\n"
                                    "    %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i\r\n\r\n",
                                    i, FieldText(r.Name).c_str(), w[0], w[1], w[2], w[3], w[4],
                                    w[5], w[6], w[7], w[8], w[9], w[10], w[11], w[12], w[13], w[14],
                                    w[15], w[16], w[17], w[18], w[19], w[20], w[21], w[22], w[23],
                                    w[24], w[25]);
                   });
}

// Blocks 5 and 10: one index a line.
std::string OrderList(std::string_view title, const std::vector<uint32_t>& entries) {
    return Records(title, entries, 11, [](std::string& text, RecordNumber i, uint32_t entry) {
        AppendFormat(text, "%3llu: %4i\r\n", i, static_cast<int32_t>(entry));
    });
}

// Blocks 4 and 6.
template <class Record>
std::string Triples(std::string_view title, const std::vector<Record>& records) {
    return Records(title, records, 32, [](std::string& text, RecordNumber i, const Record& r) {
        AppendFormat(text, "%3llu: % 7.3f, % 7.3f, % 7.3f\r\n", i, r.X, r.Y, r.Z);
    });
}

// The second line of a block-21 record: the wrap and format of its image.
void AppendImageLine(std::string& text, const TextureFile* archive, int32_t index) {
    if (!archive) {
        text += "\t(no texture archive loaded)\r\n\r\n";
    } else if (index < 0 || index >= archive->ImageCount() ||
               static_cast<size_t>(index) >= archive->ImageHeaders.size()) {
        AppendFormat(text, "\t(no image %i in the texture archive)\r\n\r\n", index);
    } else {
        const ImageHeader& image = archive->ImageHeaders[static_cast<size_t>(index)];
        AppendFormat(text, "\tFormat: %4i\tWrap_S: %4i\tWrap_T: %4i\r\n\r\n",
                     static_cast<int32_t>(image.Format), static_cast<int32_t>(image.Wrap_S),
                     static_cast<int32_t>(image.Wrap_T));
    }
}

std::string TextureDefinitions(const ModelFile& model, const TextureFile* archive) {
    return Records(Heading(21), model.TextureDefinitions(), 96,
                   [archive](std::string& text, RecordNumber i, const TextureDefinitionRecord& r) {
                       AppendFormat(text, "%3llu: %4i, %4i, %4i, %-32s\r\n", i,
                                    static_cast<int32_t>(r.Unknown0), r.TextureIndex,
                                    static_cast<int32_t>(r.Unknown2), FieldText(r.Name).c_str());
                       AppendImageLine(text, archive, r.TextureIndex);
                   });
}

std::string PolygonSets(const ModelFile& model) {
    return Records(
        Heading(22), model.PolygonSets(), 260,
        [](std::string& text, RecordNumber i, const PolygonSetRecord& r) {
            // Word 26 is not shown.
            auto w = Words<kPolygonSetWordCount>(r, 0);
            AppendFormat(text,
                         "%3llu: %4i, %4i, %4i, %4i, %4i, \r\n"
                         "     %4i, %4i, %4i, %4i, %4i, %4i, %4i, %08X, %4i, \r\n"
                         "     %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i, %4i\r\n\r\n",
                         i, w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], w[9], w[10],
                         w[11], static_cast<uint32_t>(w[12]), w[13], w[14], w[15], w[16], w[17],
                         w[18], w[19], w[20], w[21], w[22], w[23], w[24], w[25]);
            text += kSeparator;
        });
}

std::string Transforms(const ModelFile& model) {
    const std::vector<float>& floats = model.Transforms();
    std::string text = Begin(Heading(24), floats.size(), 10);
    if (floats.empty())
        return text;
    // One row per node transformation, labelled with the number of its first float.
    text +=
        "           1        2        3        4        5        6        7        8"
        "        9       10       11       12       13       14       15       16"
        "       17       18       19       20       21       22       23       24";
    for (size_t i = 0; i < floats.size(); ++i) {
        if (i % 24 == 0)
            AppendFormat(text, "\r\n%3llu: % 7.3f", RecordNumber{i}, floats[i]);
        else
            AppendFormat(text, ", % 7.3f", floats[i]);
    }
    return text;
}

}  // namespace

int FindEntry(int block) {
    for (size_t i = 0; i < kDataViewEntries.size(); ++i) {
        if (kDataViewEntries[i].Block == block)
            return static_cast<int>(i);
    }
    return -1;
}

std::string NoModelText() {
    return "No model file is loaded.\r\n";
}

std::string HeaderText(const ModelFile& model) {
    const ModelHeader& h = model.Header();
    std::string text = "Header:\r\n";
    text += kSeparator;
    const float* box = h.BoundingBox;
    AppendFormat(text,
                 "Model:\t\t%-64s\r\nTexture:\t%-64s\r\nDate:\t\t%-64s\r\n"
                 "Unknowns:\t%4i\r\n\t\t%4i\r\n\t\t%4i\r\n\r\n"
                 "Bounding Box Coordinates:\r\n"
                 "\t(%7.3f, %7.3f, %7.3f)\r\n\t(%7.3f, %7.3f, %7.3f)",
                 FieldText(h.ModelName).c_str(), FieldText(h.TextureName).c_str(),
                 FieldText(h.Date).c_str(), h.Unknowns[0], h.Unknowns[1], h.Unknowns[2], box[0],
                 box[1], box[2], box[3], box[4], box[5]);
    return text;
}

std::string BlockText(const ModelFile& model, const TextureFile* archive, int block) {
    switch (block) {
        case 2:
            return Components(model);
        case 3:
            return Records(Heading(3), model.Polygons(), 17,
                           [](std::string& text, RecordNumber i, const PolygonRecord& r) {
                               AppendFormat(text, "%3llu: %4i, %4i\r\n", i,
                                            static_cast<int32_t>(r.First),
                                            static_cast<int32_t>(r.VertexCount));
                           });
        case 4:
            return Triples(Heading(4), model.Vertices());
        case 5:
            return OrderList(Heading(5), model.VertexOrder());
        case 6:
            return Triples(Heading(6), model.Normals());
        case 8:
            return Records(Heading(8), model.Colors(), 23,
                           [](std::string& text, RecordNumber i, const ColorRecord& c) {
                               AppendFormat(text, "%3llu: (%3i,%3i,%3i,%3i)\r\n", i, c.R, c.G, c.B,
                                            c.A);
                           });
        case 10:
            return OrderList(Heading(10), model.TexVertexOrder());
        case 19:
            return Records(Heading(19), model.Block19(), 59,
                           [](std::string& text, RecordNumber i, const Block19Record& r) {
                               const float* v = r.Values;
                               AppendFormat(text,
                                            "%3llu: % 7.3f, % 7.3f, % 7.3f, % 7.3f, % 7.3f, "
                                            "% 7.3f\r\n",
                                            i, v[0], v[1], v[2], v[3], v[4], v[5]);
                           });
        case 20:
            return Records(Heading(20), model.TextureMaps(), 17,
                           [](std::string& text, RecordNumber i, const TextureMapRecord& r) {
                               AppendFormat(text, "%3llu: %4i, %4i\r\n", i, r.TextureIndex,
                                            static_cast<int32_t>(r.Unknown1));
                           });
        case 21:
            return TextureDefinitions(model, archive);
        case 22:
            return PolygonSets(model);
        case 23:
            return Records(Heading(23), model.Visibility(), 11,
                           [](std::string& text, RecordNumber i, uint8_t flag) {
                               AppendFormat(text, "%3llu: %4i\r\n", i, static_cast<int8_t>(flag));
                           });
        case 24:
            return Transforms(model);
        case 25:
            return Records(Heading(25), model.Nodes(), 60,
                           [](std::string& text, RecordNumber i, const ScenegraphNodeRecord& r) {
                               AppendFormat(text, "%3llu: %-16s, %4i, %4i, %4i, %4i, %4i, %4i\r\n",
                                            i, FieldText(r.Name).c_str(), r.NextSibling,
                                            r.FirstChild, r.Component, r.Visibility, r.Transform,
                                            r.Unknown21);
                           });
        case 26:
            return Records(Heading(26), model.AnimationSetIndex(), 45,
                           [](std::string& text, RecordNumber i, const AnimationSetIndexRecord& r) {
                               AppendFormat(text, "%3llu: %-16s, %4i, %4i, %08X\r\n", i,
                                            FieldText(r.Name).c_str(),
                                            static_cast<int32_t>(r.Unknown13),
                                            static_cast<int32_t>(r.Unknown14), r.DataOffset);
                           });
        default:
            return {};
    }
}

std::string EntryText(const ModelFile* model, const TextureFile* archive, int entry, int64_t set) {
    if (!model)
        return NoModelText();
    if (entry < 0 || static_cast<size_t>(entry) >= kDataViewEntries.size())
        return {};
    int block = kDataViewEntries[static_cast<size_t>(entry)].Block;
    if (block == kHeaderBlock)
        return HeaderText(*model);
    if (block == kAnimationBlock)
        return AnimationText(*model, set);
    return BlockText(*model, archive, block);
}

}  // namespace dataview
