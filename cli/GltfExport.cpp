#include "cli/GltfExport.h"

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <span>
#include <tuple>
#include <unordered_map>

#include "cli/Png.h"
#include "model/ModelFile.h"
#include "model/Text.h"
#include "render/PointDump.h"
#include "render/SceneWalk.h"
#include "texture/TextureFile.h"

namespace {

using tinygltf::Value;

const char* const kUnlit = "KHR_materials_unlit";

// What the alpha state of the view does to a component's polygons.
enum class Blending { None, AlphaTest, Additive };

// The state the view's components set and leave to the next one in walk
// order; before the first, as InitGL leaves it: no alpha test, no blending,
// no culling.
struct RenderState {
    Blending Alpha = Blending::None;
    bool Cull = false;

    void Apply(const ScenegraphComponentRecord& component) {
        if (component.AlphaMode == 0)
            Alpha = Blending::AlphaTest;
        else if (component.AlphaMode == 3)
            Alpha = Blending::Additive;
        if (component.CullMode == 1)
            Cull = true;
        else if (component.CullMode == 3)
            Cull = false;
    }
    auto Key() const { return std::tuple(static_cast<int>(Alpha), Cull); }
};

std::string Generator() {
    std::string name = "kestrel ";
    name += KESTREL_VERSION;
    return name;
}

// Appends geometry and images to buffer 0 (made when first needed), one buffer
// view each, four-byte aligned.
class Bin {
  public:
    explicit Bin(tinygltf::Model& gltf) : gltf_(gltf) {}

    int View(const void* data, size_t size, int target) {
        if (gltf_.buffers.empty())
            gltf_.buffers.emplace_back();
        std::vector<unsigned char>& bytes = gltf_.buffers[0].data;
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = bytes.size();
        view.byteLength = size;
        view.target = target;
        const auto* begin = static_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), begin, begin + size);
        bytes.resize((bytes.size() + 3) / 4 * 4, 0);
        gltf_.bufferViews.push_back(view);
        return static_cast<int>(gltf_.bufferViews.size() - 1);
    }

    // `values` holds `components` numbers per element.
    template <class T>
    int Accessor(const std::vector<T>& values, int componentType, int type, size_t components,
                 int target, bool normalized = false) {
        tinygltf::Accessor accessor;
        accessor.bufferView = View(values.data(), values.size() * sizeof(T), target);
        accessor.componentType = componentType;
        accessor.type = type;
        accessor.count = values.size() / components;
        accessor.normalized = normalized;
        gltf_.accessors.push_back(accessor);
        return static_cast<int>(gltf_.accessors.size() - 1);
    }

    // Positions, with the bounds glTF requires of them.
    int Positions(const std::vector<float>& xyz) {
        const int index =
            Accessor(xyz, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, 3, kVertices);
        tinygltf::Accessor& accessor = gltf_.accessors[static_cast<size_t>(index)];
        accessor.minValues.assign(xyz.begin(), xyz.begin() + 3);
        accessor.maxValues = accessor.minValues;
        for (size_t i = 3; i < xyz.size(); ++i) {
            double& low = accessor.minValues[i % 3];
            double& high = accessor.maxValues[i % 3];
            low = std::min<double>(low, xyz[i]);
            high = std::max<double>(high, xyz[i]);
        }
        return index;
    }

    static constexpr int kVertices = TINYGLTF_TARGET_ARRAY_BUFFER;
    static constexpr int kIndices = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;

  private:
    tinygltf::Model& gltf_;
};

bool Finite(const VertexRecord& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
}

// glTF wants unit normals. The view never lights, so a normal changes nothing
// that shows: a zero or non-finite one becomes the view's default (0, 0, 1).
std::array<float, 3> UnitNormal(const NormalRecord* normal) {
    if (!normal)
        return {0, 0, 1};
    const double x = normal->X, y = normal->Y, z = normal->Z;
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0) || !std::isfinite(length))
        return {0, 0, 1};
    return {static_cast<float>(x / length), static_cast<float>(y / length),
            static_cast<float>(z / length)};
}

// A texture coordinate as OpenGL takes it. The view's texture has row 0 of the
// decoded image at t = 0, and the PNG has that row first, at v = 0: (s, t)
// stays (u, v). A non-finite one counts as missing, as glTF cannot hold it.
std::array<float, 2> TexCoord(const TextureVertexRecord* st) {
    if (!st || !std::isfinite(st->S) || !std::isfinite(st->T))
        return {0, 0};
    return {st->S, st->T};
}

enum class Shape { Points, Lines, Triangles };

// The corners of one mesh primitive: one shape, one archive image (or none).
// A corner sent again with the same records is the same vertex.
struct Group {
    Shape Kind;
    int32_t Image;
    std::vector<float> Positions, Normals, TexCoords;
    std::vector<uint8_t> Colors;
    std::vector<uint32_t> Indices;

    struct Key {
        std::array<const void*, 4> Records;
        bool operator==(const Key&) const = default;
    };
    struct Hash {
        size_t operator()(const Key& key) const {
            size_t h = 0;
            for (const void* p : key.Records)
                h = h * 1000003 ^ std::hash<const void*>()(p);
            return h;
        }
    };
    std::unordered_map<Key, uint32_t, Hash> Seen;

    uint32_t Vertex(const WalkCorner& corner) {
        const Key key{{corner.Position, corner.Color, corner.Normal, corner.TexCoord}};
        const auto [at, added] = Seen.try_emplace(key, static_cast<uint32_t>(Positions.size() / 3));
        if (!added)
            return at->second;
        const VertexRecord& p = *corner.Position;
        Positions.insert(Positions.end(), {p.X, p.Y, p.Z});
        const std::array<float, 3> n = UnitNormal(corner.Normal);
        Normals.insert(Normals.end(), n.begin(), n.end());
        const ColorRecord white{255, 255, 255, 255};
        const ColorRecord& c = corner.Color ? *corner.Color : white;
        Colors.insert(Colors.end(), {c.R, c.G, c.B, c.A});
        if (Image >= 0) {
            const std::array<float, 2> st = TexCoord(corner.TexCoord);
            TexCoords.insert(TexCoords.end(), st.begin(), st.end());
        }
        return at->second;
    }
};

// The polygons of one node, grouped into primitives.
class MeshBuilder {
  public:
    // As the view draws it: 1 corner a point, 2 a line, 3 a triangle, 4 a quad
    // and any other count a polygon, both as a fan of triangles. A primitive
    // short of corners draws nothing, and neither does a polygon with a
    // non-finite position (glTF cannot hold one).
    void Add(const WalkPolygon& polygon) {
        const std::span<const WalkCorner> corners = polygon.Corners;
        const size_t n = corners.size();
        Shape kind = Shape::Triangles;
        bool complete = n >= 3;
        switch (polygon.VertexCount) {
            case 1:
                kind = Shape::Points;
                complete = n == 1;
                break;
            case 2:
                kind = Shape::Lines;
                complete = n == 2;
                break;
            case 3:
            case 4:
                complete = n == polygon.VertexCount;
                break;
            default:
                break;
        }
        if (!complete)
            return;
        for (const WalkCorner& corner : corners) {
            if (!Finite(*corner.Position))
                return;
        }
        Group& group = GroupFor(kind, polygon.Image);
        if (kind != Shape::Triangles) {
            for (const WalkCorner& corner : corners)
                group.Indices.push_back(group.Vertex(corner));
            return;
        }
        const uint32_t first = group.Vertex(corners[0]);
        uint32_t previous = group.Vertex(corners[1]);
        for (size_t k = 2; k < n; ++k) {
            const uint32_t next = group.Vertex(corners[k]);
            group.Indices.insert(group.Indices.end(), {first, previous, next});
            previous = next;
        }
    }

    const std::vector<Group>& Groups() const { return groups_; }
    void Clear() { groups_.clear(); }

  private:
    Group& GroupFor(Shape kind, int32_t image) {
        for (Group& group : groups_) {
            if (group.Kind == kind && group.Image == image)
                return group;
        }
        groups_.push_back(Group{kind, image, {}, {}, {}, {}, {}, {}});
        return groups_.back();
    }

    std::vector<Group> groups_;
};

// Hands on the first `Count` polygons the walk sends, nothing else.
class FirstPolygons : public SceneListener {
  public:
    FirstPolygons(MeshBuilder& builder, int64_t count) : builder_(builder), left_(count) {}
    void Enter(uint32_t, const float*) override {}
    void Leave(uint32_t) override {}
    void Component(uint32_t, const ScenegraphComponentRecord&) override {}
    void Polygon(const WalkPolygon& polygon) override {
        if (left_-- > 0)
            builder_.Add(polygon);
    }

  private:
    MeshBuilder& builder_;
    int64_t left_;
};

bool IsIdentity(const std::array<float, 16>& m) {
    for (size_t i = 0; i < 16; ++i) {
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f))
            return false;
    }
    return true;
}

using Vec3 = std::array<double, 3>;

double Dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The unit quaternion (x, y, z, w) of rotation matrix r (rows).
std::vector<double> Quaternion(const std::array<Vec3, 3>& r) {
    double x, y, z, w;
    const double trace = r[0][0] + r[1][1] + r[2][2];
    if (trace > 0) {
        const double s = 2 * std::sqrt(trace + 1);
        w = s / 4, x = (r[2][1] - r[1][2]) / s, y = (r[0][2] - r[2][0]) / s,
        z = (r[1][0] - r[0][1]) / s;
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const double s = 2 * std::sqrt(1 + r[0][0] - r[1][1] - r[2][2]);
        w = (r[2][1] - r[1][2]) / s, x = s / 4, y = (r[0][1] + r[1][0]) / s,
        z = (r[0][2] + r[2][0]) / s;
    } else if (r[1][1] > r[2][2]) {
        const double s = 2 * std::sqrt(1 + r[1][1] - r[0][0] - r[2][2]);
        w = (r[0][2] - r[2][0]) / s, x = (r[0][1] + r[1][0]) / s, y = s / 4,
        z = (r[1][2] + r[2][1]) / s;
    } else {
        const double s = 2 * std::sqrt(1 + r[2][2] - r[0][0] - r[1][1]);
        w = (r[1][0] - r[0][1]) / s, x = (r[0][2] + r[2][0]) / s, y = (r[1][2] + r[2][1]) / s,
        z = s / 4;
    }
    const double length = std::sqrt(x * x + y * y + z * z + w * w);
    return {x / length, y / length, z / length, w / length};
}

// Where a node's children and mesh go, and what goes into its parent.
struct Placed {
    int Outer;
    int Inner;
};

// Adds `node` placed by matrix m (column-major). glTF takes a matrix only when
// it is a translation, rotation and scale; the view's steps scale after
// turning, so a node scaled unevenly and turned has a sheared matrix m = T S R.
// That one becomes two nodes, T S holding the inner R, whose product is m.
// A matrix that is not finite shows nothing in the view: scale 0 hides it.
Placed Place(tinygltf::Model& gltf, tinygltf::Node node, const std::array<float, 16>& m) {
    auto add = [&gltf](tinygltf::Node&& n) {
        gltf.nodes.push_back(std::move(n));
        return static_cast<int>(gltf.nodes.size() - 1);
    };
    for (float f : m) {
        if (!std::isfinite(f)) {
            node.scale = {0, 0, 0};
            const int index = add(std::move(node));
            return {index, index};
        }
    }
    const std::array<Vec3, 3> columns{Vec3{m[0], m[1], m[2]}, Vec3{m[4], m[5], m[6]},
                                      Vec3{m[8], m[9], m[10]}};
    const double det = Dot(columns[0], Cross(columns[1], columns[2]));
    bool trs = det != 0;
    for (size_t i = 0; i < 3 && trs; ++i) {
        const Vec3& a = columns[i];
        const Vec3& b = columns[(i + 1) % 3];
        trs = std::abs(Dot(a, b)) <= 1e-5 * std::sqrt(Dot(a, a) * Dot(b, b));
    }
    if (trs) {
        if (!IsIdentity(m))
            node.matrix.assign(m.begin(), m.end());
        const int index = add(std::move(node));
        return {index, index};
    }
    // m's linear part is S R: row i of it is row i of R times scale i.
    std::array<Vec3, 3> r{};
    Vec3 scale{};
    std::vector<size_t> zero;
    for (size_t i = 0; i < 3; ++i) {
        const Vec3 row{m[i], m[4 + i], m[8 + i]};
        scale[i] = std::sqrt(Dot(row, row));
        if (i == 0 && det < 0)
            scale[i] = -scale[i];
        if (scale[i] == 0) {
            zero.push_back(i);
            continue;
        }
        for (size_t j = 0; j < 3; ++j)
            r[i][j] = row[j] / scale[i];
    }
    // A zero scale leaves its row of R free: any that keeps R a rotation.
    if (zero.size() == 3) {
        r = {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};
    } else if (zero.size() == 2) {
        const size_t kept = 3 - zero[0] - zero[1];
        Vec3 other = Cross(r[kept], std::abs(r[kept][0]) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0});
        const double length = std::sqrt(Dot(other, other));
        for (double& v : other)
            v /= length;
        r[(kept + 1) % 3] = other;
        r[(kept + 2) % 3] = Cross(r[kept], other);
    } else if (zero.size() == 1) {
        const size_t i = zero[0];
        r[i] = Cross(r[(i + 1) % 3], r[(i + 2) % 3]);
    }
    node.translation = {m[12], m[13], m[14]};
    node.scale = {scale[0], scale[1], scale[2]};
    const int outer = add(std::move(node));
    tinygltf::Node turn;
    turn.rotation = Quaternion(r);
    const int inner = add(std::move(turn));
    gltf.nodes[static_cast<size_t>(outer)].children.push_back(inner);
    return {outer, inner};
}

// Records the walk as glTF: nodes as they are entered, one mesh per visible
// node with polygons, materials by image and render state, textures by image.
class Recorder : public SceneListener {
  public:
    Recorder(const ModelFile& model, const TextureFile* archive, GltfDocument& document)
        : model_(model), archive_(archive), doc_(document), gltf_(document.Gltf), bin_(gltf_) {}

    void Run(tinygltf::Scene& scene) {
        scene_ = &scene;
        if (model_.Nodes().empty())
            return;
        SceneWalk walk(model_);
        walk.Images = Images();
        walk.Walk(static_cast<uint32_t>(model_.Nodes().size() - 1), *this);
    }

    void Enter(uint32_t record, const float* transform) override {
        tinygltf::Node node;
        node.name = ValidUtf8(FieldText(model_.Nodes()[record].Name));
        node.extras = Value(Value::Object{{"record", Value(static_cast<int>(record))}});
        const Placed placed = Place(gltf_, std::move(node), NodeMatrix(transform));
        if (open_.empty())
            scene_->nodes.push_back(placed.Outer);
        else
            gltf_.nodes[static_cast<size_t>(open_.back())].children.push_back(placed.Outer);
        open_.push_back(placed.Inner);
    }

    void Component(uint32_t record, const ScenegraphComponentRecord& component) override {
        state_.Apply(component);
        const auto index = static_cast<int>(&component - model_.Components().data());
        current_ = Current{true, record, MeshKey{index, state_.Key()}, 0};
        builder_.Clear();
    }

    void Polygon(const WalkPolygon& polygon) override {
        // A component drawn before in the same state sends the same polygons:
        // only counted, as its mesh is there already.
        ++current_.Polygons;
        if (!meshes_.count(current_.Key))
            builder_.Add(polygon);
    }

    void Leave(uint32_t record) override {
        if (current_.Active && current_.Node == record) {
            const int mesh = FinishMesh();
            if (mesh >= 0)
                gltf_.nodes[static_cast<size_t>(open_.back())].mesh = mesh;
            current_.Active = false;
        }
        open_.pop_back();
    }

  private:
    using MeshKey = std::tuple<int, std::tuple<int, bool>>;
    struct Current {
        bool Active = false;
        uint32_t Node = 0;
        MeshKey Key;
        int64_t Polygons = 0;
    };
    struct Mesh {
        int Index;  // -1: nothing to draw
        int64_t Polygons;
    };

    int32_t Images() const { return archive_ ? archive_->ImageCount() : -1; }

    int FinishMesh() {
        const auto found = meshes_.find(current_.Key);
        if (found == meshes_.end()) {
            const int mesh = BuildMesh();
            meshes_.emplace(current_.Key, Mesh{mesh, current_.Polygons});
            return mesh;
        }
        if (current_.Polygons == found->second.Polygons)
            return found->second.Index;
        // The walk's work bound cut this one short: what it drew is the start
        // of the same polygons, sent again.
        if (current_.Polygons == 0)
            return -1;
        builder_.Clear();
        FirstPolygons first(builder_, current_.Polygons);
        SceneWalk again(model_);
        again.Images = Images();
        again.Sets(current_.Node, first);
        return BuildMesh();
    }

    int BuildMesh() {
        if (builder_.Groups().empty())
            return -1;
        static constexpr int kModes[] = {TINYGLTF_MODE_POINTS, TINYGLTF_MODE_LINE,
                                         TINYGLTF_MODE_TRIANGLES};
        tinygltf::Mesh mesh;
        const auto component = static_cast<size_t>(std::get<0>(current_.Key));
        mesh.name = ValidUtf8(FieldText(model_.Components()[component].Name));
        for (const Group& group : builder_.Groups()) {
            tinygltf::Primitive primitive;
            primitive.mode = kModes[static_cast<int>(group.Kind)];
            primitive.material = MaterialFor(group.Image);
            primitive.attributes["POSITION"] = bin_.Positions(group.Positions);
            primitive.attributes["NORMAL"] =
                bin_.Accessor(group.Normals, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, 3,
                              Bin::kVertices);
            primitive.attributes["COLOR_0"] =
                bin_.Accessor(group.Colors, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE,
                              TINYGLTF_TYPE_VEC4, 4, Bin::kVertices, true);
            if (group.Image >= 0)
                primitive.attributes["TEXCOORD_0"] =
                    bin_.Accessor(group.TexCoords, TINYGLTF_COMPONENT_TYPE_FLOAT,
                                  TINYGLTF_TYPE_VEC2, 2, Bin::kVertices);
            primitive.indices = bin_.Accessor(group.Indices, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
                                              TINYGLTF_TYPE_SCALAR, 1, Bin::kIndices);
            mesh.primitives.push_back(std::move(primitive));
        }
        builder_.Clear();
        gltf_.meshes.push_back(std::move(mesh));
        return static_cast<int>(gltf_.meshes.size() - 1);
    }

    int MaterialFor(int32_t image) {
        const auto key = std::tuple(image, state_.Key());
        const auto found = materials_.find(key);
        if (found != materials_.end())
            return found->second;
        tinygltf::Material material;
        if (image >= 0)
            material.name.append("image ").append(std::to_string(image));
        else
            material.name = "untextured";
        // The view modulates the texture by the vertex colour and lights nothing.
        material.extensions[kUnlit] = Value(Value::Object());
        material.pbrMetallicRoughness.metallicFactor = 0;
        if (image >= 0)
            material.pbrMetallicRoughness.baseColorTexture.index = TextureFor(image);
        switch (state_.Alpha) {
            case Blending::AlphaTest:
                material.alphaMode = "MASK";
                material.alphaCutoff = kAlphaCutoff;
                material.name += ", alpha-tested";
                break;
            case Blending::Additive:
                // glTF has no additive blending: blended over is the nearest.
                material.alphaMode = "BLEND";
                material.name += ", additive";
                break;
            case Blending::None:
                break;
        }
        material.doubleSided = !state_.Cull;
        material.name += state_.Cull ? ", culled" : ", two-sided";
        gltf_.materials.push_back(std::move(material));
        return materials_[key] = static_cast<int>(gltf_.materials.size() - 1);
    }

    int TextureFor(int32_t image) {
        const auto found = textures_.find(image);
        if (found != textures_.end())
            return found->second;
        if (gltf_.samplers.empty()) {
            // The view's texture objects: linear filters, no mipmaps, repeated.
            tinygltf::Sampler sampler;
            sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
            sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
            sampler.wrapS = sampler.wrapT = TINYGLTF_TEXTURE_WRAP_REPEAT;
            gltf_.samplers.push_back(sampler);
        }
        // One image decoded at a time, kept only as PNG. One the archive cannot
        // back is one transparent texel, as the view shows it.
        const ImageHeader& header = *archive_->Images[static_cast<size_t>(image)].Header;
        std::vector<uint8_t> png;
        {
            const std::vector<RgbaColor> texels = archive_->DecodeImage(image);
            if (!texels.empty())
                png = PngBytes(header.Width, header.Height, texels.data());
        }
        if (png.empty()) {
            const RgbaColor transparent{};
            png = PngBytes(1, 1, &transparent);
        }
        tinygltf::Image picture;
        picture.name.append("image ").append(std::to_string(image));
        picture.mimeType = "image/png";
        gltf_.images.push_back(std::move(picture));
        doc_.Pngs.push_back(std::move(png));
        doc_.ArchiveImages.push_back(image);
        tinygltf::Texture texture;
        texture.sampler = 0;
        texture.source = static_cast<int>(gltf_.images.size() - 1);
        gltf_.textures.push_back(texture);
        return textures_[image] = static_cast<int>(gltf_.textures.size() - 1);
    }

    const ModelFile& model_;
    const TextureFile* archive_;
    GltfDocument& doc_;
    tinygltf::Model& gltf_;
    Bin bin_;
    tinygltf::Scene* scene_ = nullptr;
    std::vector<int> open_;  // where the children of each open node go
    RenderState state_;
    Current current_;
    MeshBuilder builder_;
    std::map<MeshKey, Mesh> meshes_;
    std::map<std::tuple<int32_t, std::tuple<int, bool>>, int> materials_;
    std::map<int32_t, int> textures_;
};

void Start(tinygltf::Model& gltf) {
    gltf.asset.version = "2.0";
    gltf.asset.generator = Generator();
    gltf.defaultScene = 0;
    gltf.scenes.emplace_back();
}

void Finish(tinygltf::Model& gltf) {
    if (!gltf.materials.empty())
        gltf.extensionsUsed.push_back(kUnlit);
}

}  // namespace

GltfDocument GltfOfModel(const ModelFile& model, const TextureFile* archive) {
    GltfDocument document;
    tinygltf::Model& gltf = document.Gltf;
    Start(gltf);
    tinygltf::Scene& scene = gltf.scenes[0];
    const ModelHeader& header = model.Header();
    scene.name = ValidUtf8(FieldText(header.ModelName));
    scene.extras = Value(Value::Object{{"model", Value(scene.name)},
                                       {"date", Value(ValidUtf8(FieldText(header.Date)))}});
    Recorder(model, archive, document).Run(scene);
    Finish(gltf);
    return document;
}

GltfDocument GltfOfPointDump(const PointDump& points) {
    GltfDocument document;
    tinygltf::Model& gltf = document.Gltf;
    Start(gltf);
    // A point at infinity or not a number shows nowhere; glTF cannot hold it.
    std::vector<float> xyz;
    const std::vector<float>& words = points.Words;
    for (size_t i = kFirstPointWord; i + 2 < words.size(); i += 3) {
        if (std::isfinite(words[i]) && std::isfinite(words[i + 1]) && std::isfinite(words[i + 2]))
            xyz.insert(xyz.end(), {words[i], words[i + 1], words[i + 2]});
    }
    if (!xyz.empty()) {
        tinygltf::Material white;
        white.name = "white points";
        white.extensions[kUnlit] = Value(Value::Object());
        white.pbrMetallicRoughness.metallicFactor = 0;
        gltf.materials.push_back(white);
        tinygltf::Primitive primitive;
        primitive.mode = TINYGLTF_MODE_POINTS;
        primitive.material = 0;
        primitive.attributes["POSITION"] = Bin(gltf).Positions(xyz);
        tinygltf::Mesh mesh;
        mesh.name = "points";
        mesh.primitives.push_back(primitive);
        gltf.meshes.push_back(mesh);
        tinygltf::Node node;
        node.name = "points";
        node.mesh = 0;
        gltf.nodes.push_back(node);
        gltf.scenes[0].nodes.push_back(0);
    }
    Finish(gltf);
    return document;
}

void EmbedImages(GltfDocument& document) {
    tinygltf::Model& gltf = document.Gltf;
    Bin bin(gltf);
    for (size_t k = 0; k < document.Pngs.size(); ++k) {
        gltf.images[k].bufferView = bin.View(document.Pngs[k].data(), document.Pngs[k].size(), 0);
        document.Pngs[k] = {};
    }
}
