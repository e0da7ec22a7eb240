#pragma once
// The blocks a model file holds, in the order they are read: what the program
// knows about each of them, in one table that the loader, the counts, the
// titles, the data-view entries and every sweep over the blocks walk. Where
// ModelFile keeps each block's records is ModelFile::ForEachBlock.

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/Records.h"

struct BlockInfo {
    int Number;
    const char* Title;  // blocks 7, 9 and 18 have no title of their own in the game's tools
    bool Shown;         // the Data View has a text for it
    // The 32-bit words converted in each record: WordCount of them from byte
    // WordsFrom on; kEveryWord for all, 0 for records of single bytes.
    size_t WordsFrom;
    size_t WordCount;
};

inline constexpr size_t kEveryWord = SIZE_MAX;

inline constexpr std::array<BlockInfo, 18> kModelBlocks{{
    {2, "Scenegraph Components", true, kComponentWordsOffset, kComponentWordCount},
    {3, "Polygons", true, 0, kEveryWord},
    {4, "Vertices", true, 0, kEveryWord},
    {5, "Vertex Order", true, 0, kEveryWord},
    {6, "Normals", true, 0, kEveryWord},
    {7, "Normal Order", false, 0, kEveryWord},
    {8, "Color", true, 0, 0},
    {9, "Color Order", false, 0, kEveryWord},
    {10, "Texture Vertex Order", true, 0, kEveryWord},
    // Blocks 11 to 17 are never read.
    {18, "Texture Vertices", false, 0, kEveryWord},
    {19, "Unknown", true, 0, kEveryWord},
    {20, "Texture Map", true, 0, kEveryWord},
    {21, "Texture Definition", true, 0, 3},  // the name stays as it is
    {22, "Polygon Set", true, 0, kEveryWord},
    {23, "Scenegraph Component Visibility", true, 0, 0},
    {24, "Model Transformations", true, 0, kEveryWord},
    {25, "Scenegraph", true, offsetof(ScenegraphNodeRecord, NextSibling), 6},
    {26, "Animation Set Index", true, offsetof(AnimationSetIndexRecord, Unknown13), 3},
}};

// The row of block `number`, or null for a number that is no block read.
constexpr const BlockInfo* FindBlock(int number) {
    for (const BlockInfo& block : kModelBlocks)
        if (block.Number == number)
            return &block;
    return nullptr;
}
