#include "render/ModelScene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "texture/UploadSize.h"

bool ModelScene::Load(const std::string& path, bool upload) {
    Document document = LoadDocument(path);
    if (document.Kind != FileKind::ModelFile) {
        // What cannot be opened, or is no model, leaves the scene empty.
        model_ = ModelFile();
        model_.SetPath(path);
        archiveLoaded_ = false;
        return false;
    }
    return Open(std::move(document), upload);
}

bool ModelScene::Open(Document&& document, bool upload) {
    model_ = std::move(document.Model);
    archiveLoaded_ = document.Archived == ArchiveState::Loaded;
    Textures = std::move(document.Archive);
    if (!archiveLoaded_)
        return false;
    if (!upload)
        return false;
    UploadTextures();
    return true;
}

bool ModelScene::UploadTextures() {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const uint32_t limit = static_cast<uint32_t>(std::max<GLint>(maxSize, kMinimumUploadSize));

    // Every texture is held at its upload size, at least 64 x 64: a table that
    // names one small image thousands of times, or many long thin images,
    // would take gigabytes. Upload sizes come out of a budget in proportion to
    // the archive.
    uint64_t texelsLeft = kUploadTexelsPerArchiveByte * Textures.FileSize();
    const int32_t count = Textures.ImageCount();
    TextureNames.Clear();
    GLuint clear = 0;  // the stand-in, made when first needed
    for (int32_t k = 0; k < count; ++k) {
        const ImageHeader& header = *Textures.Images[static_cast<size_t>(k)].Header;
        const uint32_t w = header.Width, h = header.Height;
        const uint32_t W = std::min(UploadSize(w), limit), H = std::min(UploadSize(h), limit);
        const uint64_t size = uint64_t{W} * H;
        std::vector<RgbaColor> data;
        if (w > 0 && h > 0 && size <= texelsLeft)
            data = Textures.DecodeImage(k);

        // An image over the budget, or one the archive cannot back, still has
        // a texture, so the numbering stays the archive's: all of them share
        // one transparent texel (thousands of objects would cost as much).
        if (data.empty() && clear) {
            TextureNames.Repeat(clear);
            continue;
        }
        const GLuint name = TextureNames.Generate();
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        if (data.empty()) {
            const RgbaColor transparent{};
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         &transparent);
            clear = name;
            continue;
        }
        texelsLeft -= size;
        std::vector<RgbaColor> buffer;
        if (W != w || H != h) {
            buffer.resize(size);
            gluScaleImage(GL_RGBA, static_cast<GLint>(w), static_cast<GLint>(h), GL_UNSIGNED_BYTE,
                          data.data(), static_cast<GLint>(W), static_cast<GLint>(H),
                          GL_UNSIGNED_BYTE, buffer.data());
        }
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(W), static_cast<GLsizei>(H), 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, buffer.empty() ? data.data() : buffer.data());
    }
    return true;
}
