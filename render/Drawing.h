#pragma once
// Drawing steps shared by the scene, the view and the command-line renderer.

#include "model/Records.h"

// Multiplies the current matrix by NodeMatrix: a scenegraph node's placement.
void ApplyNodeTransform(const NodeTransformRecord& t);

// The 12 edges of the box with corners (x1, y1, z1) and (x2, y2, z2), in yellow,
// with culling and texturing switched off.
void DrawBox(float x1, float y1, float z1, float x2, float y2, float z2);
