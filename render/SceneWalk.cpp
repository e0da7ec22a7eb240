#include "render/SceneWalk.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>

#include "model/Irregularities.h"
#include "model/Text.h"

namespace {

template <class T>
const T* At(const std::vector<T>& table, int64_t index) {
    return index >= 0 && static_cast<uint64_t>(index) < table.size()
               ? &table[static_cast<size_t>(index)]
               : nullptr;
}

// The part of the run first .. first + count - 1 that lies inside a table of `size`.
struct Run {
    int64_t Begin, End;
    bool Whole;  // nothing of the run was cut off
};
Run Inside(int64_t first, int64_t count, size_t size) {
    if (count <= 0)
        return {0, 0, true};
    const int64_t end = std::min<int64_t>(first + count, static_cast<int64_t>(size));
    const int64_t begin = std::max<int64_t>(first, 0);
    return {begin, end, begin == first && end == first + count};
}

// Column-major 4 x 4, multiplied on the right as OpenGL's matrix calls do.
class Placement {
  public:
    Placement() {
        for (int i = 0; i < 4; ++i)
            m_[i * 5] = 1;
    }
    void Translate(double x, double y, double z) {
        for (int r = 0; r < 4; ++r)
            m_[12 + r] += m_[r] * x + m_[4 + r] * y + m_[8 + r] * z;
    }
    void Scale(double x, double y, double z) {
        for (int r = 0; r < 4; ++r) {
            m_[r] *= x;
            m_[4 + r] *= y;
            m_[8 + r] *= z;
        }
    }
    // About one of the axes 0 (x), 1 (y), 2 (z), counter-clockwise looking down it.
    void Rotate(double degrees, int axis) {
        const double a = degrees * std::numbers::pi / 180;
        const double c = std::cos(a), s = std::sin(a);
        const int u = (axis + 1) % 3, v = (axis + 2) % 3;  // the plane it turns
        for (int r = 0; r < 4; ++r) {
            const double cu = m_[u * 4 + r], cv = m_[v * 4 + r];
            m_[u * 4 + r] = cu * c + cv * s;
            m_[v * 4 + r] = cv * c - cu * s;
        }
    }
    std::array<float, 16> Floats() const {
        std::array<float, 16> out{};
        for (int i = 0; i < 16; ++i)
            out[static_cast<size_t>(i)] = static_cast<float>(m_[i]);
        return out;
    }

  private:
    double m_[16] = {};
};

}  // namespace

std::array<float, 16> NodeMatrix(const NodeTransformRecord& t) {
    auto negated = [](const float(&v)[3]) {
        return std::array<double, 3>{0.0f - v[0], 0.0f - v[1], 0.0f - v[2]};
    };
    Placement m;
    m.Translate(t.Translate[0], t.Translate[1], t.Translate[2]);
    m.Translate(t.PreScaleTranslate[0], t.PreScaleTranslate[1], t.PreScaleTranslate[2]);
    m.Scale(t.Scale[0], t.Scale[1], t.Scale[2]);
    const auto post = negated(t.PostScaleOffset);
    m.Translate(post[0], post[1], post[2]);
    m.Rotate(t.Turn[2], 2);
    m.Rotate(t.Turn[1], 1);
    m.Rotate(t.Turn[0], 0);
    m.Translate(t.Between[0], t.Between[1], t.Between[2]);
    m.Rotate(2 * t.HalfTurn[2], 2);
    m.Rotate(2 * t.HalfTurn[1], 1);
    m.Rotate(2 * t.HalfTurn[0], 0);
    const auto inner = negated(t.InnerOffset);
    m.Translate(inner[0], inner[1], inner[2]);
    return m.Floats();
}

// Caps the work of one walk: polygon sets visited, polygons and corners sent,
// in proportion to the model file. A file whose polygons each span its whole
// order lists, or whose nodes all share a component of many sets, would
// otherwise make every frame cost the square of its size.
class SceneWalk::Budget {
  public:
    explicit Budget(uint64_t fileSize)
        : left_(static_cast<int64_t>(std::min<uint64_t>(fileSize, uint64_t{1} << 40)) *
                kDrawItemsPerFileByte) {}
    bool Spend(int64_t amount) {
        if (amount > left_) {
            spent_ += left_;
            left_ = 0;
            exhausted_ = true;
            return false;
        }
        left_ -= amount;
        spent_ += amount;
        return true;
    }
    int64_t Spent() const { return spent_; }
    bool Exhausted() const { return exhausted_; }

  private:
    int64_t left_;
    int64_t spent_ = 0;
    bool exhausted_ = false;
};

template <class... Parts>
void SceneWalk::Tell(const char* kind, const Parts&... parts) {
    if (!Report || Report->CountIfFull(kind))
        return;
    std::ostringstream line;
    (line << ... << parts);
    Report->Add(kind, line.str());
}

void SceneWalk::Walk(uint32_t root, SceneListener& listener) {
    const std::vector<ScenegraphNodeRecord>& nodes = model_.Nodes();

    // The walk of the first-child / next-sibling tree with a stack of its own:
    // enter a node, walk its children, then send its own sets, leave, then go
    // on with its next sibling. A link to a node already entered counts as absent.
    reached_.assign(nodes.size(), 0);
    open_.clear();
    Budget budget(model_.FileSize());
    int64_t next = root;
    int64_t from = -1;  // the node whose link led to `next`
    const char* link = "";
    for (;;) {
        while (next != -1) {
            const ScenegraphNodeRecord* node = At(nodes, next);
            if (!node) {
                if (from >= 0)
                    Tell("link", "block 25 record ", from, ": ", link, " ", next,
                         " outside the table (", Counted(nodes.size(), "record"), ")");
                break;
            }
            const size_t index = static_cast<size_t>(next);
            if (reached_[index]) {
                if (reached_[index] == 1)
                    Tell("cycle", "block 25 record ", from, ": ", link, " ", next,
                         " leads back to a node it lies under (a cycle)");
                else
                    Tell("shared-node", "block 25 record ", from, ": ", link, " ", next,
                         " reaches that node a second time");
                break;
            }
            if (open_.size() >= Nesting) {
                Tell("nesting", "block 25 record ", next, ": nested deeper than ", Nesting,
                     " levels; left out with its subtree");
                break;
            }
            reached_[index] = 1;
            const std::optional<NodeTransformRecord> placement =
                model_.NodeTransform(node->Transform);
            if (!placement) {
                // No placement for it: the node and its subtree are left out.
                Tell("index", "block 25 record ", next, ": Transform ", node->Transform,
                     " outside the table (", Counted(model_.Transforms().size(), "float"),
                     ", 24 needed)");
                reached_[index] = 2;
                from = next;
                link = "NextSibling";
                next = node->NextSibling;
                continue;
            }
            listener.Enter(static_cast<uint32_t>(next), *placement);
            open_.push_back(static_cast<uint32_t>(next));
            from = next;
            link = "FirstChild";
            next = node->FirstChild;
        }
        if (open_.empty())
            break;
        const uint32_t done = open_.back();
        open_.pop_back();
        reached_[done] = 2;
        SendSets(done, budget, listener);
        listener.Leave(done);
        from = done;
        link = "NextSibling";
        next = nodes[done].NextSibling;
    }
    Finish(budget);
}

void SceneWalk::Finish(const Budget& budget) {
    itemsSent_ = budget.Spent();
    if (budget.Exhausted())
        Tell("work-bound", "the walk stopped at its work bound (", kDrawItemsPerFileByte,
             " polygon sets, polygons and corners per byte of the file)");
}

template <class T>
const T* SceneWalk::Follow(const std::vector<uint32_t>& order, int64_t at, int64_t base,
                           const std::vector<T>& table, int orderBlock, int tableBlock) {
    const uint32_t* entry = At(order, at);
    const T* record = entry ? At(table, base + *entry) : nullptr;
    if (!record)
        TellMissed(order.size(), at, entry ? std::optional(base + *entry) : std::nullopt,
                   table.size(), orderBlock, tableBlock);
    return record;
}

// Apart from Follow, which runs for every corner of every frame: its own
// frame stays small, and this one is made only for a corner that misses.
void SceneWalk::TellMissed(size_t orderSize, int64_t at, std::optional<int64_t> index,
                           size_t tableSize, int orderBlock, int tableBlock) {
    if (!index)
        Tell("index", "block ", orderBlock, " entry ", at, " outside the table (",
             Counted(orderSize, "entry", "entries"), ")");
    else
        Tell("index", "block ", orderBlock, " entry ", at, ": ", *index,
             " outside the table (block ", tableBlock, ", ", Counted(tableSize, "record"), ")");
}

void SceneWalk::Sets(uint32_t node, SceneListener& listener) {
    Budget budget(model_.FileSize());
    SendSets(node, budget, listener);
    Finish(budget);
}

void SceneWalk::SendSets(uint32_t index, Budget& budget, SceneListener& listener) {
    const ModelFile& m = model_;
    const ScenegraphNodeRecord* node = At(m.Nodes(), index);
    if (!node || node->Component == -1)
        return;
    const ScenegraphComponentRecord* component = At(m.Components(), node->Component);
    const uint8_t* visible = At(m.Visibility(), node->Visibility);
    if (!component)
        Tell("index", "block 25 record ", index, ": Component ", node->Component,
             " outside the table (", Counted(m.Components().size(), "record"), ")");
    if (!visible)
        Tell("index", "block 25 record ", index, ": Visibility ", node->Visibility,
             " outside the table (", Counted(m.Visibility().size(), "record"), ")");
    if (!component || !visible || *visible == 0)
        return;
    listener.Component(index, *component);

    const std::vector<uint32_t>& vertexOrder = m.VertexOrder();
    const bool texturing = Images >= 0 && !m.TextureDefinitions().empty();
    const Run sets =
        Inside(component->FirstPolygonSet, component->PolygonSetCount, m.PolygonSets().size());
    if (!sets.Whole)
        Tell("index", "block 2 record ", node->Component, ": polygon sets ",
             component->FirstPolygonSet, " to ",
             int64_t{component->FirstPolygonSet} + component->PolygonSetCount - 1,
             " run outside the table (", Counted(m.PolygonSets().size(), "record"), ")");
    for (int64_t s = sets.Begin; s < sets.End; ++s) {
        if (!budget.Spend(1))
            return;
        const PolygonSetRecord& set = m.PolygonSets()[static_cast<size_t>(s)];
        // A texture map or image number outside its table draws untextured.
        int32_t image = -1;
        if (texturing && set.TextureMap != -1) {
            if (const TextureMapRecord* map = At(m.TextureMaps(), set.TextureMap)) {
                if (map->TextureIndex >= 0 && map->TextureIndex < Images)
                    image = map->TextureIndex;
                else
                    Tell("index", "block 20 record ", set.TextureMap, ": TextureIndex ",
                         map->TextureIndex, " outside the archive (",
                         Counted(static_cast<uint64_t>(Images), "image"), ")");
            } else {
                Tell("index", "block 22 record ", s, ": TextureMap ", set.TextureMap,
                     " outside the table (", Counted(m.TextureMaps().size(), "record"), ")");
            }
        }
        const Run polygons = Inside(set.FirstPolygon, set.PolygonCount, m.Polygons().size());
        if (!polygons.Whole)
            Tell("index", "block 22 record ", s, ": polygons ", set.FirstPolygon, " to ",
                 int64_t{set.FirstPolygon} + set.PolygonCount - 1, " run outside the table (",
                 Counted(m.Polygons().size(), "record"), ")");
        for (int64_t p = polygons.Begin; p < polygons.End; ++p) {
            const PolygonRecord& polygon = m.Polygons()[static_cast<size_t>(p)];
            // Only the corners whose vertex-order entry exists can have a position.
            const int64_t orderStart = int64_t{set.VertexOrderBase} + polygon.First;
            const Run corners = Inside(orderStart, polygon.VertexCount, vertexOrder.size());
            if (!budget.Spend(1 + std::max<int64_t>(corners.End - corners.Begin, 0)))
                return;
            if (!corners.Whole)
                Tell("index", "block 3 record ", p, ": corners ", orderStart, " to ",
                     orderStart + polygon.VertexCount - 1,
                     " run outside the vertex order (block 5, ",
                     Counted(vertexOrder.size(), "entry", "entries"), ")");
            corners_.clear();
            for (int64_t at = corners.Begin; at < corners.End; ++at) {
                const int64_t o = at - set.VertexOrderBase;  // First + k
                WalkCorner corner;
                const int64_t vertex = int64_t{component->VertexBase} + vertexOrder[at];
                corner.Position = At(m.Vertices(), vertex);
                if (!corner.Position) {
                    // A corner without a position is left out.
                    Tell("index", "block 5 entry ", at, ": vertex ", vertex,
                         " outside the table (block 4, ", Counted(m.Vertices().size(), "record"),
                         ")");
                    continue;
                }
                // Missing attributes take neutral values rather than the last corner's.
                corner.Color = Follow(m.ColorOrder(), set.ColorOrderBase + o, 0, m.Colors(), 9, 8);
                corner.Normal =
                    Follow(m.NormalOrder(), set.NormalOrderBase + o, 0, m.Normals(), 7, 6);
                if (image >= 0)
                    corner.TexCoord = Follow(m.TexVertexOrder(), set.TexVertexOrderBase + o,
                                             component->TexVertexBase, m.TexVertices(), 10, 18);
                corners_.push_back(corner);
            }
            listener.Polygon(WalkPolygon{polygon.VertexCount, image, corners_});
        }
    }
}

namespace {

class NoDrawing : public SceneListener {
  public:
    void Enter(uint32_t, const NodeTransformRecord&) override {}
    void Leave(uint32_t) override {}
    void Component(uint32_t, const ScenegraphComponentRecord&) override {}
    void Polygon(const WalkPolygon&) override {}
};

}  // namespace

void CheckScene(const ModelFile& model, int32_t images, Irregularities& found) {
    const std::optional<uint32_t> root = model.RootNode();
    if (!root)
        return;
    SceneWalk walk(model);
    walk.Images = images;
    walk.Report = &found;
    NoDrawing nothing;
    walk.Walk(*root, nothing);
    const auto unreached = std::count(walk.Reached().begin(), walk.Reached().end(), 0);
    if (unreached > 0)
        found.Add("unreachable", "block 25: " + std::to_string(unreached) + " of " +
                                     Counted(model.Nodes().size(), "node") +
                                     " unreachable from the root (record " + std::to_string(*root) +
                                     ")");
}
