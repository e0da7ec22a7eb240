#pragma once
// The demo: a model and its texture archive that show what the viewer draws
// (every texel format, vertex colours, alpha-tested and additive parts, culled
// and double-sided parts, nested nodes with both kinds of rotation, a hidden
// node with visible children, animation sets), and a point dump. About 40
// units across around the origin, so the view's first camera frames it.

#include <cstdint>
#include <string>
#include <vector>

#include "sample/ArchiveWriter.h"
#include "sample/ModelWriter.h"

namespace sample {

// The model's TextureName; its archive is this name with a hyphen appended.
inline constexpr const char* kDemoTextureName = "kestrel-demo";

Model DemoModel();
Archive DemoArchive();
// A point dump: the words before the first drawn one, then a spiral of points.
std::vector<uint8_t> DemoPointDump();

struct DemoFiles {
    std::string Model;
    std::string Archive;
    std::string PointDump;
};

// Writes the three files into `folder` (UTF-8, must exist) and returns their
// paths; false when one cannot be written.
bool WriteDemo(const std::string& folder, DemoFiles& files);

}  // namespace sample
