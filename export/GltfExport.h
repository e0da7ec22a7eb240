#pragma once
// What the view draws of a model or a point dump, as a glTF 2.0 document: the
// scenegraph walk recorded as nodes, meshes and unlit materials, and the
// archive images its polygons use as PNG. Where the images go (into the
// binary buffer or into files beside) is the writer's choice (export/GltfFiles.h).

#include <tiny_gltf.h>

#include <cstdint>
#include <span>
#include <vector>

class ModelFile;
class TextureFile;

struct GltfDocument {
    tinygltf::Model Gltf;
    // Element k: the PNG bytes of glTF image k, not yet placed, and the
    // number of the archive image it shows.
    std::vector<std::vector<uint8_t>> Pngs;
    std::vector<int32_t> ArchiveImages;
};

// The model as the view walks it from its last node record. With `archive`
// null every polygon is untextured (no archive, or textures left out).
GltfDocument GltfOfModel(const ModelFile& model, const TextureFile* archive);

// The points the view draws of a point dump, as one white point cloud: `words`
// are the file's floats.
GltfDocument GltfOfPointDump(std::span<const float> words);

// Whether the document's scene has a node: a scene of none is no glTF that a
// reader accepts, and nothing is written of it.
inline bool HasNodes(const GltfDocument& document) {
    return !document.Gltf.scenes.empty() && !document.Gltf.scenes[0].nodes.empty();
}

// Moves the PNG images into the binary buffer, each image a buffer view.
void EmbedImages(GltfDocument& document);
