#pragma once
// The scenegraph walk as the view draws it, apart from OpenGL: which nodes are
// placed where, under which parent, which component state is set, which
// polygons are sent with which corners and image. The drawing, the glTF export
// and the check all follow this one walk, so they cannot disagree about what
// a file shows. Every index read from the file is checked where it is
// followed; what points outside its table is skipped (and told to an
// Irregularities log when one is given).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/ModelFile.h"

class Irregularities;

// What one walk of the scenegraph may send, per byte of the model file. A model
// drawn once over needs well under 1; instancing its components under
// thousands of nodes stays far below this.
inline constexpr int64_t kDrawItemsPerFileByte = 16;

// The modelview stack every OpenGL has (its minimum); the view's camera takes
// one entry of it.
inline constexpr size_t kMatrixStackDepth = 32;
inline constexpr size_t kNodeNestingLimit = kMatrixStackDepth - 1;

// A node's placement: the product of the drawing's twelve translate, scale and
// rotate steps, column-major as glMultMatrixf takes it.
std::array<float, 16> NodeMatrix(const NodeTransformRecord& t);

struct WalkCorner {
    const VertexRecord* Position = nullptr;         // never null in a walk
    const ColorRecord* Color = nullptr;             // null: opaque white
    const NormalRecord* Normal = nullptr;           // null: (0, 0, 1)
    const TextureVertexRecord* TexCoord = nullptr;  // null: (0, 0); only when textured
};

struct WalkPolygon {
    // Decides the primitive: 1 points, 2 lines, 3 triangles, 4 a quad, any
    // other count (0 too) one polygon.
    uint32_t VertexCount = 0;
    int32_t Image = -1;  // archive image drawn on it; -1 untextured
    // The corners that have a position, in order.
    std::span<const WalkCorner> Corners;
};

// Receives the walk in drawing order. A node is entered (placed under its
// parent's matrix), its children walked, its own polygons sent, then left.
class SceneListener {
  public:
    virtual ~SceneListener() = default;
    virtual void Enter(uint32_t node, const NodeTransformRecord& transform) = 0;
    virtual void Leave(uint32_t node) = 0;
    // Before a visible node's polygons: its component, whose AlphaMode and
    // CullMode change the render state (other values leave it as it was).
    virtual void Component(uint32_t node, const ScenegraphComponentRecord& component) = 0;
    virtual void Polygon(const WalkPolygon& polygon) = 0;
};

class SceneWalk {
  public:
    explicit SceneWalk(const ModelFile& model) : model_(model) {}

    // Walks node `root`, its subtree and its later siblings. A node is entered
    // once per walk: cycles and shared subtrees end there.
    void Walk(uint32_t root, SceneListener& listener);
    // Sends one node's own polygons, as if its matrix were current.
    void Sets(uint32_t node, SceneListener& listener);

    // The work of the last walk: polygon sets visited, polygons and corners
    // sent. It never exceeds kDrawItemsPerFileByte per byte of the model file.
    int64_t ItemsSent() const { return itemsSent_; }
    // Element k: node k was entered by the last walk.
    const std::vector<uint8_t>& Reached() const { return reached_; }

    // How many archive images polygons may be drawn with; -1 when nothing is
    // textured (no archive, texturing off).
    int32_t Images = -1;
    // How deep nodes may nest under the walk's start.
    size_t Nesting = kNodeNestingLimit;
    // Told what the walk skips, when set.
    Irregularities* Report = nullptr;

  private:
    class Budget;
    void SendSets(uint32_t node, Budget& budget, SceneListener& listener);
    void Finish(const Budget& budget);
    template <class T>
    const T* Follow(const std::vector<uint32_t>& order, int64_t at, int64_t base,
                    const std::vector<T>& table, int orderBlock, int tableBlock);
    // Says that order entry `at` of an order of `orderSize` names no record:
    // it lies outside the order, or `index` lies outside a table of `tableSize`.
    [[gnu::noinline]] void TellMissed(size_t orderSize, int64_t at, std::optional<int64_t> index,
                                      size_t tableSize, int orderBlock, int tableBlock);
    template <class... Parts>
    void Tell(const char* kind, const Parts&... parts);

    const ModelFile& model_;
    int64_t itemsSent_ = 0;
    // Kept between walks so that a frame allocates nothing.
    std::vector<uint8_t> reached_;  // 0 not yet, 1 entered and open, 2 left
    std::vector<uint32_t> open_;
    std::vector<WalkCorner> corners_;
};

// Walks the model as the view draws it, from its last node record, with
// `images` archive images (-1: untextured), telling `found` what the walk
// skips and how many nodes it never reaches.
void CheckScene(const ModelFile& model, int32_t images, Irregularities& found);
