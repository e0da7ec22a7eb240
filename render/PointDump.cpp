#include "render/PointDump.h"

#include <GL/gl.h>

#include "model/ByteSource.h"

bool PointDump::Load(const std::string& path) {
    FileName = path;
    Words.clear();
    FileSource file;
    if (!file.Open(path))
        return false;
    LoadFrom(file);
    return true;
}

void PointDump::LoadFrom(ByteSource& source) {
    Words.assign(source.Size() / 4, 0.0f);
    // Little-endian floats, taken as they lie; a short read leaves zeros.
    source.ReadAt(0, Words.data(), Words.size() * 4);
}

void PointDump::Draw() const {
    glColor3f(1, 1, 1);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glBegin(GL_POINTS);
    for (size_t i = kFirstPointWord; i + 2 < Words.size(); i += 3)
        glVertex3f(Words[i], Words[i + 1], Words[i + 2]);
    glEnd();
}
