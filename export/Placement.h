#pragma once
// A node of the walk placed by its matrix, as glTF nodes.

#include <tiny_gltf.h>

#include <array>

// Where a node's children and mesh go, and what goes into its parent.
struct Placed {
    int Outer;
    int Inner;
};

// Adds `node` placed by matrix m (column-major), as its translation, rotation
// and scale. glTF takes those only in that order; the view's steps scale after
// turning, so a node scaled unevenly and turned has a sheared matrix m = T S R.
// That one becomes two nodes, T S holding the inner R, whose product is m.
// A matrix that is not finite shows nothing in the view: scale 0 hides it.
Placed Place(tinygltf::Model& gltf, tinygltf::Node node, const std::array<float, 16>& m);
