// The drawing side of ModelScene: the scenegraph walk sent to OpenGL.

#include <GL/gl.h>

#include "render/Drawing.h"
#include "render/ModelScene.h"

namespace {

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

class GlDrawing : public SceneListener {
  public:
    explicit GlDrawing(const std::vector<uint32_t>& textures) : textures_(textures) {}

    void Enter(uint32_t, const NodeTransformRecord& transform) override {
        glPushMatrix();
        ApplyNodeTransform(transform);
    }
    void Leave(uint32_t) override { glPopMatrix(); }

    void Component(uint32_t, const ScenegraphComponentRecord& component) override {
        switch (static_cast<AlphaMode>(component.AlphaMode)) {
            case AlphaMode::Test:
                glAlphaFunc(GL_GREATER, static_cast<float>(kAlphaCutoff));
                glEnable(GL_ALPHA_TEST);
                glDisable(GL_BLEND);
                break;
            case AlphaMode::Additive:
                glBlendFunc(GL_SRC_ALPHA, GL_ONE);
                glEnable(GL_BLEND);
                glDisable(GL_ALPHA_TEST);
                break;
            default:
                break;  // as the previous component left it
        }
        switch (static_cast<CullMode>(component.CullMode)) {
            case CullMode::Cull:
                glEnable(GL_CULL_FACE);
                break;
            case CullMode::None:
                glDisable(GL_CULL_FACE);
                break;
            default:
                break;
        }
    }

    void Polygon(const WalkPolygon& polygon) override {
        const bool textured = polygon.Image >= 0;
        if (textured) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, textures_[static_cast<size_t>(polygon.Image)]);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        glBegin(PrimitiveFor(polygon.VertexCount));
        for (const WalkCorner& corner : polygon.Corners) {
            if (const ColorRecord* color = corner.Color)
                glColor4ub(color->R, color->G, color->B, color->A);
            else
                glColor4ub(255, 255, 255, 255);
            if (const NormalRecord* normal = corner.Normal)
                glNormal3f(normal->X, normal->Y, normal->Z);
            else
                glNormal3f(0, 0, 1);
            if (textured) {
                if (const TextureVertexRecord* st = corner.TexCoord)
                    glTexCoord2f(st->S, st->T);
                else
                    glTexCoord2f(0, 0);
            }
            glVertex3f(corner.Position->X, corner.Position->Y, corner.Position->Z);
        }
        glEnd();
    }

  private:
    const std::vector<uint32_t>& textures_;
};

}  // namespace

void ApplyNodeTransform(const NodeTransformRecord& t) {
    glMultMatrixf(NodeMatrix(t).data());
}

void ModelScene::PrepareWalk() {
    walk_.Images = TexturesEnabled != 0 ? static_cast<int32_t>(TextureNames.Names().size()) : -1;
}

void ModelScene::DrawNode(uint32_t root) {
    // The nesting the modelview stack still has room for under the camera.
    GLint maxDepth = 0, depth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    walk_.Nesting = maxDepth > depth ? static_cast<size_t>(maxDepth - depth) : 0;
    PrepareWalk();
    GlDrawing drawing(TextureNames.Names());
    walk_.Walk(root, drawing);
}

void ModelScene::DrawPolygonSets(uint32_t node) {
    PrepareWalk();
    GlDrawing drawing(TextureNames.Names());
    walk_.Sets(node, drawing);
}

void ModelScene::DrawBoundingBox() const {
    const float* box = model_.Header().BoundingBox;
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
