#pragma once
// A glTF document written out: as one .glb, or as a .gltf with its buffer and
// images in files beside it.

#include <string>
#include <vector>

#include "export/GltfExport.h"

enum class GltfFormat { Unknown, Binary, Text };

// By the extension of `path`: .glb or .gltf, in any case.
GltfFormat GltfFormatOf(const std::string& path);

// Writes `document` to `path` in the format its extension names. A .glb holds
// buffer and PNG images; a .gltf named OUT.gltf gets OUT.bin and OUT_NNN.png
// (NNN the archive image) beside it, referenced by relative URIs. Every file is
// written under a name of its own and renamed when all are complete: on
// failure none is left, and `error` says why. `written` gets the paths.
bool WriteGltfFiles(const std::string& path, GltfDocument& document,
                    std::vector<std::string>& written, std::string& error);
