#pragma once
// The records of a model file, each with exactly the layout and size of its
// record in the file, so that a block is read in one bulk read and converted
// in place. Fields named Unknown are loaded and shown, never interpreted.

#include <cstddef>
#include <cstdint>

// The 432-byte header at file offset 0; it ends in the block directory.
struct ModelHeader {
    uint32_t Unknown0;
    char ModelName[64];
    char TextureName[64];
    char Date[64];
    int32_t Unknowns[3];
    float BoundingBox[6];      // x, y, z of one corner, then of the opposite one
    uint32_t BlockCount[25];   // slot k: record count of block k + 2
    uint32_t BlockOffset[25];  // slot k: absolute file offset of block k + 2
};
static_assert(sizeof(ModelHeader) == 432);
static_assert(offsetof(ModelHeader, ModelName) == 4);
static_assert(offsetof(ModelHeader, TextureName) == 68);
static_assert(offsetof(ModelHeader, Date) == 132);
static_assert(offsetof(ModelHeader, Unknowns) == 196);
static_assert(offsetof(ModelHeader, BoundingBox) == 208);
static_assert(offsetof(ModelHeader, BlockCount) == 232);
static_assert(offsetof(ModelHeader, BlockOffset) == 332);

// Block 2: one mesh component; scenegraph nodes point at components.
struct ScenegraphComponentRecord {
    char Name[64];
    int32_t VertexBase;  // added to block-5 entries: index into block 4
    int32_t Unknown17;
    uint32_t Unknown18;
    uint32_t Unknown19;
    uint32_t Unknown20;
    uint32_t Unknown21;
    int32_t TexVertexBase;  // added to block-10 entries: index into block 18
    int32_t Unknown23;
    int32_t Unknown24;
    uint32_t Unknown25[13];  // Unknown25 to Unknown37
    int32_t FirstPolygonSet;
    int32_t PolygonSetCount;
    uint32_t AlphaMode;  // an AlphaMode, or any other value: unchanged
    uint32_t CullMode;   // a CullMode, or any other value: unchanged
};
static_assert(sizeof(ScenegraphComponentRecord) == 168);
static_assert(offsetof(ScenegraphComponentRecord, VertexBase) == 64);
static_assert(offsetof(ScenegraphComponentRecord, TexVertexBase) == 88);
static_assert(offsetof(ScenegraphComponentRecord, Unknown25) == 100);
static_assert(offsetof(ScenegraphComponentRecord, FirstPolygonSet) == 152);
static_assert(offsetof(ScenegraphComponentRecord, CullMode) == 164);
// What a component's AlphaMode and CullMode ask of the drawing of its
// polygons. Any other value leaves the state as the component before left it.
enum class AlphaMode : uint32_t {
    Test = 0,      // only texels whose alpha is over kAlphaCutoff, unblended
    Additive = 3,  // blended: colour times alpha added to what is there
};
enum class CullMode : uint32_t {
    Cull = 1,  // back faces are not drawn
    None = 3,
};
inline constexpr double kAlphaCutoff = 0.95;

inline constexpr size_t kComponentWordsOffset = 64;
inline constexpr size_t kComponentWordCount = 26;

// Block 3.
struct PolygonRecord {
    uint32_t First;  // first corner in the order lists, relative to the set's bases
    uint32_t VertexCount;
};
static_assert(sizeof(PolygonRecord) == 8);

// Block 4.
struct VertexRecord {
    float X, Y, Z;
};
static_assert(sizeof(VertexRecord) == 12);

// Block 6.
struct NormalRecord {
    float X, Y, Z;
};
static_assert(sizeof(NormalRecord) == 12);

// Block 8: bytes, never converted.
struct ColorRecord {
    uint8_t R, G, B, A;
};
static_assert(sizeof(ColorRecord) == 4);

// Block 18.
struct TextureVertexRecord {
    float S, T;
};
static_assert(sizeof(TextureVertexRecord) == 8);

// Block 19: read and shown, used by nothing else.
struct Block19Record {
    float Values[6];
};
static_assert(sizeof(Block19Record) == 24);

// Block 20.
struct TextureMapRecord {
    int32_t TextureIndex;  // image number in the texture archive
    uint32_t Unknown1;
};
static_assert(sizeof(TextureMapRecord) == 8);

// Block 21.
struct TextureDefinitionRecord {
    uint32_t Unknown0;
    int32_t TextureIndex;
    uint32_t Unknown2;
    char Name[52];
};
static_assert(sizeof(TextureDefinitionRecord) == 64);
static_assert(offsetof(TextureDefinitionRecord, Name) == 12);

// Block 22: a run of polygons drawn with one texture.
struct PolygonSetRecord {
    uint32_t Unknown0;
    uint32_t Unknown1;
    uint32_t Unknown2;
    uint32_t Unknown3;
    int32_t TextureMap;    // block-20 index or -1
    uint32_t Unknown5[7];  // Unknown5 to Unknown11
    uint32_t Unknown12;
    uint32_t Unknown13;
    int32_t FirstPolygon;
    int32_t PolygonCount;
    int32_t VertexOrderBase;
    int32_t NormalOrderBase;
    int32_t ColorOrderBase;
    int32_t TexVertexOrderBase;
    uint32_t Unknown20[7];  // Unknown20 to Unknown26
};
static_assert(sizeof(PolygonSetRecord) == 108);
static_assert(offsetof(PolygonSetRecord, TextureMap) == 16);
static_assert(offsetof(PolygonSetRecord, Unknown12) == 48);
static_assert(offsetof(PolygonSetRecord, FirstPolygon) == 56);
static_assert(offsetof(PolygonSetRecord, TexVertexOrderBase) == 76);
static_assert(offsetof(PolygonSetRecord, Unknown20) == 80);
inline constexpr size_t kPolygonSetWordCount = 27;

// Block 25: first-child / next-sibling tree; the last record is the root.
struct ScenegraphNodeRecord {
    char Name[64];
    int32_t NextSibling;
    int32_t FirstChild;
    int32_t Component;   // block-2 index or -1
    int32_t Visibility;  // block-23 index
    int32_t Transform;   // first of 24 block-24 floats
    int32_t Unknown21;
};
static_assert(sizeof(ScenegraphNodeRecord) == 88);
static_assert(offsetof(ScenegraphNodeRecord, NextSibling) == 64);
static_assert(offsetof(ScenegraphNodeRecord, Unknown21) == 84);

// Block 24 is one flat table of floats. A node's placement is the 24 of them
// from its Transform index on (T0 to T23), by role; read from the vertex
// outward: moved by -InnerOffset, turned by twice HalfTurn (x, then y, then
// z), moved by Between, turned by Turn, moved by -PostScaleOffset, scaled,
// moved by PreScaleTranslate, then by Translate.
struct NodeTransformRecord {
    float Translate[3];          // T0 to T2
    float Scale[3];              // T3 to T5
    float HalfTurn[3];           // T6 to T8: degrees, applied twice over
    float Turn[3];               // T9 to T11: degrees
    float Between[3];            // T12 to T14
    float InnerOffset[3];        // T15 to T17, applied negated
    float PreScaleTranslate[3];  // T18 to T20
    float PostScaleOffset[3];    // T21 to T23, applied negated
};
static_assert(sizeof(NodeTransformRecord) == 96);
static_assert(offsetof(NodeTransformRecord, Scale) == 3 * 4);
static_assert(offsetof(NodeTransformRecord, HalfTurn) == 6 * 4);
static_assert(offsetof(NodeTransformRecord, Turn) == 9 * 4);
static_assert(offsetof(NodeTransformRecord, Between) == 12 * 4);
static_assert(offsetof(NodeTransformRecord, InnerOffset) == 15 * 4);
static_assert(offsetof(NodeTransformRecord, PreScaleTranslate) == 18 * 4);
static_assert(offsetof(NodeTransformRecord, PostScaleOffset) == 21 * 4);
inline constexpr size_t kNodeTransformFloats = sizeof(NodeTransformRecord) / sizeof(float);

// Block 26: where each animation set's data lies.
struct AnimationSetIndexRecord {
    char Name[52];
    uint32_t Unknown13;
    uint32_t Unknown14;
    uint32_t DataOffset;  // absolute file offset of the set's area in block 27
};
static_assert(sizeof(AnimationSetIndexRecord) == 64);
static_assert(offsetof(AnimationSetIndexRecord, DataOffset) == 60);

// Block 27: each set's area starts with this header; offsets are relative to it.
struct AnimationSetHeader {
    uint32_t Unknown0;
    uint32_t SubCount[8];   // entry n: record count of list n + 2
    uint32_t SubOffset[8];  // entry n: offset of list n + 2 from the area's start
    float Coordinates[6];
};
static_assert(sizeof(AnimationSetHeader) == 92);
static_assert(offsetof(AnimationSetHeader, SubOffset) == 36);
static_assert(offsetof(AnimationSetHeader, Coordinates) == 68);

// List 2.
struct SetInfoRecord {
    uint32_t Loop;
    uint32_t Unknown;
    float Time;
};
static_assert(sizeof(SetInfoRecord) == 12);

// A frame's share of one of lists 4 to 8: records First to First + Count - 1.
struct FrameRange {
    uint32_t First;
    uint32_t Count;
};

// List 3: Ranges[n] belongs to list n + 4.
struct FrameRecord {
    float Time;
    FrameRange Ranges[5];
};
static_assert(sizeof(FrameRecord) == 44);

// List 6.
struct TextureControlRecord {
    uint32_t Words[3];
};
static_assert(sizeof(TextureControlRecord) == 12);

// List 7: bytes, never converted.
struct PlaneControlRecord {
    uint8_t Byte0;
    int8_t Byte1;
    uint8_t Byte2;
    uint8_t Byte3;
};
static_assert(sizeof(PlaneControlRecord) == 4);

// List 9.
struct List9Record {
    uint32_t Word0;
    uint32_t Word1;
};
static_assert(sizeof(List9Record) == 8);
