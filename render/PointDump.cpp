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
    const std::span<const float> points = PointFloats(Words);
    for (size_t i = 0; i < points.size(); i += 3)
        glVertex3f(points[i], points[i + 1], points[i + 2]);
    glEnd();
}
