#pragma once
// A loaded model file: its header and every block's records in host order.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/Blocks.h"
#include "model/Records.h"

class ByteSource;
class Irregularities;

// The data of one animation set (block 27), found through its block-26 record.
struct AnimationSet {
    AnimationSetHeader Header{};
    std::vector<SetInfoRecord> SetInfo;                // list 2
    std::vector<FrameRecord> Frames;                   // list 3
    std::vector<uint32_t> List4;                       // list 4
    std::vector<uint32_t> List5;                       // list 5
    std::vector<TextureControlRecord> TextureControl;  // list 6
    std::vector<PlaneControlRecord> PlaneControl;      // list 7
    std::vector<uint32_t> AnimationControl;            // list 8
    std::vector<List9Record> List9;                    // list 9

    // Calls visit(list number, records) for lists 2 to 9, in order.
    template <class Visit>
    void ForEachList(Visit&& visit) {
        VisitLists(*this, visit);
    }
    template <class Visit>
    void ForEachList(Visit&& visit) const {
        VisitLists(*this, visit);
    }

  private:
    template <class Self, class Visit>
    static void VisitLists(Self& set, Visit& visit) {
        visit(2, set.SetInfo);
        visit(3, set.Frames);
        visit(4, set.List4);
        visit(5, set.List5);
        visit(6, set.TextureControl);
        visit(7, set.PlaneControl);
        visit(8, set.AnimationControl);
        visit(9, set.List9);
    }
};

// List 7 holds single bytes: it is never converted.
inline constexpr int kPlaneControlList = 7;

class ModelFile {
  public:
    ModelFile() = default;

    // Reads the whole file. False only when it cannot be opened; a short or
    // inconsistent file still loads, with zeros for whatever it does not hold,
    // and `report`, when given, is told what was short.
    bool Load(const std::string& path, Irregularities* report = nullptr);
    // The same, from bytes already at hand; the path stays as it is.
    void LoadFrom(ByteSource& source, Irregularities* report = nullptr);

    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }
    // The size of the file as read by the last load.
    uint64_t FileSize() const { return fileSize_; }
    const ModelHeader& Header() const { return header_; }

    const std::vector<ScenegraphComponentRecord>& Components() const { return components_; }
    const std::vector<PolygonRecord>& Polygons() const { return polygons_; }
    const std::vector<VertexRecord>& Vertices() const { return vertices_; }
    const std::vector<uint32_t>& VertexOrder() const { return vertexOrder_; }
    const std::vector<NormalRecord>& Normals() const { return normals_; }
    const std::vector<uint32_t>& NormalOrder() const { return normalOrder_; }
    const std::vector<ColorRecord>& Colors() const { return colors_; }
    const std::vector<uint32_t>& ColorOrder() const { return colorOrder_; }
    const std::vector<uint32_t>& TexVertexOrder() const { return texVertexOrder_; }
    const std::vector<TextureVertexRecord>& TexVertices() const { return texVertices_; }
    const std::vector<Block19Record>& Block19() const { return block19_; }
    const std::vector<TextureMapRecord>& TextureMaps() const { return textureMaps_; }
    const std::vector<TextureDefinitionRecord>& TextureDefinitions() const {
        return textureDefinitions_;
    }
    const std::vector<PolygonSetRecord>& PolygonSets() const { return polygonSets_; }
    const std::vector<uint8_t>& Visibility() const { return visibility_; }
    const std::vector<float>& Transforms() const { return transforms_; }
    const std::vector<ScenegraphNodeRecord>& Nodes() const { return nodes_; }
    const std::vector<AnimationSetIndexRecord>& AnimationSetIndex() const {
        return animationSetIndex_;
    }
    // One per block-26 record; records that name the same area share its data.
    const std::vector<std::shared_ptr<const AnimationSet>>& AnimationSets() const {
        return animationSets_;
    }

    // Where the scenegraph walk starts: the last node record, not the first.
    // None when block 25 is empty.
    std::optional<uint32_t> RootNode() const {
        if (nodes_.empty())
            return std::nullopt;
        return static_cast<uint32_t>(nodes_.size() - 1);
    }

    // The node placement whose floats begin at `first` in block 24; none
    // when they do not all lie in the table.
    std::optional<NodeTransformRecord> NodeTransform(int64_t first) const {
        if (first < 0 || static_cast<uint64_t>(first) > transforms_.size() ||
            transforms_.size() - static_cast<uint64_t>(first) < kNodeTransformFloats)
            return std::nullopt;
        NodeTransformRecord placement;
        std::memcpy(&placement, &transforms_[static_cast<size_t>(first)], sizeof placement);
        return placement;
    }

    // Records held for block 2 to 26 (0 for the blocks that are never read).
    size_t BlockRecordCount(int block) const;

    // Calls visit(info, records) for every block in kModelBlocks, in that
    // order, `records` being the vector that holds the block's records.
    template <class Visit>
    void ForEachBlock(Visit&& visit) const {
        VisitBlocks(*this, visit);
    }
    // Calls visit(list number, records) for every list of every animation data
    // area, each area once however many sets share it.
    template <class Visit>
    void ForEachAnimationList(Visit&& visit) const {
        std::unordered_set<const AnimationSet*> seen;
        for (const auto& set : animationSets_) {
            if (seen.insert(set.get()).second)
                set->ForEachList(visit);
        }
    }

  private:
    // Where each block's records are kept: the one list of them.
    template <class Self, class Visit>
    static void VisitBlocks(Self& m, Visit&& visit) {
        auto block = [&visit](int number, auto& records) { visit(*FindBlock(number), records); };
        block(2, m.components_);
        block(3, m.polygons_);
        block(4, m.vertices_);
        block(5, m.vertexOrder_);
        block(6, m.normals_);
        block(7, m.normalOrder_);
        block(8, m.colors_);
        block(9, m.colorOrder_);
        block(10, m.texVertexOrder_);
        block(18, m.texVertices_);
        block(19, m.block19_);
        block(20, m.textureMaps_);
        block(21, m.textureDefinitions_);
        block(22, m.polygonSets_);
        block(23, m.visibility_);
        block(24, m.transforms_);
        block(25, m.nodes_);
        block(26, m.animationSetIndex_);
    }

    std::string path_;
    uint64_t fileSize_ = 0;
    ModelHeader header_{};
    std::vector<ScenegraphComponentRecord> components_;               // block 2
    std::vector<PolygonRecord> polygons_;                             // block 3
    std::vector<VertexRecord> vertices_;                              // block 4
    std::vector<uint32_t> vertexOrder_;                               // block 5
    std::vector<NormalRecord> normals_;                               // block 6
    std::vector<uint32_t> normalOrder_;                               // block 7
    std::vector<ColorRecord> colors_;                                 // block 8
    std::vector<uint32_t> colorOrder_;                                // block 9
    std::vector<uint32_t> texVertexOrder_;                            // block 10
    std::vector<TextureVertexRecord> texVertices_;                    // block 18
    std::vector<Block19Record> block19_;                              // block 19
    std::vector<TextureMapRecord> textureMaps_;                       // block 20
    std::vector<TextureDefinitionRecord> textureDefinitions_;         // block 21
    std::vector<PolygonSetRecord> polygonSets_;                       // block 22
    std::vector<uint8_t> visibility_;                                 // block 23
    std::vector<float> transforms_;                                   // block 24
    std::vector<ScenegraphNodeRecord> nodes_;                         // block 25
    std::vector<AnimationSetIndexRecord> animationSetIndex_;          // block 26
    std::vector<std::shared_ptr<const AnimationSet>> animationSets_;  // block 27
};
