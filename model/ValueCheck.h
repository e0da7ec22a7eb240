#pragma once
// Floats that no model holds: not finite, or past kHugeValue, where a float's
// steps are wider than a hundred units and a drawing or an export of them
// means nothing. The readers keep them as they are (the view draws what the
// file says); the check names them.

#include <span>

class Irregularities;
class ModelFile;

inline constexpr float kHugeValue = 1e9f;

// Tells `found` of each such float in the bounding box, the vertices, normals,
// texture coordinates and node transforms (block 24).
void CheckValues(const ModelFile& model, Irregularities& found);
// The same for the points of a point dump, three floats to a point.
void CheckPointValues(std::span<const float> points, Irregularities& found);
