#pragma once
// The blocks a model file holds, in the order they are read: number, title and
// record size. Blocks 7, 9 and 18 have no title of their own in the game's tools.

#include <array>
#include <cstddef>

struct BlockInfo {
    int Number;
    const char* Title;
    size_t RecordSize;
};

inline constexpr std::array<BlockInfo, 18> kModelBlocks{{
    {2, "Scenegraph Components", 168},
    {3, "Polygons", 8},
    {4, "Vertices", 12},
    {5, "Vertex Order", 4},
    {6, "Normals", 12},
    {7, "Normal Order", 4},
    {8, "Color", 4},
    {9, "Color Order", 4},
    {10, "Texture Vertex Order", 4},
    {18, "Texture Vertices", 8},
    {19, "Unknown", 24},
    {20, "Texture Map", 8},
    {21, "Texture Definition", 64},
    {22, "Polygon Set", 108},
    {23, "Scenegraph Component Visibility", 1},
    {24, "Model Transformations", 4},
    {25, "Scenegraph", 88},
    {26, "Animation Set Index", 64},
}};
