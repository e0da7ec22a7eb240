#pragma once
// The document of an open model file: the model, its texture archive, one GL
// texture object per archive image, and the drawing of all of it. Needs the
// view's GL context current from Load until destruction.

#include <cstdint>
#include <string>
#include <vector>

#include "document/Document.h"
#include "model/ModelFile.h"
#include "render/SceneWalk.h"
#include "render/TextureObjects.h"
#include "texture/TextureFile.h"

// Texels the texture objects of an archive may hold, per byte of the archive.
// Every image is held at least 64 x 64: an archive of nothing but 16 x 16
// images stored at 4 bits a texel needs 24.
inline constexpr uint64_t kUploadTexelsPerArchiveByte = 32;

class ModelScene {
  public:
    ModelScene() = default;
    // Deletes the texture objects: the GL context must be current.
    ~ModelScene() = default;
    ModelScene(const ModelScene&) = delete;
    ModelScene& operator=(const ModelScene&) = delete;

    // Reads the model, then the archive named by its TextureName beside the model
    // file, then uploads every image (only with `upload`: a view whose GL context
    // could not be made still shows the model's data). True only when all three
    // succeed; the model stays loaded when the archive is missing.
    bool Load(const std::string& path, bool upload = true);
    // The same with a document already read: takes its model and, when it has
    // one, the model's archive.
    bool Open(Document&& document, bool upload = true);
    // One texture object per archive image, in archive order, in place of any
    // made before. Always true.
    bool UploadTextures();
    // Whether the last Load found and read the archive: Textures is the model's.
    bool ArchiveLoaded() const { return archiveLoaded_; }

    const ModelFile& Model() const { return model_; }

    void SetTexturesEnabled(int32_t flag) { TexturesEnabled = flag; }
    // Draws node `node`, its subtree and its later siblings under the current matrix.
    void DrawNode(uint32_t node);
    // Draws the node's own geometry with the node's matrix current.
    void DrawPolygonSets(uint32_t node);
    // The header's box in yellow, under the current (camera) matrix.
    void DrawBoundingBox() const;
    // The work of the last walk: polygon sets visited, polygons and corners
    // sent. It never exceeds kDrawItemsPerFileByte per byte of the model file.
    int64_t ItemsSent() const { return walk_.ItemsSent(); }

    TextureFile Textures;
    TextureObjects TextureNames;  // element k: texture object of archive image k
    int32_t TexturesEnabled = 1;

  private:
    void PrepareWalk();

    ModelFile model_;
    bool archiveLoaded_ = false;
    SceneWalk walk_{model_};  // kept between frames so that a walk allocates nothing
};
