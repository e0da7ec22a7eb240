#pragma once
// Small models for the drawing tests, written with the sample writer and read
// back by the real reader, so every value goes through the file's byte order.

#include <cstdint>
#include <memory>
#include <vector>

#include "sample/MeshBuilder.h"
#include "sample/ModelWriter.h"
#include "texture/ModelScene.h"

namespace testsupport {

using Corner = sample::Corner;
using PolygonCorners = sample::PolygonCorners;

struct ComponentStyle {
    uint32_t AlphaMode = 2;  // leaves the alpha state alone
    uint32_t CullMode = 2;   // leaves culling alone
    int32_t TextureMap = -1;
};

// Appends a component with one polygon set holding `polygons`. Returns its index.
int32_t AddComponent(sample::Model& model, const std::vector<PolygonCorners>& polygons,
                     ComponentStyle style = {});

// A component of one point at the origin in colour `c`.
int32_t AddMarker(sample::Model& model, sample::Color c);

// Appends a node placed by `translate` (see sample::AddTransform), with a
// visibility byte of its own. Returns its index.
int32_t AddNode(sample::Model& model, int32_t component, sample::Vec3 translate = {},
                uint8_t visibility = 1);

// The model read back through the reader, without an archive.
std::unique_ptr<ModelScene> SceneOf(const sample::Model& model);

// glGetError until it reports no error; the first error seen, or GL_NO_ERROR.
unsigned FirstGlError();

}  // namespace testsupport
