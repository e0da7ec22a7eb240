#include "export/GltfMesh.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

bool Finite(const VertexRecord& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
}

// glTF wants unit normals. The view never lights, so a normal changes nothing
// that shows: a zero or non-finite one becomes the view's default (0, 0, 1).
std::array<float, 3> UnitNormal(const NormalRecord* normal) {
    if (!normal)
        return {0, 0, 1};
    const double x = normal->X, y = normal->Y, z = normal->Z;
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0) || !std::isfinite(length))
        return {0, 0, 1};
    return {static_cast<float>(x / length), static_cast<float>(y / length),
            static_cast<float>(z / length)};
}

// A texture coordinate as OpenGL takes it. The view's texture has row 0 of the
// decoded image at t = 0, and the PNG has that row first, at v = 0: (s, t)
// stays (u, v). A non-finite one counts as missing, as glTF cannot hold it.
std::array<float, 2> TexCoord(const TextureVertexRecord* st) {
    if (!st || !std::isfinite(st->S) || !std::isfinite(st->T))
        return {0, 0};
    return {st->S, st->T};
}

// glTF's vertex colours are linear, where the view shows the file's bytes as
// display (sRGB) colours: each byte through the sRGB decoding, rounded.
const std::array<uint8_t, 256> kLinearOfDisplay = [] {
    std::array<uint8_t, 256> table{};
    for (size_t i = 0; i < table.size(); ++i) {
        const double c = static_cast<double>(i) / 255;
        const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        table[i] = static_cast<uint8_t>(std::lround(linear * 255));
    }
    return table;
}();

}  // namespace

int Bin::View(const void* data, size_t size, int target) {
    if (gltf_.buffers.empty())
        gltf_.buffers.emplace_back();
    std::vector<unsigned char>& bytes = gltf_.buffers[0].data;
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = bytes.size();
    view.byteLength = size;
    view.target = target;
    const auto* begin = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), begin, begin + size);
    bytes.resize((bytes.size() + 3) / 4 * 4, 0);
    gltf_.bufferViews.push_back(view);
    return static_cast<int>(gltf_.bufferViews.size() - 1);
}

void Bin::Reserve(size_t bytes) {
    if (gltf_.buffers.empty())
        gltf_.buffers.emplace_back();
    std::vector<unsigned char>& data = gltf_.buffers[0].data;
    if (data.capacity() - data.size() < bytes)
        data.reserve(std::max(data.size() + bytes, 2 * data.capacity()));
}

int Bin::Positions(const std::vector<float>& xyz) {
    const int index =
        Accessor(xyz, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, 3, kVertices);
    tinygltf::Accessor& accessor = gltf_.accessors[static_cast<size_t>(index)];
    accessor.minValues.assign(xyz.begin(), xyz.begin() + 3);
    accessor.maxValues = accessor.minValues;
    for (size_t i = 3; i < xyz.size(); ++i) {
        double& low = accessor.minValues[i % 3];
        double& high = accessor.maxValues[i % 3];
        low = std::min<double>(low, xyz[i]);
        high = std::max<double>(high, xyz[i]);
    }
    return index;
}

namespace {

using Records = std::array<const void*, 4>;

Records RecordsOf(const WalkCorner& c) {
    return {c.Position, c.Color, c.Normal, c.TexCoord};
}

// Pointer by pointer, inline, where == on the arrays calls memcmp.
bool Same(const Records& a, const Records& b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

// The records' addresses mixed so that every bit of them reaches the low
// bits, which pick the slot: addresses of records differ mostly in the middle.
uint64_t HashOf(const Records& records) {
    uint64_t h = 0;
    for (const void* p : records) {
        h = (h ^ reinterpret_cast<uintptr_t>(p)) * 0xFF51AFD7ED558CCDu;
        h ^= h >> 33;
    }
    return h;
}

}  // namespace

uint32_t Group::Vertex(const WalkCorner& corner) {
    if (slots_.empty())
        Grow();
    const Records records = RecordsOf(corner);
    const uint64_t hash = HashOf(records);
    const auto check = static_cast<uint32_t>(hash >> 32);
    const size_t mask = slots_.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.Vertex == 0)
            return Add(corner);
        if (slot.Check == check && Same(records_[slot.Vertex - 1], records))
            return slot.Vertex - 1;
    }
}

bool Group::Holds(uint32_t vertex, const WalkCorner& corner) const {
    return vertex < records_.size() && Same(records_[vertex], RecordsOf(corner));
}

// A table for all vertices made, with room for as many again.
void Group::Grow() {
    size_t size = 64;
    while (size < 4 * records_.size())
        size *= 2;
    slots_.assign(size, {});
    for (size_t v = 0; v < records_.size(); ++v)
        Insert(static_cast<uint32_t>(v), HashOf(records_[v]));
}

void Group::Insert(uint32_t vertex, uint64_t hash) {
    const size_t mask = slots_.size() - 1;
    size_t at = hash & mask;
    while (slots_[at].Vertex != 0)
        at = (at + 1) & mask;
    slots_[at] = {vertex + 1, static_cast<uint32_t>(hash >> 32)};
}

uint32_t Group::Add(const WalkCorner& corner) {
    const auto vertex = static_cast<uint32_t>(records_.size());
    records_.push_back(RecordsOf(corner));
    if (!slots_.empty()) {
        if (2 * records_.size() > slots_.size())
            Grow();
        else
            Insert(vertex, HashOf(records_.back()));
    }
    const VertexRecord& p = *corner.Position;
    Positions.insert(Positions.end(), {p.X, p.Y, p.Z});
    const std::array<float, 3> n = UnitNormal(corner.Normal);
    Normals.insert(Normals.end(), n.begin(), n.end());
    const ColorRecord white{255, 255, 255, 255};
    const ColorRecord& c = corner.Color ? *corner.Color : white;
    Colors.insert(Colors.end(),
                  {kLinearOfDisplay[c.R], kLinearOfDisplay[c.G], kLinearOfDisplay[c.B], c.A});
    if (Image >= 0) {
        const std::array<float, 2> st = TexCoord(corner.TexCoord);
        TexCoords.insert(TexCoords.end(), st.begin(), st.end());
    }
    return vertex;
}

void MeshBuilder::Add(const WalkPolygon& polygon) {
    const std::span<const WalkCorner> corners = polygon.Corners;
    const size_t n = corners.size();
    Shape kind = Shape::Triangles;
    bool complete = n >= 3;
    switch (polygon.VertexCount) {
        case 1:
            kind = Shape::Points;
            complete = n == 1;
            break;
        case 2:
            kind = Shape::Lines;
            complete = n == 2;
            break;
        case 3:
        case 4:
            complete = n == polygon.VertexCount;
            break;
        default:
            break;
    }
    if (!complete)
        return;
    for (const WalkCorner& corner : corners) {
        if (!Finite(*corner.Position))
            return;
    }
    Group& group = GroupFor(kind, polygon.Image);
    if (kind != Shape::Triangles) {
        for (const WalkCorner& corner : corners)
            group.Indices.push_back(VertexOf(group, corner));
        return;
    }
    const uint32_t first = VertexOf(group, corners[0]);
    uint32_t previous = VertexOf(group, corners[1]);
    for (size_t k = 2; k < n; ++k) {
        const uint32_t next = VertexOf(group, corners[k]);
        group.Indices.insert(group.Indices.end(), {first, previous, next});
        previous = next;
    }
}

uint32_t MeshBuilder::VertexOf(Group& group, const WalkCorner& corner) {
    uint32_t& last = last_[static_cast<size_t>(corner.Position - positions_)];
    // What was found last for another group, or another mesh, is no vertex of
    // this one unless it holds the same records. A position no corner had
    // before is a new vertex.
    if (last == 0)
        last = group.Add(corner) + 1;
    else if (!group.Holds(last - 1, corner))
        last = group.Vertex(corner) + 1;
    return last - 1;
}

Group& MeshBuilder::GroupFor(Shape kind, int32_t image) {
    for (Group& group : groups_) {
        if (group.Kind == kind && group.Image == image)
            return group;
    }
    groups_.emplace_back(kind, image);
    return groups_.back();
}

size_t MeshBuilder::Bytes() const {
    size_t bytes = 0;
    for (const Group& g : groups_)
        bytes +=
            4 * (g.Positions.size() + g.Normals.size() + g.TexCoords.size() + g.Indices.size()) +
            g.Colors.size() + 5 * 3;
    return bytes;
}
