#pragma once
// A model file described field by field, and the writer that lays it out
// big-endian: header, blocks 2 to 10 and 18 to 26 in order, then one area per
// animation set. Tests build hostile files by overriding the directory.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sample {

struct Vec3 {
    float X = 0, Y = 0, Z = 0;
};

struct Component {  // block 2
    std::string Name;
    int32_t VertexBase = 0;
    int32_t Unknown17 = 0;
    std::array<uint32_t, 4> Unknown18to21{};
    int32_t TexVertexBase = 0;
    int32_t Unknown23 = 0;
    int32_t Unknown24 = 0;
    std::array<uint32_t, 13> Unknown25to37{};
    int32_t FirstPolygonSet = 0;
    int32_t PolygonSetCount = 0;
    uint32_t AlphaMode = 0;
    uint32_t CullMode = 0;
};

struct Polygon {  // block 3
    uint32_t First = 0;
    uint32_t VertexCount = 0;
};

struct Color {  // block 8
    uint8_t R = 0, G = 0, B = 0, A = 0;
};

struct TexCoord {  // block 18
    float S = 0, T = 0;
};

struct TextureMap {  // block 20
    int32_t TextureIndex = 0;
    uint32_t Unknown1 = 0;
};

struct TextureDefinition {  // block 21
    uint32_t Unknown0 = 0;
    int32_t TextureIndex = 0;
    uint32_t Unknown2 = 0;
    std::string Name;
};

struct PolygonSet {  // block 22
    std::array<uint32_t, 4> Unknown0to3{};
    int32_t TextureMap = -1;
    std::array<uint32_t, 7> Unknown5to11{};
    uint32_t Unknown12 = 0;
    uint32_t Unknown13 = 0;
    int32_t FirstPolygon = 0;
    int32_t PolygonCount = 0;
    int32_t VertexOrderBase = 0;
    int32_t NormalOrderBase = 0;
    int32_t ColorOrderBase = 0;
    int32_t TexVertexOrderBase = 0;
    std::array<uint32_t, 7> Unknown20to26{};
};

struct Node {  // block 25
    std::string Name;
    int32_t NextSibling = -1;
    int32_t FirstChild = -1;
    int32_t Component = -1;
    int32_t Visibility = 0;
    int32_t Transform = 0;
    int32_t Unknown21 = 0;
};

struct SetInfoEntry {  // list 2
    uint32_t Loop = 0;
    uint32_t Unknown = 0;
    float Time = 0;
};

struct Frame {  // list 3: Ranges[n] = first record and count in list n + 4
    float Time = 0;
    std::array<std::array<uint32_t, 2>, 5> Ranges{};
};

// The area of one animation set (block 27).
struct AnimationData {
    uint32_t Unknown0 = 0;
    std::array<float, 6> Coordinates{};
    std::vector<SetInfoEntry> SetInfo;  // list 2
    std::vector<Frame> Frames;          // list 3
    std::vector<uint32_t> List4;
    std::vector<uint32_t> List5;
    std::vector<std::array<uint32_t, 3>> TextureControl;  // list 6
    std::vector<std::array<uint8_t, 4>> PlaneControl;     // list 7, bytes as in the file
    std::vector<uint32_t> AnimationControl;               // list 8
    std::vector<std::array<uint32_t, 2>> List9;
    // The order in which lists 2 to 9 follow the area's header (entries 0 to 7).
    std::array<int, 8> ListOrder{0, 1, 2, 3, 4, 5, 6, 7};
    // Replace the header's count or offset of list n + 2 (hostile files).
    std::map<int, uint32_t> CountOverride;
    std::map<int, uint32_t> OffsetOverride;
};

struct AnimationSet {  // block 26 record and its area
    std::string Name;
    uint32_t Unknown13 = 0;
    uint32_t Unknown14 = 0;
    AnimationData Data;
    // Point at the area of an earlier set instead of writing one of its own.
    int SharesDataWith = -1;
    // Store this DataOffset, whatever was written.
    std::optional<uint32_t> DataOffset;
};

struct Model {
    uint32_t Unknown0 = 0;
    std::string ModelName;
    std::string TextureName;
    std::string Date;
    std::array<int32_t, 3> Unknowns{};
    std::array<float, 6> BoundingBox{};

    std::vector<Component> Components;                  // block 2
    std::vector<Polygon> Polygons;                      // block 3
    std::vector<Vec3> Vertices;                         // block 4
    std::vector<uint32_t> VertexOrder;                  // block 5
    std::vector<Vec3> Normals;                          // block 6
    std::vector<uint32_t> NormalOrder;                  // block 7
    std::vector<Color> Colors;                          // block 8
    std::vector<uint32_t> ColorOrder;                   // block 9
    std::vector<uint32_t> TexVertexOrder;               // block 10
    std::vector<TexCoord> TexVertices;                  // block 18
    std::vector<std::array<float, 6>> Block19;          // block 19
    std::vector<TextureMap> TextureMaps;                // block 20
    std::vector<TextureDefinition> TextureDefinitions;  // block 21
    std::vector<PolygonSet> PolygonSets;                // block 22
    std::vector<uint8_t> Visibility;                    // block 23
    std::vector<float> Transforms;                      // block 24
    std::vector<Node> Nodes;                            // block 25
    std::vector<AnimationSet> AnimationSets;            // blocks 26 and 27

    // Replace directory entries after layout, by slot (block - 2); slots 9 to
    // 15 (blocks 11 to 17) are zero unless set here.
    std::map<int, uint32_t> CountOverride;
    std::map<int, uint32_t> OffsetOverride;
};

// The bytes of the model file.
std::vector<uint8_t> WriteModel(const Model& model);

// Appends the 24 floats of a node transform that places a node at (x, y, z),
// scaled by `scale`, turned by the given angles about x, y, z (degrees, applied
// as stored) and returns the index of its first float.
int32_t AddTransform(Model& model, Vec3 translate, Vec3 rotate = {}, Vec3 scale = {1, 1, 1},
                     Vec3 doubledRotate = {});

}  // namespace sample
