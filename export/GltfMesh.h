#pragma once
// The geometry of the export: the polygons the walk sends, as glTF mesh
// primitives, and the binary buffer that holds them.

#include <tiny_gltf.h>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "render/SceneWalk.h"

// Appends geometry and images to buffer 0 (made when first needed), one buffer
// view each, four-byte aligned.
class Bin {
  public:
    explicit Bin(tinygltf::Model& gltf) : gltf_(gltf) {}

    int View(const void* data, size_t size, int target);
    // Room for `bytes` more, made at once rather than view by view.
    void Reserve(size_t bytes);

    // `values` holds `components` numbers per element.
    template <class T>
    int Accessor(const std::vector<T>& values, int componentType, int type, size_t components,
                 int target, bool normalized = false) {
        tinygltf::Accessor accessor;
        accessor.bufferView = View(values.data(), values.size() * sizeof(T), target);
        accessor.componentType = componentType;
        accessor.type = type;
        accessor.count = values.size() / components;
        accessor.normalized = normalized;
        gltf_.accessors.push_back(accessor);
        return static_cast<int>(gltf_.accessors.size() - 1);
    }

    // Positions, with the bounds glTF requires of them.
    int Positions(const std::vector<float>& xyz);

    static constexpr int kVertices = TINYGLTF_TARGET_ARRAY_BUFFER;
    static constexpr int kIndices = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;

  private:
    tinygltf::Model& gltf_;
};

enum class Shape { Points, Lines, Triangles };

// The corners of one mesh primitive: one shape, one archive image (or none).
// A corner sent again with the same records is the same vertex.
struct Group {
    Group(Shape kind, int32_t image) : Kind(kind), Image(image) {}

    Shape Kind;
    int32_t Image;
    std::vector<float> Positions, Normals, TexCoords;
    std::vector<uint8_t> Colors;
    std::vector<uint32_t> Indices;

    // The vertex of the corner, made when its records are new.
    uint32_t Vertex(const WalkCorner& corner);
    // A new vertex of the corner, whose records no vertex of the group holds.
    uint32_t Add(const WalkCorner& corner);
    // True when vertex `vertex` is there and was made of the corner's records.
    bool Holds(uint32_t vertex, const WalkCorner& corner) const;

  private:
    void Grow();
    void Insert(uint32_t vertex, uint64_t hash);

    // The vertices made so far, found by the records they were made of: an
    // open-addressing table, a power of two long and at most half full, beside
    // each vertex's records. A slot keeps the upper half of its hash, so that
    // a probe reads the records of a vertex only when it is likely the one.
    // Corners repeat by the hundred thousand; a flat table keeps that lookup
    // off the allocator. It is made at the first lookup: a builder that knows
    // a corner is new adds it without one.
    struct Slot {
        uint32_t Vertex;  // vertex number + 1; 0: empty
        uint32_t Check;   // the hash's upper half
    };
    std::vector<Slot> slots_;
    std::vector<std::array<const void*, 4>> records_;
};

// The polygons of one node, grouped into primitives.
class MeshBuilder {
  public:
    // Every corner's position lies in `positions`, the model's vertex table.
    explicit MeshBuilder(std::span<const VertexRecord> positions)
        : positions_(positions.data()), last_(positions.size()) {}

    // As the view draws it: 1 corner a point, 2 a line, 3 a triangle, 4 a quad
    // and any other count a polygon, both as a fan of triangles. A primitive
    // short of corners draws nothing, and neither does a polygon with a
    // non-finite position (glTF cannot hold one).
    void Add(const WalkPolygon& polygon);

    const std::vector<Group>& Groups() const { return groups_; }
    // What the groups' data takes in a buffer, padding included.
    size_t Bytes() const;
    void Clear() { groups_.clear(); }

  private:
    Group& GroupFor(Shape kind, int32_t image);
    uint32_t VertexOf(Group& group, const WalkCorner& corner);

    std::vector<Group> groups_;
    const VertexRecord* positions_;
    // Element k: 1 + the vertex last found for position record k, in whichever
    // group. Neighbouring polygons share their corners: most are found here,
    // where the walk is in the position table, before the group's own table.
    std::vector<uint32_t> last_;
};
