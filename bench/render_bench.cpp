// Loading, uploading and drawing a large model and a large point dump on the
// offscreen context, beside the same geometry drawn from one client-side
// vertex array: a reference for what the driver itself costs, not a mode of
// the viewer.

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "render/OffscreenContext.h"
#include "render/SceneView.h"
#include "sample/ArchiveWriter.h"
#include "sample/BigEndianWriter.h"
#include "sample/ModelWriter.h"

namespace {

OffscreenContext& Context() {
    static OffscreenContext context(640, 480);
    return context;
}

std::filesystem::path Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "kestrel-render-bench";
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

constexpr int kGrid = 225;  // 225 x 225 squares, two triangles each: 101 250 triangles

// A textured, vertex-coloured grid 40 units across, and its archive of one
// 256 x 256 image.
const std::string& ModelPath() {
    static const std::string path = [] {
        sample::Model m;
        m.TextureName = "grid";
        for (int y = 0; y <= kGrid; ++y) {
            for (int x = 0; x <= kGrid; ++x) {
                const float fx = x * 40.0f / kGrid - 20, fy = y * 40.0f / kGrid - 20;
                m.Vertices.push_back({fx, fy, 0});
                m.Normals.push_back({0, 0, 1});
                m.Colors.push_back({uint8_t(x), uint8_t(y), 128, 255});
                m.TexVertices.push_back({x / 16.0f, y / 16.0f});
            }
        }
        auto corner = [&](int x, int y) {
            const uint32_t index = static_cast<uint32_t>(y * (kGrid + 1) + x);
            m.VertexOrder.push_back(index);
            m.NormalOrder.push_back(index);
            m.ColorOrder.push_back(index);
            m.TexVertexOrder.push_back(index);
        };
        for (int y = 0; y < kGrid; ++y) {
            for (int x = 0; x < kGrid; ++x) {
                for (int t = 0; t < 2; ++t) {
                    m.Polygons.push_back({static_cast<uint32_t>(m.VertexOrder.size()), 3});
                    corner(x, y);
                    corner(x + 1, y + t);
                    corner(x + t, y + 1);
                }
            }
        }
        sample::PolygonSet set;
        set.TextureMap = 0;
        set.PolygonCount = static_cast<int32_t>(m.Polygons.size());
        m.PolygonSets = {set};
        sample::Component c;
        c.PolygonSetCount = 1;
        c.AlphaMode = 0;
        c.CullMode = 3;
        m.Components = {c};
        m.Visibility = {1};
        sample::Node node;
        node.Component = 0;
        node.Transform = sample::AddTransform(m, {});
        m.Nodes = {node};
        m.TextureMaps = {{0, 0}};
        m.TextureDefinitions = {{}};

        sample::Archive archive;
        sample::ArchiveImage image;
        image.Width = image.Height = 256;
        image.Format = 1;
        image.Texels.resize(256 * 256);
        for (size_t i = 0; i < image.Texels.size(); ++i)
            image.Texels[i] = static_cast<uint8_t>(i * 7);
        archive.Images = {image};
        sample::WriteFile((Folder() / "grid-").string(), sample::WriteArchive(archive));
        std::string model = (Folder() / "grid.model").string();
        sample::WriteFile(model, sample::WriteModel(m));
        return model;
    }();
    return path;
}

constexpr int kPoints = 1'000'000;

const std::string& PointDumpPath() {
    static const std::string path = [] {
        std::vector<float> words(kFirstPointWord + 3 * size_t{kPoints});
        for (int i = 0; i < kPoints; ++i) {
            float* p = &words[kFirstPointWord + 3 * size_t(i)];
            p[0] = float(i % 1000) / 25 - 20;
            p[1] = float(i / 1000) / 25 - 20;
            p[2] = float(i % 7);
        }
        std::vector<uint8_t> bytes(words.size() * 4);
        std::memcpy(bytes.data(), words.data(), bytes.size());
        std::string file = (Folder() / "points.bin").string();
        sample::WriteFile(file, bytes);
        return file;
    }();
    return path;
}

void Prepare(SceneView& view) {
    view.InitGL();
    view.Resize(Context().Width(), Context().Height());
}

void LoadAndUploadModel(benchmark::State& state) {
    Context();
    const std::string& path = ModelPath();
    for (auto _ : state) {
        ModelScene scene;
        benchmark::DoNotOptimize(scene.Load(path));
        glFinish();
    }
}
BENCHMARK(LoadAndUploadModel)->Unit(benchmark::kMillisecond);

void DrawSceneModel(benchmark::State& state) {
    Context();
    SceneView view;
    Prepare(view);
    view.OpenDocument(ModelPath());
    for (auto _ : state) {
        view.DrawScene();
        glFinish();
    }
    state.counters["triangles"] = 2.0 * kGrid * kGrid;
}
BENCHMARK(DrawSceneModel)->Unit(benchmark::kMillisecond);

// The same triangles, colours and texture coordinates from one client-side array.
void ClientArrayModelReference(benchmark::State& state) {
    Context();
    SceneView view;
    Prepare(view);
    view.OpenDocument(ModelPath());
    const ModelScene& scene = *view.Scene;
    std::vector<float> positions, coords;
    std::vector<uint8_t> colors;
    for (uint32_t index : scene.VertexOrder()) {
        const VertexRecord& v = scene.Vertices()[index];
        positions.insert(positions.end(), {v.X, v.Y, v.Z});
        const TextureVertexRecord& t = scene.TexVertices()[index];
        coords.insert(coords.end(), {t.S, t.T});
        const ColorRecord& c = scene.Colors()[index];
        colors.insert(colors.end(), {c.R, c.G, c.B, c.A});
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, colors.data());
    glTexCoordPointer(2, GL_FLOAT, 0, coords.data());
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        view.ApplyCamera();
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, scene.TextureNames[0]);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(positions.size() / 3));
        glFinish();
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
BENCHMARK(ClientArrayModelReference)->Unit(benchmark::kMillisecond);

void LoadPointDump(benchmark::State& state) {
    const std::string& path = PointDumpPath();
    for (auto _ : state) {
        PointDump dump;
        benchmark::DoNotOptimize(dump.Load(path));
    }
}
BENCHMARK(LoadPointDump)->Unit(benchmark::kMillisecond);

void DrawScenePointDump(benchmark::State& state) {
    Context();
    SceneView view;
    Prepare(view);
    view.OpenDocument(PointDumpPath());
    for (auto _ : state) {
        view.DrawScene();
        glFinish();
    }
    state.counters["points"] = kPoints;
}
BENCHMARK(DrawScenePointDump)->Unit(benchmark::kMillisecond);

void ClientArrayPointReference(benchmark::State& state) {
    Context();
    SceneView view;
    Prepare(view);
    PointDump dump;
    dump.Load(PointDumpPath());
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, &dump.Words[kFirstPointWord]);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        view.ApplyCamera();
        glDrawArrays(GL_POINTS, 0, kPoints);
        glFinish();
    }
    glDisableClientState(GL_VERTEX_ARRAY);
}
BENCHMARK(ClientArrayPointReference)->Unit(benchmark::kMillisecond);

}  // namespace
