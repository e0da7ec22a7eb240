#pragma once
// Appends drawable geometry to a sample::Model: every corner gets its own
// vertex, normal, colour and texture vertex, reached through the order lists.

#include <cstdint>
#include <string>
#include <vector>

#include "sample/ModelWriter.h"

namespace sample {

struct Corner {
    Vec3 P;
    Color C{255, 255, 255, 255};
    TexCoord T{};
    Vec3 N{0, 0, 1};
};
using PolygonCorners = std::vector<Corner>;

// Appends a component with one polygon set holding `polygons`; returns its index.
// Modes 2 leave the alpha and cull state as the component before left them.
int32_t AddComponent(Model& model, const std::vector<PolygonCorners>& polygons,
                     uint32_t alphaMode = 2, uint32_t cullMode = 2, int32_t textureMap = -1,
                     const std::string& name = {});

}  // namespace sample
