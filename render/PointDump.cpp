#include "render/PointDump.h"

#include <GL/gl.h>

#include "model/ByteSource.h"

bool PointDump::Load(const std::string& path) {
    FileName = path;
    Words.clear();
    FileSource file;
    if (!file.Open(path))
        return false;
    Words = ReadPointWords(file);
    return true;
}

void PointDump::Draw() const {
    glColor3f(1, 1, 1);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glBegin(GL_POINTS);
    const uint64_t count = PointCount(Words.size());
    for (uint64_t p = 0; p < count; ++p) {
        const float* point = &Words[kFirstPointWord + 3 * p];
        glVertex3f(point[0], point[1], point[2]);
    }
    glEnd();
}
