#pragma once
// The benchmarks' large model: a textured, vertex-coloured grid 40 units
// across, `squares` x `squares` squares of two triangles each, named to use
// the archive "grid-", whose one image is 256 x 256.

#include "sample/ArchiveWriter.h"
#include "sample/ModelWriter.h"

sample::Model GridModel(int squares);
sample::Archive GridArchive();
