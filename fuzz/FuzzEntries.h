#pragma once
// What each fuzzer does with one input: the readers, the decoders, the texts
// and the drawing, run on bytes in memory. The fuzzers and the test that
// replays found inputs call the same functions, so a fixed finding stays fixed.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace fuzz {

using Bytes = std::span<const uint8_t>;

// IdentifyBytes on the input.
void Identify(Bytes input);
// ModelFile::LoadFrom, then what the loaded model promises: no block holds
// more records than the file could, and all of them together stay in budget;
// what it tells of the file stays a few lines of each kind.
void LoadModel(Bytes input);
// TextureFile::LoadFrom, then DecodeImage of every image (and of numbers that
// name none).
void LoadArchive(Bytes input);
// One data-view text of a model and its archive: the first byte chooses the
// entry (low 7 bits, numbers past both ends included) and whether the archive
// is given (bit 7 clear), the second the animation set (signed), the rest is a
// pair (see SplitPair). One text an input keeps every input cheap.
void DataViewTexts(Bytes input);
// The two choice bytes that DataViewTexts reads before the pair.
std::vector<uint8_t> DataViewChoice(int entry, int8_t set, bool archive);
// A model and its archive (a pair) checked, then loaded, uploaded and drawn as
// the view draws a frame, on an offscreen context made once per process.
void DrawScene(Bytes input);
// ReadPointWords, as the loader reads a point dump.
void LoadPointDump(Bytes input);
// A model and its archive (a pair) exported as glTF, and the whole input as a
// point dump: what glTF requires of the document holds, and it is written as
// a .glb in memory.
void ExportGltf(Bytes input);

// A picture packed into a small archive (PackArchive with ReadPng): the
// first byte chooses the image and level it stands for (PackChoice), the rest
// is the PNG file. Refused with a reason and no bytes, or packed into an
// archive of the same layout that the readers find sound and that packs back
// to itself from its own pictures.
void PackPicture(Bytes input);
// The archive PackPicture packs into, and the choice byte of a picture.
std::vector<uint8_t> PackArchiveBytes();
uint8_t PackChoice(int32_t image, int level);

// A model and its archive in one input: a little-endian 32-bit length, that
// many bytes of model (fewer when the input ends), then the archive.
struct Pair {
    Bytes Model;
    Bytes Archive;
};
Pair SplitPair(Bytes input);
std::vector<uint8_t> JoinPair(Bytes model, Bytes archive);

struct Target {
    std::string_view Name;
    void (*Run)(Bytes input);
};

inline constexpr std::array<Target, 8> kTargets{{
    {"identify", Identify},
    {"model", LoadModel},
    {"archive", LoadArchive},
    {"dataview", DataViewTexts},
    {"scene", DrawScene},
    {"point_dump", LoadPointDump},
    {"export", ExportGltf},
    {"pack", PackPicture},
}};

// The target of that name, or null.
const Target* FindTarget(std::string_view name);

}  // namespace fuzz
