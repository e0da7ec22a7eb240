#include "texture/ModelScene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>

#include "texture/UploadSize.h"

bool ModelScene::Load(const std::string& path, bool upload) {
    archiveLoaded_ = false;
    if (!ModelFile::Load(path))
        return false;
    if (!Textures.LoadBeside(path, Header()))
        return false;
    archiveLoaded_ = true;
    if (!upload)
        return false;
    UploadTextures();
    return true;
}

bool ModelScene::UploadTextures() {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const uint32_t limit = static_cast<uint32_t>(std::max<GLint>(maxSize, kMinimumUploadSize));

    const int32_t count = Textures.ImageCount();
    TextureNames.Clear();
    for (int32_t k = 0; k < count; ++k) {
        const ImageHeader& header = *Textures.Images[static_cast<size_t>(k)].Header;
        const uint32_t w = header.Width, h = header.Height;
        std::vector<RgbaColor> data = Textures.DecodeImage(k);
        // An image the archive cannot back decodes to nothing; it still gets its
        // texture object, transparent, so the numbering stays that of the archive.
        const bool usable = w > 0 && h > 0 && data.size() >= static_cast<size_t>(w) * h;
        const uint32_t W = usable ? std::min(UploadSize(w), limit) : kMinimumUploadSize;
        const uint32_t H = usable ? std::min(UploadSize(h), limit) : kMinimumUploadSize;
        std::vector<RgbaColor> buffer(static_cast<size_t>(W) * H);
        if (usable && W == w && H == h)
            std::memcpy(buffer.data(), data.data(), buffer.size() * sizeof(RgbaColor));
        else if (usable)
            gluScaleImage(GL_RGBA, static_cast<GLint>(w), static_cast<GLint>(h), GL_UNSIGNED_BYTE,
                          data.data(), static_cast<GLint>(W), static_cast<GLint>(H),
                          GL_UNSIGNED_BYTE, buffer.data());

        glBindTexture(GL_TEXTURE_2D, TextureNames.Generate());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(W), static_cast<GLsizei>(H), 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, buffer.data());
    }
    return true;
}
