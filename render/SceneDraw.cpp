// The drawing side of ModelScene: the scenegraph walk and the polygon sets.
// Every index read from the file is checked where it is followed; what points
// outside its table is skipped, so a hostile file draws less, never reads wild.

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "render/Drawing.h"
#include "render/ModelScene.h"

namespace {

template <class T>
const T* At(const std::vector<T>& table, int64_t index) {
    return index >= 0 && static_cast<uint64_t>(index) < table.size()
               ? &table[static_cast<size_t>(index)]
               : nullptr;
}

// The record that order-list entry `at` names, the entry taken relative to `base`.
template <class T>
const T* Through(const std::vector<uint32_t>& order, int64_t at, int64_t base,
                 const std::vector<T>& table) {
    const uint32_t* entry = At(order, at);
    return entry ? At(table, base + *entry) : nullptr;
}

// The part of the run first .. first + count - 1 that lies inside a table of `size`.
struct Run {
    int64_t Begin, End;
};
Run Inside(int64_t first, int64_t count, size_t size) {
    if (count <= 0)
        return {0, 0};
    int64_t end = std::min<int64_t>(first + count, static_cast<int64_t>(size));
    return {std::max<int64_t>(first, 0), end};
}

GLenum PrimitiveFor(uint32_t vertexCount) {
    switch (vertexCount) {
        case 1:
            return GL_POINTS;
        case 2:
            return GL_LINES;
        case 3:
            return GL_TRIANGLES;
        case 4:
            return GL_QUADS;
        default:
            return GL_POLYGON;
    }
}

}  // namespace

// Caps the work of one walk: polygon sets visited, polygons and corners sent,
// in proportion to the model file. A file whose polygons each span its whole
// order lists, or whose nodes all share a component of many sets, would
// otherwise make every frame cost the square of its size.
class ModelScene::DrawBudget {
  public:
    explicit DrawBudget(uint64_t fileSize)
        : left_(static_cast<int64_t>(std::min<uint64_t>(fileSize, uint64_t{1} << 40)) *
                kDrawItemsPerFileByte) {}
    bool Spend(int64_t amount) {
        if (amount > left_) {
            spent_ += left_;
            left_ = 0;
            return false;
        }
        left_ -= amount;
        spent_ += amount;
        return true;
    }
    int64_t Spent() const { return spent_; }

  private:
    int64_t left_;
    int64_t spent_ = 0;
};

void ApplyNodeTransform(const float* t) {
    glTranslatef(t[0], t[1], t[2]);
    glTranslatef(t[18], t[19], t[20]);
    glScalef(t[3], t[4], t[5]);
    glTranslatef(0.0f - t[21], 0.0f - t[22], 0.0f - t[23]);
    glRotatef(t[11], 0, 0, 1);
    glRotatef(t[10], 0, 1, 0);
    glRotatef(t[9], 1, 0, 0);
    glTranslatef(t[12], t[13], t[14]);
    glRotatef(2 * t[8], 0, 0, 1);
    glRotatef(2 * t[7], 0, 1, 0);
    glRotatef(2 * t[6], 1, 0, 0);
    glTranslatef(0.0f - t[15], 0.0f - t[16], 0.0f - t[17]);
}

void ModelScene::DrawNode(uint32_t root) {
    const std::vector<ScenegraphNodeRecord>& nodes = Nodes();
    const std::vector<float>& transforms = Transforms();

    // The nesting the modelview stack still has room for under the camera.
    GLint maxDepth = 0, depth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    const size_t room = maxDepth > depth ? static_cast<size_t>(maxDepth - depth) : 0;

    // The walk of the first-child / next-sibling tree with a stack of its own:
    // push and place a node, draw its children, then its own sets, pop, then go
    // on with its next sibling. A node is entered once per walk, so cycles and
    // shared subtrees end; a link to a node already entered counts as absent.
    reached_.assign(nodes.size(), 0);
    open_.clear();
    DrawBudget budget(FileSize());
    int64_t next = root;
    for (;;) {
        while (const ScenegraphNodeRecord* node = At(nodes, next)) {
            if (reached_[static_cast<size_t>(next)] || open_.size() >= room)
                break;
            reached_[static_cast<size_t>(next)] = 1;
            const int64_t first = node->Transform;
            if (first < 0 || first + 24 > static_cast<int64_t>(transforms.size())) {
                // No placement for it: the node and its subtree are left out.
                next = node->NextSibling;
                continue;
            }
            glPushMatrix();
            ApplyNodeTransform(&transforms[static_cast<size_t>(first)]);
            open_.push_back(static_cast<uint32_t>(next));
            next = node->FirstChild;
        }
        if (open_.empty())
            break;
        const uint32_t done = open_.back();
        open_.pop_back();
        DrawSets(done, budget);
        glPopMatrix();
        next = nodes[done].NextSibling;
    }
    itemsSent_ = budget.Spent();
}

void ModelScene::DrawPolygonSets(uint32_t node) {
    DrawBudget budget(FileSize());
    DrawSets(node, budget);
    itemsSent_ = budget.Spent();
}

void ModelScene::DrawSets(uint32_t index, DrawBudget& budget) {
    const ScenegraphNodeRecord* node = At(Nodes(), index);
    if (!node || node->Component == -1)
        return;
    const ScenegraphComponentRecord* component = At(Components(), node->Component);
    const uint8_t* visible = At(Visibility(), node->Visibility);
    if (!component || !visible || *visible == 0)
        return;

    switch (component->AlphaMode) {
        case 0:
            glAlphaFunc(GL_GREATER, 0.95f);
            glEnable(GL_ALPHA_TEST);
            glDisable(GL_BLEND);
            break;
        case 3:
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            glEnable(GL_BLEND);
            glDisable(GL_ALPHA_TEST);
            break;
        default:
            break;  // as the previous component left it
    }
    switch (component->CullMode) {
        case 1:
            glEnable(GL_CULL_FACE);
            break;
        case 3:
            glDisable(GL_CULL_FACE);
            break;
        default:
            break;
    }

    const std::vector<uint32_t>& vertexOrder = VertexOrder();
    const bool texturing = TexturesEnabled != 0 && !TextureDefinitions().empty();
    const Run sets =
        Inside(component->FirstPolygonSet, component->PolygonSetCount, PolygonSets().size());
    for (int64_t s = sets.Begin; s < sets.End; ++s) {
        if (!budget.Spend(1))
            return;
        const PolygonSetRecord& set = PolygonSets()[static_cast<size_t>(s)];
        // A texture map or image number outside its table draws untextured.
        const GLuint* texture = nullptr;
        if (texturing && set.TextureMap != -1) {
            if (const TextureMapRecord* map = At(TextureMaps(), set.TextureMap))
                texture = At(TextureNames.Names(), map->TextureIndex);
        }
        const Run polygons = Inside(set.FirstPolygon, set.PolygonCount, Polygons().size());
        for (int64_t p = polygons.Begin; p < polygons.End; ++p) {
            const PolygonRecord& polygon = Polygons()[static_cast<size_t>(p)];
            // Only the corners whose vertex-order entry exists can have a position.
            const int64_t orderStart = int64_t{set.VertexOrderBase} + polygon.First;
            const Run corners = Inside(orderStart, polygon.VertexCount, vertexOrder.size());
            if (!budget.Spend(1 + std::max<int64_t>(corners.End - corners.Begin, 0)))
                return;

            if (texture) {
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, *texture);
            } else {
                glDisable(GL_TEXTURE_2D);
            }
            glBegin(PrimitiveFor(polygon.VertexCount));
            for (int64_t at = corners.Begin; at < corners.End; ++at) {
                const int64_t o = at - set.VertexOrderBase;  // First + k
                const VertexRecord* position =
                    At(Vertices(), int64_t{component->VertexBase} + vertexOrder[at]);
                if (!position)
                    continue;  // a corner without a position is left out
                // Missing attributes take neutral values rather than the last corner's.
                const ColorRecord* color =
                    Through(ColorOrder(), set.ColorOrderBase + o, 0, Colors());
                const NormalRecord* normal =
                    Through(NormalOrder(), set.NormalOrderBase + o, 0, Normals());
                if (color)
                    glColor4ub(color->R, color->G, color->B, color->A);
                else
                    glColor4ub(255, 255, 255, 255);
                if (normal)
                    glNormal3f(normal->X, normal->Y, normal->Z);
                else
                    glNormal3f(0, 0, 1);
                if (texture) {
                    const TextureVertexRecord* st =
                        Through(TexVertexOrder(), set.TexVertexOrderBase + o,
                                component->TexVertexBase, TexVertices());
                    if (st)
                        glTexCoord2f(st->S, st->T);
                    else
                        glTexCoord2f(0, 0);
                }
                glVertex3f(position->X, position->Y, position->Z);
            }
            glEnd();
        }
    }
}

void ModelScene::DrawBoundingBox() const {
    const float* box = Header().BoundingBox;
    DrawBox(box[0], box[1], box[2], box[3], box[4], box[5]);
}

void DrawBox(float x1, float y1, float z1, float x2, float y2, float z2) {
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 1, 0);
    glBegin(GL_LINES);
    for (float y : {y1, y2}) {
        glVertex3f(x1, y, z1);
        glVertex3f(x2, y, z1);
        glVertex3f(x2, y, z1);
        glVertex3f(x2, y, z2);
        glVertex3f(x2, y, z2);
        glVertex3f(x1, y, z2);
        glVertex3f(x1, y, z2);
        glVertex3f(x1, y, z1);
    }
    glVertex3f(x1, y1, z1);
    glVertex3f(x1, y2, z1);
    glVertex3f(x2, y1, z1);
    glVertex3f(x2, y2, z1);
    glVertex3f(x2, y1, z2);
    glVertex3f(x2, y2, z2);
    glVertex3f(x1, y1, z2);
    glVertex3f(x1, y2, z2);
    glEnd();
}
