#pragma once
// Drawing steps shared by the scene, the view and the command-line renderer.

#include <cstdint>
#include <vector>

#include "model/Records.h"

// Multiplies the current matrix by NodeMatrix: a scenegraph node's placement.
void ApplyNodeTransform(const NodeTransformRecord& t);

// The 12 edges of the box with corners (x1, y1, z1) and (x2, y2, z2), in yellow,
// with culling and texturing switched off.
void DrawBox(float x1, float y1, float z1, float x2, float y2, float z2);

// The current read buffer of the current context as RGBA bytes, row 0 at the
// top; `opaque`, as the viewer's window shows it (it has no alpha planes),
// else with the alpha OpenGL left.
std::vector<uint8_t> ReadFramePixels(int width, int height, bool opaque = false);
