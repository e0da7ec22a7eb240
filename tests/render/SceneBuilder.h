#pragma once
// Small models for the drawing tests, written with the sample writer and read
// back by the real reader, so every value goes through the file's byte order;
// and what their drawing sends, read back from GL.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "render/ModelScene.h"
#include "sample/MeshBuilder.h"
#include "sample/ModelWriter.h"
#include "tests/support/GlContext.h"

namespace testsupport {

using Corner = sample::Corner;
using PolygonCorners = sample::PolygonCorners;

using sample::AddComponent;

// A component of one point at the origin with red byte `red`.
int32_t AddMarker(sample::Model& model, uint8_t red);

// Appends a node placed by `translate` (see sample::AddTransform), with a
// visibility byte of its own. Returns its index.
int32_t AddNode(sample::Model& model, int32_t component, sample::Vec3 translate = {},
                uint8_t visibility = 1);

// The model read back through the reader, without an archive.
std::unique_ptr<ModelScene> SceneOf(const sample::Model& model);

// The walk from the last record, where the view starts.
void DrawWhole(ModelScene& scene);
// That walk on a cleared screen after UseFeedbackOrtho.
void Frame(ModelScene& scene);
// The pixel that shows eye point (x, y) under UseFeedbackOrtho.
Pixel PixelAt(const GlContext& gl, float x, float y);

// A vertex drawn under UseFeedbackOrtho: its red byte and eye position to 0.01.
struct DrawnPoint {
    int Red;
    float X, Y, Z;
    friend bool operator==(const DrawnPoint&, const DrawnPoint&) = default;
    friend std::ostream& operator<<(std::ostream& out, const DrawnPoint& p) {
        return out << "red " << p.Red << " at " << p.X << "," << p.Y << "," << p.Z;
    }
};

// The vertices `draw` sends, in order, after UseFeedbackOrtho.
std::vector<DrawnPoint> PointsDrawn(const std::function<void()>& draw);

// glGetError until it reports no error; the first error seen, or GL_NO_ERROR.
unsigned FirstGlError();

int GlInteger(unsigned name);
std::array<float, 16> GlMatrix(unsigned name);

}  // namespace testsupport
