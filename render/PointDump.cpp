#include "render/PointDump.h"

#include <GL/gl.h>

#include "model/ByteSource.h"

bool PointDump::Load(const std::string& path) {
    FileName = path;
    Words.clear();
    FileSource file;
    if (!file.Open(path))
        return false;
    Words.resize(file.Size() / 4);
    // Little-endian floats, taken as they lie; a short read leaves zeros.
    file.ReadAt(0, Words.data(), Words.size() * 4);
    return true;
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
