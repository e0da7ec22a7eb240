// Loading, uploading and drawing a large model and a large point dump on the
// offscreen context, beside the same geometry drawn from one client-side
// vertex array: a reference for what the driver itself costs, not a mode of
// the viewer. And the large model exported as glTF beside a plain write.

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

#include "bench/GridModel.h"
#include "cli/Cli.h"
#include "model/ByteSource.h"
#include "render/OffscreenContext.h"
#include "render/SceneView.h"
#include "sample/ArchiveWriter.h"
#include "sample/BigEndianWriter.h"
#include "sample/ModelWriter.h"
#include "texture/UploadSize.h"

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

// The grid model and its archive, written once.
const std::string& ModelPath() {
    static const std::string path = [] {
        sample::WriteFile((Folder() / "grid-").string(), sample::WriteArchive(GridArchive()));
        std::string model = (Folder() / "grid.model").string();
        sample::WriteFile(model, sample::WriteModel(GridModel(kGrid)));
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

// Throughput in `noun` (the table's unit), `perIteration` of them each time.
void CountItems(benchmark::State& state, int64_t perIteration, const char* noun) {
    state.SetItemsProcessed(state.iterations() * perIteration);
    state.SetLabel(noun);
}

void Prepare(SceneView& view) {
    view.InitGL();
    view.Resize(Context().Width(), Context().Height());
}

// Reads each whole file into a buffer made once: what the disk and the C
// library alone cost.
void PlainRead(benchmark::State& state, const std::vector<std::string>& paths) {
    std::vector<std::vector<unsigned char>> buffers;
    int64_t bytes = 0;
    for (const std::string& path : paths) {
        buffers.emplace_back(std::filesystem::file_size(path));
        bytes += static_cast<int64_t>(buffers.back().size());
    }
    for (auto _ : state) {
        for (size_t i = 0; i < paths.size(); ++i) {
            std::FILE* file = std::fopen(paths[i].c_str(), "rb");
            size_t got = std::fread(buffers[i].data(), 1, buffers[i].size(), file);
            std::fclose(file);
            benchmark::DoNotOptimize(got);
            benchmark::DoNotOptimize(buffers[i].data());
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void SceneFilesReference(benchmark::State& state) {
    PlainRead(state, {ModelPath(), (Folder() / "grid-").string()});
}
BENCHMARK(SceneFilesReference)
    ->Name("scene_load/reference_plain_read")
    ->Unit(benchmark::kMillisecond);

void LoadAndUploadModel(benchmark::State& state) {
    Context();
    const std::string& path = ModelPath();
    const int64_t bytes = static_cast<int64_t>(std::filesystem::file_size(path) +
                                               std::filesystem::file_size(Folder() / "grid-"));
    for (auto _ : state) {
        ModelScene scene;
        benchmark::DoNotOptimize(scene.Load(path));
        glFinish();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(LoadAndUploadModel)
    ->Name("scene_load/grid_model_load_and_upload")
    ->Unit(benchmark::kMillisecond);

// A scene whose archive holds eight 256 x 256 images, one per texel format,
// and one of 200 x 100 that has to be resampled to 256 x 128.
ModelScene& UploadScene() {
    static const std::unique_ptr<ModelScene> scene = [] {
        sample::Archive archive;
        const uint32_t formats[] = {0, 1, 2, 3, 4, 5, 6, 14, 4};
        for (uint32_t format : formats) {
            sample::ArchiveImage image;
            image.Width = image.Height = 256;
            image.Format = format;
            const size_t bytes = format == 6 ? 256 * 256 * 4 : 256 * 256 * 2;
            image.Texels.resize(bytes);
            for (size_t i = 0; i < bytes; ++i)
                image.Texels[i] = static_cast<uint8_t>(i * 13 + format);
            archive.Images.push_back(image);
        }
        archive.Images.back().Width = 200;
        archive.Images.back().Height = 100;
        auto loaded = std::make_unique<ModelScene>();
        const std::vector<uint8_t> bytes = sample::WriteArchive(archive);
        MemorySource source(bytes);
        loaded->Textures.LoadFrom(source);
        return loaded;
    }();
    return *scene;
}

int64_t UploadTexels(const TextureFile& archive) {
    int64_t texels = 0;
    for (const ImageHeader& h : archive.ImageHeaders)
        texels += int64_t{h.Width} * h.Height;
    return texels;
}

// The same texture objects made from images already decoded and at their
// upload size: what glTexImage2D itself costs.
void UploadReference(benchmark::State& state) {
    Context();
    const TextureFile& archive = UploadScene().Textures;
    std::vector<std::vector<RgbaColor>> images;
    std::vector<std::pair<GLsizei, GLsizei>> sizes;
    for (const ImageHeader& h : archive.ImageHeaders) {
        sizes.emplace_back(UploadSize(h.Width), UploadSize(h.Height));
        images.emplace_back(static_cast<size_t>(sizes.back().first) * sizes.back().second);
    }
    std::vector<GLuint> names(images.size());
    for (auto _ : state) {
        for (size_t k = 0; k < images.size(); ++k) {
            glGenTextures(1, &names[k]);
            glBindTexture(GL_TEXTURE_2D, names[k]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, sizes[k].first, sizes[k].second, 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, images[k].data());
        }
        glFinish();
        glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
    }
    CountItems(state, UploadTexels(archive), "texels");
}
BENCHMARK(UploadReference)
    ->Name("texture_upload/reference_teximage2d")
    ->Unit(benchmark::kMillisecond);

// Decoding, resampling and uploading every image, as a model scene does.
void Upload(benchmark::State& state) {
    Context();
    ModelScene& scene = UploadScene();
    for (auto _ : state) {
        scene.UploadTextures();
        glFinish();
    }
    scene.TextureNames.Clear();
    CountItems(state, UploadTexels(scene.Textures), "texels");
}
BENCHMARK(Upload)->Name("texture_upload/UploadTextures_9_images")->Unit(benchmark::kMillisecond);

void DrawSceneModel(benchmark::State& state) {
    Context();
    SceneView view;
    Prepare(view);
    view.OpenDocument(ModelPath());
    for (auto _ : state) {
        view.DrawScene();
        glFinish();
    }
    CountItems(state, 2 * kGrid * kGrid, "triangles");
}
BENCHMARK(DrawSceneModel)
    ->Name("draw_model/DrawScene_101250_triangles")
    ->Unit(benchmark::kMillisecond);

// The same triangles, colours and texture coordinates from one client-side array.
void ClientArrayModelReference(benchmark::State& state) {
    Context();
    SceneView view;
    Prepare(view);
    view.OpenDocument(ModelPath());
    const ModelFile& scene = view.Scene->Model();
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
        glBindTexture(GL_TEXTURE_2D, view.Scene->TextureNames.Names()[0]);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(positions.size() / 3));
        glFinish();
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    CountItems(state, 2 * kGrid * kGrid, "triangles");
}
BENCHMARK(ClientArrayModelReference)
    ->Name("draw_model/reference_client_arrays")
    ->Unit(benchmark::kMillisecond);

void PointDumpReference(benchmark::State& state) {
    PlainRead(state, {PointDumpPath()});
}
BENCHMARK(PointDumpReference)
    ->Name("point_dump_load/reference_plain_read")
    ->Unit(benchmark::kMillisecond);

void LoadPointDump(benchmark::State& state) {
    const std::string& path = PointDumpPath();
    for (auto _ : state) {
        PointDump dump;
        benchmark::DoNotOptimize(dump.Load(path));
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(LoadPointDump)->Name("point_dump_load/1M_points")->Unit(benchmark::kMillisecond);

void DrawScenePointDump(benchmark::State& state) {
    Context();
    SceneView view;
    Prepare(view);
    view.OpenDocument(PointDumpPath());
    for (auto _ : state) {
        view.DrawScene();
        glFinish();
    }
    CountItems(state, kPoints, "points");
}
BENCHMARK(DrawScenePointDump)
    ->Name("draw_points/DrawScene_1M_points")
    ->Unit(benchmark::kMillisecond);

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
    CountItems(state, kPoints, "points");
}
BENCHMARK(ClientArrayPointReference)
    ->Name("draw_points/reference_client_arrays")
    ->Unit(benchmark::kMillisecond);

// Hostile models: whatever their shape, a walk's work grows with the file, no
// faster. Each case is one walk over a model of the given size, in memory.

// Polygons that each span the whole order list: half the file order entries,
// half polygons, every polygon asking for every entry. The corners lie within
// a pixel: what is measured is the walk, not the filling of the screen.
std::vector<uint8_t> SpanningPolygons(size_t size) {
    sample::Model m;
    m.Vertices = {{0, 0, 0}, {0.001f, 0, 0}, {0, 0.001f, 0}};
    const uint32_t corners = static_cast<uint32_t>(size / 2 / 4);
    for (uint32_t i = 0; i < corners; ++i)
        m.VertexOrder.push_back(i % 3);
    m.Polygons.assign(size / 2 / 8, {0, corners});
    m.PolygonSets.emplace_back().PolygonCount = static_cast<int32_t>(m.Polygons.size());
    m.Components.emplace_back().PolygonSetCount = 1;
    m.Visibility = {1};
    m.Transforms = {0, 0, 0, 1, 1, 1};
    m.Transforms.resize(24);
    m.Nodes.push_back({"", -1, -1, 0, 0, 0});
    return sample::WriteModel(m);
}

// Nodes that share one component of as many empty polygon sets as there are
// nodes: each set costs its 108 bytes once, and is visited once per node.
std::vector<uint8_t> InstancedEmptySets(size_t size) {
    sample::Model m;
    const int32_t count = static_cast<int32_t>(size / (108 + 88));
    m.Components.emplace_back().PolygonSetCount = count;
    m.PolygonSets.resize(static_cast<size_t>(count));
    m.Visibility = {1};
    m.Transforms = {0, 0, 0, 1, 1, 1};
    m.Transforms.resize(24);
    for (int32_t i = 0; i < count; ++i)
        m.Nodes.push_back({"", i - 1, -1, 0, 0, 0});
    return sample::WriteModel(m);
}

void HostileWalk(benchmark::State& state, std::vector<uint8_t> (*shape)(size_t), size_t kib) {
    Context();
    const std::vector<uint8_t> bytes = shape(kib << 10);
    MemorySource source(bytes);
    ModelScene scene;
    scene.Open(LoadDocumentFrom(source, nullptr));
    for (auto _ : state) {
        scene.DrawNode(scene.Model().RootNode().value_or(0));
        glFinish();
    }
    CountItems(state, scene.ItemsSent(), "items");
}
// The smallest file of each shape is the reference: the ratios grow as the sizes do.
const bool kHostileWalksRegistered = [] {
    const struct {
        const char* Name;
        std::vector<uint8_t> (*Shape)(size_t);
        size_t KiB;
    } walks[] = {
        {"walk_spanning_polygons/reference_64KiB", SpanningPolygons, 64},
        {"walk_spanning_polygons/256KiB", SpanningPolygons, 256},
        {"walk_spanning_polygons/1MiB", SpanningPolygons, 1024},
        {"walk_instanced_empty_sets/reference_1MiB", InstancedEmptySets, 1024},
        {"walk_instanced_empty_sets/4MiB", InstancedEmptySets, 4096},
        {"walk_instanced_empty_sets/16MiB", InstancedEmptySets, 16384},
    };
    for (const auto& walk : walks)
        benchmark::RegisterBenchmark(walk.Name, HostileWalk, walk.Shape, walk.KiB)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

// `kestrel export` of the grid model as .glb (load, walk, the image as PNG,
// the file written), beside a plain write of as many bytes as the .glb holds.
const std::string& ExportPath() {
    static const std::string path = (Folder() / "grid.glb").string();
    return path;
}

bool ExportGrid() {
    std::ostringstream out, err;
    return RunKestrel({"export", ModelPath(), "-o", ExportPath()}, out, err) == 0;
}

void ExportWriteReference(benchmark::State& state) {
    if (!ExportGrid()) {
        state.SkipWithError("kestrel export failed");
        return;
    }
    std::vector<unsigned char> bytes(std::filesystem::file_size(ExportPath()), 0x5A);
    const std::string path = (Folder() / "plain.bin").string();
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        benchmark::DoNotOptimize(std::fwrite(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(ExportWriteReference)
    ->Name("export_glb/reference_plain_write")
    ->Unit(benchmark::kMillisecond);

void ExportGlb(benchmark::State& state) {
    for (auto _ : state) {
        if (!ExportGrid())
            state.SkipWithError("kestrel export failed");
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(ExportPath())));
}
BENCHMARK(ExportGlb)->Name("export_glb/101250_triangles")->Unit(benchmark::kMillisecond);

}  // namespace
