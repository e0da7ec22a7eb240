#pragma once
// A model that shows every kind of primitive, render state and scenegraph
// link the export maps, and its archive: for the read-back test and for the
// glTF validator.

#include <string>

#include "sample/ArchiveWriter.h"
#include "sample/ModelWriter.h"

namespace testsupport {

// Nodes by record: 0 points, 1 lines, 2 a textured triangle (child of 1), 3 a
// textured quad scaled unevenly and turned (child of the hidden 5), 4 a
// pentagon whose child link leads back to 0 and sibling link to the root,
// 6 a hexagon beside the root, 9 a twin of 4 under 6, 8 unreachable, 10 the
// root (the last record). Components set the alpha and cull state in walk
// order: 0 none, 2 alpha test and culling, 1 and then 4 keep what they find,
// 3 additive without culling, 6 alpha test without culling.
sample::Model EveryKindModel();
// Two 8 x 8 images, every texel different from the ones beside and above it;
// image 0 clamps in s and mirrors in t, image 1 repeats in s and has an
// unknown wrap code (9) in t. Only image 0 has a name in the model.
sample::Archive EveryKindArchive();

// Writes both into `folder` as every-kind.model and its archive.
bool WriteEveryKind(const std::string& folder, std::string& modelPath);

}  // namespace testsupport
