// The export read back with tinygltf: what a glTF importer builds from the
// file is what the view draws, vertex for vertex and texel for texel.

#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "document/Document.h"
#include "export/GltfExport.h"
#include "export/GltfFiles.h"
#include "model/ModelFile.h"
#include "render/SceneWalk.h"
#include "tests/export/ExportSample.h"
#include "tests/support/TempDir.h"
#include "texture/TextureFile.h"

namespace {

using Matrix = std::array<double, 16>;  // column-major

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

constexpr Matrix kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// What an importer places a node by: its matrix, or translation x rotation x scale.
Matrix LocalOf(const tinygltf::Node& node) {
    Matrix m = kIdentity;
    if (!node.matrix.empty()) {
        std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
        return m;
    }
    if (!node.rotation.empty()) {
        const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2],
                     w = node.rotation[3];
        // clang-format off
        m = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
             2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
             2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0,
             0,                       0,                       0,                       1};
        // clang-format on
    }
    for (size_t c = 0; c < 3 && !node.scale.empty(); ++c)
        for (size_t r = 0; r < 3; ++r)
            m[c * 4 + r] *= node.scale[c];
    for (size_t r = 0; r < 3 && !node.translation.empty(); ++r)
        m[12 + r] = node.translation[r];
    return m;
}

struct Vertex {
    std::array<double, 3> At;
    std::array<double, 4> Color;    // linear, 0 to 255
    std::optional<uint32_t> Texel;  // the texel it shows, packed
};

// One point, line or triangle as drawn, under the node record it belongs to.
struct Drawn {
    int Record;
    int Mode;
    std::vector<Vertex> Vertices;
};

std::ostream& operator<<(std::ostream& out, const Drawn& d) {
    out << "record " << d.Record << " mode " << d.Mode << ":";
    for (const Vertex& v : d.Vertices)
        out << " (" << v.At[0] << "," << v.At[1] << "," << v.At[2] << " rgba " << v.Color[0] << ","
            << v.Color[1] << "," << v.Color[2] << "," << v.Color[3] << ")";
    return out;
}

bool Same(const Drawn& a, const Drawn& b) {
    if (a.Record != b.Record || a.Mode != b.Mode || a.Vertices.size() != b.Vertices.size())
        return false;
    for (size_t i = 0; i < a.Vertices.size(); ++i) {
        const Vertex &u = a.Vertices[i], &v = b.Vertices[i];
        for (size_t k = 0; k < 3; ++k) {
            if (std::abs(u.At[k] - v.At[k]) > 1e-4 * (1 + std::abs(u.At[k])))
                return false;
        }
        for (size_t k = 0; k < 4; ++k) {
            if (std::abs(u.Color[k] - v.Color[k]) > 1)
                return false;
        }
        if (u.Texel != v.Texel)
            return false;
    }
    return true;
}

double Repeat(double f) {
    return f - std::floor(f);
}

// A colour byte as the view shows it (sRGB), made linear.
double Linear(uint8_t byte) {
    const double c = byte / 255.0;
    return 255 * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
}

uint32_t Texel(const uint8_t* rgba) {
    return uint32_t{rgba[0]} << 24 | uint32_t{rgba[1]} << 16 | uint32_t{rgba[2]} << 8 | rgba[3];
}

// What the view draws: the walk, placed by the drawing's own node matrices,
// with each textured corner's texel looked up in the decoded image.
class DrawingRecorder : public SceneListener {
  public:
    explicit DrawingRecorder(const TextureFile& archive) : archive_(archive) {}

    void Enter(uint32_t node, const NodeTransformRecord& t) override {
        const std::array<float, 16> local = NodeMatrix(t);
        Parents[static_cast<int>(node)] = open_.empty() ? -1 : open_.back();
        Matrix m;
        std::copy(local.begin(), local.end(), m.begin());
        world_.push_back(Multiply(world_.back(), m));
        open_.push_back(static_cast<int>(node));
    }
    void Leave(uint32_t) override {
        world_.pop_back();
        open_.pop_back();
    }
    void Component(uint32_t, const ScenegraphComponentRecord&) override {}
    // GL_POINTS, GL_LINES, GL_TRIANGLES and GL_QUADS draw nothing of a short
    // primitive; GL_POLYGON needs three corners, and a convex one is a fan.
    void Polygon(const WalkPolygon& polygon) override {
        const size_t n = polygon.Corners.size(), count = polygon.VertexCount;
        std::vector<Vertex> v;
        for (const WalkCorner& corner : polygon.Corners)
            v.push_back(VertexOf(corner, polygon.Image));
        if (count == 1 && n == 1)
            Primitives.push_back({open_.back(), TINYGLTF_MODE_POINTS, v});
        else if (count == 2 && n == 2)
            Primitives.push_back({open_.back(), TINYGLTF_MODE_LINE, v});
        else if (count == 3 || count == 4 ? n == count : count != 1 && count != 2 && n >= 3)
            for (size_t k = 2; k < n; ++k)
                Primitives.push_back(
                    {open_.back(), TINYGLTF_MODE_TRIANGLES, {v[0], v[k - 1], v[k]}});
    }

    std::vector<Drawn> Primitives;
    std::map<int, int> Parents;

  private:
    Vertex VertexOf(const WalkCorner& corner, int32_t image) const {
        const Matrix& m = world_.back();
        const VertexRecord& p = *corner.Position;
        Vertex v;
        for (size_t r = 0; r < 3; ++r)
            v.At[r] = m[r] * p.X + m[4 + r] * p.Y + m[8 + r] * p.Z + m[12 + r];
        const ColorRecord white{255, 255, 255, 255};
        const ColorRecord& c = corner.Color ? *corner.Color : white;
        v.Color = {Linear(c.R), Linear(c.G), Linear(c.B), static_cast<double>(c.A)};
        if (image >= 0) {
            // OpenGL's t = 0 is the first row uploaded: row 0 of the decoded image.
            const ImageHeader& h = *archive_.Images[static_cast<size_t>(image)].Header;
            const std::vector<RgbaColor> texels = archive_.DecodeImage(image);
            const auto x = static_cast<size_t>(Repeat(corner.TexCoord->S) * h.Width);
            const auto y = static_cast<size_t>(Repeat(corner.TexCoord->T) * h.Height);
            v.Texel = texels[y * h.Width + x].Packed();
        }
        return v;
    }

    const TextureFile& archive_;
    std::vector<Matrix> world_{kIdentity};
    std::vector<int> open_;
};

template <class T>
std::vector<T> Read(const tinygltf::Model& gltf, int index) {
    const tinygltf::Accessor& accessor = gltf.accessors.at(static_cast<size_t>(index));
    const tinygltf::BufferView& view =
        gltf.bufferViews.at(static_cast<size_t>(accessor.bufferView));
    const std::vector<unsigned char>& data = gltf.buffers.at(static_cast<size_t>(view.buffer)).data;
    const size_t components = static_cast<size_t>(tinygltf::GetNumComponentsInType(accessor.type));
    std::vector<T> values(accessor.count * components);
    EXPECT_LE(view.byteOffset + accessor.byteOffset + values.size() * sizeof(T), data.size());
    std::memcpy(values.data(), data.data() + view.byteOffset + accessor.byteOffset,
                values.size() * sizeof(T));
    return values;
}

// What an importer builds of the file: every primitive's points, lines and
// triangles in world space, each texture coordinate's texel read from the
// image in the file.
struct Imported {
    std::vector<Drawn> Primitives;
    std::map<int, int> Parents;                          // record: parent record, -1 at the top
    std::map<int, int> Meshes;                           // record: its mesh
    std::map<int, const tinygltf::Material*> Materials;  // record: a material of its mesh

    Imported(const tinygltf::Model& gltf) : gltf_(gltf) {
        for (int node : gltf.scenes.at(0).nodes)
            Walk(node, kIdentity, -1, -1);
    }

  private:
    void Walk(int index, const Matrix& parent, int parentRecord, int record) {
        const tinygltf::Node& node = gltf_.nodes.at(static_cast<size_t>(index));
        const Matrix world = Multiply(parent, LocalOf(node));
        if (node.extras.Has("record")) {
            record = node.extras.Get("record").GetNumberAsInt();
            EXPECT_FALSE(Parents.count(record)) << "record " << record << " twice";
            Parents[record] = parentRecord;
            parentRecord = record;
        }
        if (node.mesh >= 0) {
            Meshes[record] = node.mesh;
            for (const tinygltf::Primitive& p :
                 gltf_.meshes.at(static_cast<size_t>(node.mesh)).primitives)
                Add(p, world, record);
        }
        for (int child : node.children)
            Walk(child, world, parentRecord, record);
    }

    void Add(const tinygltf::Primitive& p, const Matrix& m, int record) {
        const tinygltf::Material& material = gltf_.materials.at(static_cast<size_t>(p.material));
        Materials[record] = &material;
        const std::vector<float> xyz = Read<float>(gltf_, p.attributes.at("POSITION"));
        const std::vector<uint8_t> rgba = Read<uint8_t>(gltf_, p.attributes.at("COLOR_0"));
        const std::vector<uint32_t> indices = Read<uint32_t>(gltf_, p.indices);
        // Normals are unit length, a zero one in the file included.
        const std::vector<float> normals = Read<float>(gltf_, p.attributes.at("NORMAL"));
        for (size_t i = 0; i + 3 <= normals.size(); i += 3)
            EXPECT_NEAR(std::hypot(normals[i], normals[i + 1], normals[i + 2]), 1, 1e-6);
        std::vector<float> uv;
        const tinygltf::Image* image = nullptr;
        if (p.attributes.count("TEXCOORD_0")) {
            uv = Read<float>(gltf_, p.attributes.at("TEXCOORD_0"));
            const int texture = material.pbrMetallicRoughness.baseColorTexture.index;
            image = &gltf_.images.at(
                static_cast<size_t>(gltf_.textures.at(static_cast<size_t>(texture)).source));
            EXPECT_EQ(image->component, 4);
        }
        const size_t size = p.mode == TINYGLTF_MODE_POINTS ? 1
                            : p.mode == TINYGLTF_MODE_LINE ? 2
                                                           : 3;
        for (size_t i = 0; i + size <= indices.size(); i += size) {
            Drawn d{record, p.mode, {}};
            for (size_t k = i; k < i + size; ++k) {
                const size_t at = indices[k];
                Vertex v;
                for (size_t r = 0; r < 3; ++r)
                    v.At[r] = m[r] * xyz[3 * at] + m[4 + r] * xyz[3 * at + 1] +
                              m[8 + r] * xyz[3 * at + 2] + m[12 + r];
                for (size_t k = 0; k < 4; ++k)
                    v.Color[k] = rgba[4 * at + k];
                if (image) {
                    // glTF's v = 0 is the image's top row, the PNG's first.
                    const auto x = static_cast<size_t>(Repeat(uv[2 * at]) * image->width);
                    const auto y = static_cast<size_t>(Repeat(uv[2 * at + 1]) * image->height);
                    v.Texel = Texel(&image->image[4 * (y * static_cast<size_t>(image->width) + x)]);
                }
                d.Vertices.push_back(v);
            }
            Primitives.push_back(d);
        }
    }

    const tinygltf::Model& gltf_;
};

bool Load(const std::string& path, tinygltf::Model& gltf) {
    tinygltf::TinyGLTF loader;
    std::string error, warning;
    const bool ok = GltfFormatOf(path) == GltfFormat::Binary
                        ? loader.LoadBinaryFromFile(&gltf, &error, &warning, path)
                        : loader.LoadASCIIFromFile(&gltf, &error, &warning, path);
    EXPECT_TRUE(ok) << error;
    return ok;
}

// The every-kind model written into `dir`, loaded with its archive.
Document EveryKind(const testsupport::TempDir& dir) {
    std::string path;
    EXPECT_TRUE(testsupport::WriteEveryKind(dir.File(""), path));
    Document loaded = LoadDocument(path);
    EXPECT_TRUE(loaded.HasArchive());
    return loaded;
}

}  // namespace

TEST(Export, ImportsAsTheViewDrawsIt) {
    testsupport::TempDir dir;
    const Document loaded = EveryKind(dir);
    const ModelFile& file = loaded.Model;
    const TextureFile& archive = loaded.Archive;
    GltfDocument document = GltfOfModel(file, &archive);
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(WriteGltfFiles(dir.File("every.glb"), document, written, error)) << error;
    EXPECT_EQ(written, std::vector<std::string>{dir.File("every.glb")});
    tinygltf::Model gltf;
    ASSERT_TRUE(Load(dir.File("every.glb"), gltf));

    DrawingRecorder drawn(archive);
    SceneWalk walk(file);
    walk.Images = archive.ImageCount();
    walk.Walk(static_cast<uint32_t>(file.Nodes().size() - 1), drawn);
    const Imported imported(gltf);

    // The nodes the walk reaches, each once, under the parent it places them
    // under; 8 is reached by no link, 0 a second time through 4.
    EXPECT_EQ(imported.Parents, drawn.Parents);
    EXPECT_FALSE(imported.Parents.count(8));
    // The same component in the same state is one mesh, instanced.
    EXPECT_EQ(imported.Meshes.at(4), imported.Meshes.at(9));

    // Every point, line and triangle drawn, in place, with its colours and texels.
    std::vector<Drawn> left = imported.Primitives;
    for (const Drawn& d : drawn.Primitives) {
        auto found =
            std::find_if(left.begin(), left.end(), [&](const Drawn& i) { return Same(d, i); });
        if (found == left.end())
            ADD_FAILURE() << "not in the file: " << d;
        else
            left.erase(found);
    }
    for (const Drawn& i : left)
        ADD_FAILURE() << "not drawn: " << i;
    EXPECT_EQ(drawn.Primitives.size(), 2 + 1 + 1 + 2 + 3 + 3 + 4u);

    // The render state each component leaves to the next, in walk order.
    struct State {
        int Record;
        std::string AlphaMode;
        bool DoubleSided;
        bool Additive = false;
    };
    for (const State& s :
         {State{0, "OPAQUE", true}, State{2, "MASK", false}, State{1, "MASK", false},
          State{3, "BLEND", true, true}, State{4, "BLEND", true, true},
          State{9, "BLEND", true, true}, State{6, "MASK", true}}) {
        SCOPED_TRACE(s.Record);
        const tinygltf::Material& m = *imported.Materials.at(s.Record);
        EXPECT_EQ(m.alphaMode, s.AlphaMode);
        EXPECT_EQ(m.doubleSided, s.DoubleSided);
        EXPECT_EQ(m.alphaCutoff, s.AlphaMode == "MASK" ? 0.95 : 0.5);
        EXPECT_EQ(m.extras.Has("additive") && m.extras.Get("additive").Get<bool>(), s.Additive);
        EXPECT_TRUE(m.extensions.count("KHR_materials_unlit"));
    }

    // Each image named as the model names it, else by its number, with the
    // wrapping its archive header asks for.
    struct Texture {
        std::string Name;
        int WrapS, WrapT;
        std::map<std::string, int> Extras;
    };
    const std::map<int, Texture> textures = {
        {0,
         {"first \uFFFD",
          TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE,
          TINYGLTF_TEXTURE_WRAP_MIRRORED_REPEAT,
          {}}},
        {1,
         {"image 1", TINYGLTF_TEXTURE_WRAP_REPEAT, TINYGLTF_TEXTURE_WRAP_REPEAT, {{"wrapT", 9}}}}};
    ASSERT_EQ(gltf.textures.size(), textures.size());
    for (const tinygltf::Texture& t : gltf.textures) {
        const tinygltf::Image& image = gltf.images.at(static_cast<size_t>(t.source));
        const int number = image.extras.Get("archiveImage").GetNumberAsInt();
        SCOPED_TRACE(number);
        const Texture& want = textures.at(number);
        EXPECT_EQ(image.name, want.Name);
        EXPECT_EQ(t.name, want.Name);
        const tinygltf::Sampler& sampler = gltf.samplers.at(static_cast<size_t>(t.sampler));
        EXPECT_EQ(sampler.minFilter, TINYGLTF_TEXTURE_FILTER_LINEAR);
        EXPECT_EQ(sampler.wrapS, want.WrapS);
        EXPECT_EQ(sampler.wrapT, want.WrapT);
        std::map<std::string, int> extras;
        for (const std::string& key : sampler.extras.Keys())
            extras[key] = sampler.extras.Get(key).GetNumberAsInt();
        EXPECT_EQ(extras, want.Extras);
    }

    EXPECT_EQ(gltf.asset.generator.rfind("kestrel ", 0), 0u);
    EXPECT_EQ(gltf.scenes[0].extras.Get("model").Get<std::string>(), "every kind");
    EXPECT_EQ(gltf.scenes[0].extras.Get("date").Get<std::string>(), "2025-01-02");
}

TEST(Export, WritesGlbOrGltfWithItsFilesBeside) {
    testsupport::TempDir dir;
    const Document loaded = EveryKind(dir);
    const ModelFile& model = loaded.Model;
    const TextureFile& archive = loaded.Archive;

    // A .gltf names its buffer and images beside it; the same scene as a .glb.
    GltfDocument text = GltfOfModel(model, &archive), binary = GltfOfModel(model, &archive);
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(WriteGltfFiles(dir.File("my model.gltf"), text, written, error)) << error;
    EXPECT_EQ(written, (std::vector<std::string>{
                           dir.File("my model.gltf"), dir.File("my model.bin"),
                           dir.File("my model_000.png"), dir.File("my model_001.png")}));
    ASSERT_TRUE(WriteGltfFiles(dir.File("every.GLB"), binary, written, error)) << error;
    tinygltf::Model gltf, glb;
    ASSERT_TRUE(Load(dir.File("my model.gltf"), gltf));
    EXPECT_EQ(gltf.buffers.at(0).uri, "my%20model.bin");
    EXPECT_EQ(gltf.images.at(1).uri, "my%20model_001.png");
    ASSERT_TRUE(Load(dir.File("every.GLB"), glb));
    EXPECT_EQ(Imported(gltf).Primitives.size(), Imported(glb).Primitives.size());
    EXPECT_EQ(glb.images.at(0).mimeType, "image/png");
    EXPECT_GE(glb.images.at(0).bufferView, 0);

    // Without an archive: the same primitives, no images, no texture coordinates.
    const tinygltf::Model plain = GltfOfModel(model, nullptr).Gltf;
    EXPECT_TRUE(plain.images.empty());
    EXPECT_EQ(Imported(plain).Primitives.size(), Imported(glb).Primitives.size());
    for (const tinygltf::Mesh& mesh : plain.meshes)
        for (const tinygltf::Primitive& p : mesh.primitives)
            EXPECT_FALSE(p.attributes.count("TEXCOORD_0"));
}

TEST(Export, PlacementsAndPointsGltfCanHold) {
    // Scaled after turning, unevenly, flat or mirrored: whatever nodes the
    // placement becomes, their product is the drawing's matrix. Oblique turns
    // near a half turn about each axis take every way out of a rotation matrix.
    struct Case {
        sample::Vec3 Turn, Scale;
    };
    const Case cases[] = {{{170, 10, 20}, {1, 2, 3}},
                          {{10, 170, 20}, {3, 1, 2}},
                          {{20, 10, 170}, {2, 3, 1}},
                          {{10, 20, 30}, {1, 2, 3}},
                          {{30, 40, 0}, {0, 1, 2}},
                          {{30, 40, 50}, {0, 0, 2}},
                          {{30, 0, 0}, {0, 0, 0}},
                          {{20, 0, 60}, {-1, 2, 3}},
                          {{30, 40, 50}, {1e38f, 1e38f, 1e38f}}};
    for (const Case& c : cases) {
        sample::Model m;
        sample::Node node;
        node.Transform = sample::AddTransform(m, {1, 2, 3}, c.Turn, c.Scale, {5, 0, 10});
        m.Nodes.push_back(node);
        testsupport::TempDir dir;
        ModelFile file;
        ASSERT_TRUE(file.Load(dir.Write("placed.model", sample::WriteModel(m))));
        const tinygltf::Model gltf = GltfOfModel(file, nullptr).Gltf;
        ASSERT_EQ(gltf.scenes[0].nodes.size(), 1u);
        Matrix world = kIdentity;
        for (int at = gltf.scenes[0].nodes[0]; at >= 0;) {
            const tinygltf::Node& n = gltf.nodes[static_cast<size_t>(at)];
            world = Multiply(world, LocalOf(n));
            at = n.children.empty() ? -1 : n.children[0];
        }
        const std::array<float, 16> want = NodeMatrix(*file.NodeTransform(0));
        for (size_t i = 0; i < 16; ++i)
            EXPECT_NEAR(world[i], want[i], 1e-4 * (1 + std::abs(want[i])))
                << "element " << i << ", turn " << c.Turn.X << " " << c.Turn.Y << " " << c.Turn.Z
                << ", scale " << c.Scale.X << " " << c.Scale.Y << " " << c.Scale.Z;
    }

    // A point dump is one cloud of white points, whole triples from the first
    // drawn word; one that is not a number is left out.
    std::vector<float> words(kFirstPointWord + 10);
    for (size_t i = 0; i < 10; ++i)
        words[kFirstPointWord + i] = static_cast<float>(i) + 0.5f;
    words[kFirstPointWord + 7] = std::nanf("");
    const tinygltf::Model cloud = GltfOfPointDump(words).Gltf;
    const tinygltf::Primitive& points = cloud.meshes.at(0).primitives.at(0);
    EXPECT_EQ(points.mode, TINYGLTF_MODE_POINTS);
    EXPECT_EQ(cloud.materials.at(0).pbrMetallicRoughness.baseColorFactor,
              std::vector<double>({1, 1, 1, 1}));
    const tinygltf::Accessor& positions =
        cloud.accessors.at(static_cast<size_t>(points.attributes.at("POSITION")));
    ASSERT_EQ(positions.count, 2u);
    const tinygltf::BufferView& view =
        cloud.bufferViews.at(static_cast<size_t>(positions.bufferView));
    std::vector<float> xyz(6);
    std::memcpy(xyz.data(), cloud.buffers.at(0).data.data() + view.byteOffset, 24);
    EXPECT_EQ(xyz, (std::vector<float>{0.5f, 1.5f, 2.5f, 3.5f, 4.5f, 5.5f}));
    EXPECT_EQ(positions.minValues, (std::vector<double>{0.5, 1.5, 2.5}));
    EXPECT_EQ(positions.maxValues, (std::vector<double>{3.5, 4.5, 5.5}));
}
