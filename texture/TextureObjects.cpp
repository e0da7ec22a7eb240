#include "texture/TextureObjects.h"

#include <GL/gl.h>

uint32_t TextureObjects::Generate() {
    GLuint name = 0;
    glGenTextures(1, &name);
    names_.push_back(name);
    return name;
}

void TextureObjects::Adopt(std::vector<uint32_t> names) {
    Clear();
    names_ = std::move(names);
}

void TextureObjects::Clear() {
    if (!names_.empty())
        glDeleteTextures(static_cast<GLsizei>(names_.size()), names_.data());
    names_.clear();
}
