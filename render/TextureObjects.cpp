#include "render/TextureObjects.h"

#include <GL/gl.h>

uint32_t TextureObjects::Generate() {
    GLuint name = 0;
    glGenTextures(1, &name);
    owned_.push_back(name);
    names_.push_back(name);
    return name;
}

void TextureObjects::Clear() {
    if (!owned_.empty())
        glDeleteTextures(static_cast<GLsizei>(owned_.size()), owned_.data());
    owned_.clear();
    names_.clear();
}
