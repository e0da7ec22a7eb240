#include "sample/ModelWriter.h"

#include <bit>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "model/Records.h"
#include "model/Utf8Path.h"
#include "sample/BigEndianWriter.h"

namespace sample {

bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

namespace {

constexpr size_t kCountsAt = 232;
constexpr size_t kOffsetsAt = 332;

void Put(BigEndianWriter& w, const Component& c) {
    w.Text(c.Name, 64);
    w.I32(c.VertexBase);
    w.I32(c.Unknown17);
    for (uint32_t v : c.Unknown18to21)
        w.U32(v);
    w.I32(c.TexVertexBase);
    w.I32(c.Unknown23);
    w.I32(c.Unknown24);
    for (uint32_t v : c.Unknown25to37)
        w.U32(v);
    w.I32(c.FirstPolygonSet);
    w.I32(c.PolygonSetCount);
    w.U32(c.AlphaMode);
    w.U32(c.CullMode);
}

void Put(BigEndianWriter& w, const Polygon& p) {
    w.U32(p.First);
    w.U32(p.VertexCount);
}

void Put(BigEndianWriter& w, const Vec3& v) {
    w.F32(v.X);
    w.F32(v.Y);
    w.F32(v.Z);
}

void Put(BigEndianWriter& w, uint32_t word) {
    w.U32(word);
}
void Put(BigEndianWriter& w, float value) {
    w.F32(value);
}
void Put(BigEndianWriter& w, uint8_t byte) {
    w.U8(byte);
}

void Put(BigEndianWriter& w, const Color& c) {
    w.U8(c.R);
    w.U8(c.G);
    w.U8(c.B);
    w.U8(c.A);
}

void Put(BigEndianWriter& w, const TexCoord& t) {
    w.F32(t.S);
    w.F32(t.T);
}

void Put(BigEndianWriter& w, const std::array<float, 6>& values) {
    for (float v : values)
        w.F32(v);
}

void Put(BigEndianWriter& w, const TextureMap& m) {
    w.I32(m.TextureIndex);
    w.U32(m.Unknown1);
}

void Put(BigEndianWriter& w, const TextureDefinition& d) {
    w.U32(d.Unknown0);
    w.I32(d.TextureIndex);
    w.U32(d.Unknown2);
    w.Text(d.Name, 52);
}

void Put(BigEndianWriter& w, const PolygonSet& s) {
    for (uint32_t v : s.Unknown0to3)
        w.U32(v);
    w.I32(s.TextureMap);
    for (uint32_t v : s.Unknown5to11)
        w.U32(v);
    w.U32(s.Unknown12);
    w.U32(s.Unknown13);
    w.I32(s.FirstPolygon);
    w.I32(s.PolygonCount);
    w.I32(s.VertexOrderBase);
    w.I32(s.NormalOrderBase);
    w.I32(s.ColorOrderBase);
    w.I32(s.TexVertexOrderBase);
    for (uint32_t v : s.Unknown20to26)
        w.U32(v);
}

void Put(BigEndianWriter& w, const Node& n) {
    w.Text(n.Name, 64);
    w.I32(n.NextSibling);
    w.I32(n.FirstChild);
    w.I32(n.Component);
    w.I32(n.Visibility);
    w.I32(n.Transform);
    w.I32(n.Unknown21);
}

void Put(BigEndianWriter& w, const SetInfoEntry& s) {
    w.U32(s.Loop);
    w.U32(s.Unknown);
    w.F32(s.Time);
}

void Put(BigEndianWriter& w, const Frame& f) {
    w.F32(f.Time);
    for (const auto& range : f.Ranges) {
        w.U32(range[0]);
        w.U32(range[1]);
    }
}

template <size_t N>
void Put(BigEndianWriter& w, const std::array<uint32_t, N>& words) {
    for (uint32_t v : words)
        w.U32(v);
}

void Put(BigEndianWriter& w, const std::array<uint8_t, 4>& bytes) {
    for (uint8_t b : bytes)
        w.U8(b);
}

template <class T>
void PutAll(BigEndianWriter& w, const std::vector<T>& records) {
    for (const T& record : records)
        Put(w, record);
}

// Writes one area; returns its start.
uint32_t PutArea(BigEndianWriter& w, const AnimationData& data) {
    const size_t area = w.Size();
    w.U32(data.Unknown0);
    w.Zeros(64);  // counts and offsets, patched below
    for (float v : data.Coordinates)
        w.F32(v);

    std::array<uint32_t, 8> counts{static_cast<uint32_t>(data.SetInfo.size()),
                                   static_cast<uint32_t>(data.Frames.size()),
                                   static_cast<uint32_t>(data.List4.size()),
                                   static_cast<uint32_t>(data.List5.size()),
                                   static_cast<uint32_t>(data.TextureControl.size()),
                                   static_cast<uint32_t>(data.PlaneControl.size()),
                                   static_cast<uint32_t>(data.AnimationControl.size()),
                                   static_cast<uint32_t>(data.List9.size())};
    std::array<uint32_t, 8> offsets{};
    for (int n : data.ListOrder) {
        offsets[n] = static_cast<uint32_t>(w.Size() - area);
        switch (n) {
            case 0:
                PutAll(w, data.SetInfo);
                break;
            case 1:
                PutAll(w, data.Frames);
                break;
            case 2:
                PutAll(w, data.List4);
                break;
            case 3:
                PutAll(w, data.List5);
                break;
            case 4:
                PutAll(w, data.TextureControl);
                break;
            case 5:
                PutAll(w, data.PlaneControl);
                break;
            case 6:
                PutAll(w, data.AnimationControl);
                break;
            case 7:
                PutAll(w, data.List9);
                break;
        }
    }
    for (auto [n, v] : data.CountOverride)
        counts[n] = v;
    for (auto [n, v] : data.OffsetOverride)
        offsets[n] = v;
    for (int n = 0; n < 8; ++n) {
        w.PatchU32(area + 4 + 4 * n, counts[n]);
        w.PatchU32(area + 36 + 4 * n, offsets[n]);
    }
    return static_cast<uint32_t>(area);
}

}  // namespace

std::vector<uint8_t> WriteModel(const Model& m) {
    BigEndianWriter w;
    w.U32(m.Unknown0);
    w.Text(m.ModelName, 64);
    w.Text(m.TextureName, 64);
    w.Text(m.Date, 64);
    for (int32_t v : m.Unknowns)
        w.I32(v);
    for (float v : m.BoundingBox)
        w.F32(v);
    w.Zeros(200);  // the directory, patched below
    std::array<uint32_t, 25> counts{};
    std::array<uint32_t, 25> offsets{};

    auto block = [&](int number, const auto& records) {
        offsets[number - 2] = static_cast<uint32_t>(w.Size());
        counts[number - 2] = static_cast<uint32_t>(records.size());
        PutAll(w, records);
    };
    block(2, m.Components);
    block(3, m.Polygons);
    block(4, m.Vertices);
    block(5, m.VertexOrder);
    block(6, m.Normals);
    block(7, m.NormalOrder);
    block(8, m.Colors);
    block(9, m.ColorOrder);
    block(10, m.TexVertexOrder);
    block(18, m.TexVertices);
    block(19, m.Block19);
    block(20, m.TextureMaps);
    block(21, m.TextureDefinitions);
    block(22, m.PolygonSets);
    block(23, m.Visibility);
    block(24, m.Transforms);
    block(25, m.Nodes);

    // Block 26 first, its DataOffset fields patched once the areas are written.
    offsets[24] = static_cast<uint32_t>(w.Size());
    counts[24] = static_cast<uint32_t>(m.AnimationSets.size());
    std::vector<size_t> dataOffsetAt;
    for (const AnimationSet& set : m.AnimationSets) {
        w.Text(set.Name, 52);
        w.U32(set.Unknown13);
        w.U32(set.Unknown14);
        dataOffsetAt.push_back(w.Size());
        w.U32(0);
    }
    std::vector<uint32_t> areas;
    for (size_t i = 0; i < m.AnimationSets.size(); ++i) {
        const AnimationSet& set = m.AnimationSets[i];
        bool shared = set.SharesDataWith >= 0 && static_cast<size_t>(set.SharesDataWith) < i;
        areas.push_back(shared ? areas[set.SharesDataWith] : PutArea(w, set.Data));
        w.PatchU32(dataOffsetAt[i], set.DataOffset.value_or(areas[i]));
    }

    for (auto [slot, v] : m.CountOverride)
        counts[slot] = v;
    for (auto [slot, v] : m.OffsetOverride)
        offsets[slot] = v;
    for (int slot = 0; slot < 25; ++slot) {
        w.PatchU32(kCountsAt + 4 * slot, counts[slot]);
        w.PatchU32(kOffsetsAt + 4 * slot, offsets[slot]);
    }
    return w.Take();
}

int32_t AddTransform(Model& model, Vec3 translate, Vec3 rotate, Vec3 scale, Vec3 doubledRotate) {
    auto first = static_cast<int32_t>(model.Transforms.size());
    const NodeTransformRecord placement{
        .Translate = {translate.X, translate.Y, translate.Z},
        .Scale = {scale.X, scale.Y, scale.Z},
        .HalfTurn = {doubledRotate.X, doubledRotate.Y, doubledRotate.Z},
        .Turn = {rotate.X, rotate.Y, rotate.Z},
        .Between = {},
        .InnerOffset = {},
        .PreScaleTranslate = {},
        .PostScaleOffset = {}};
    const auto floats = std::bit_cast<std::array<float, kNodeTransformFloats>>(placement);
    model.Transforms.insert(model.Transforms.end(), floats.begin(), floats.end());
    return first;
}

}  // namespace sample
