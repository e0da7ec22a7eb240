#include "export/GltfExport.h"

#include <cmath>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

#include "document/Document.h"
#include "export/GltfMesh.h"
#include "export/ImagePngs.h"
#include "export/Placement.h"
#include "model/ModelFile.h"
#include "model/Text.h"
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
        switch (static_cast<AlphaMode>(component.AlphaMode)) {
            case AlphaMode::Test:
                Alpha = Blending::AlphaTest;
                break;
            case AlphaMode::Additive:
                Alpha = Blending::Additive;
                break;
        }
        switch (static_cast<CullMode>(component.CullMode)) {
            case CullMode::Cull:
                Cull = true;
                break;
            case CullMode::None:
                Cull = false;
                break;
        }
    }
    auto Key() const { return std::tuple(static_cast<int>(Alpha), Cull); }
};

std::string Generator() {
    std::string name = "kestrel ";
    name += KESTREL_VERSION;
    return name;
}

// Hands on the first `Count` polygons the walk sends, nothing else.
class FirstPolygons : public SceneListener {
  public:
    FirstPolygons(MeshBuilder& builder, int64_t count) : builder_(builder), left_(count) {}
    void Enter(uint32_t, const NodeTransformRecord&) override {}
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

// Records the walk as glTF: nodes as they are entered, one mesh per visible
// node with polygons, materials by image and render state, textures by image.
class Recorder : public SceneListener {
  public:
    Recorder(const ModelFile& model, const TextureFile* archive, GltfDocument& document)
        : model_(model),
          archive_(archive),
          doc_(document),
          gltf_(document.Gltf),
          bin_(gltf_),
          builder_(model.Vertices()) {
        if (archive)
            pngs_.emplace(*archive);
    }

    void Run(tinygltf::Scene& scene) {
        scene_ = &scene;
        const std::optional<uint32_t> root = model_.RootNode();
        if (!root)
            return;
        SceneWalk walk(model_);
        walk.Images = Images();
        walk.Walk(*root, *this);
    }

    void Enter(uint32_t record, const NodeTransformRecord& transform) override {
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
        if (meshes_.count(current_.Key))
            return;
        builder_.Add(polygon);
        // Its picture is made while the walk goes on.
        if (polygon.Image >= 0)
            pngs_->Ask(polygon.Image);
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
        bin_.Reserve(builder_.Bytes());
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
                // glTF has no additive blending: blended over is the nearest,
                // and the extras say what the view does.
                material.alphaMode = "BLEND";
                material.extras = Value(Value::Object{{"additive", Value(true)}});
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
        const ImageHeader& header = *archive_->Images[static_cast<size_t>(image)].Header;
        std::vector<uint8_t> png = pngs_->Take(image);
        const Value number(Value::Object{{"archiveImage", Value(image)}});
        tinygltf::Image picture;
        picture.name = ImageName(image);
        picture.mimeType = "image/png";
        picture.extras = number;
        tinygltf::Texture texture;
        texture.name = picture.name;
        texture.extras = number;
        gltf_.images.push_back(std::move(picture));
        doc_.Pngs.push_back(std::move(png));
        doc_.ArchiveImages.push_back(image);
        texture.sampler = SamplerFor(header.Wrap_S, header.Wrap_T);
        texture.source = static_cast<int>(gltf_.images.size() - 1);
        gltf_.textures.push_back(std::move(texture));
        return textures_[image] = static_cast<int>(gltf_.textures.size() - 1);
    }

    // What the model calls the image: the first texture definition of it
    // with a name; else its number.
    std::string ImageName(int32_t image) const {
        for (const TextureDefinitionRecord& definition : model_.TextureDefinitions()) {
            const std::string name = ValidUtf8(FieldText(definition.Name));
            if (definition.TextureIndex == image && !name.empty())
                return name;
        }
        return "image " + std::to_string(image);
    }

    // The view's texture objects filter linearly without mipmaps and always
    // repeat; the export carries the wrapping the archive asks for instead. A
    // code glTF has no mode for repeats, and is kept in the sampler's extras.
    int SamplerFor(uint32_t wrapS, uint32_t wrapT) {
        const auto key = std::pair(wrapS, wrapT);
        const auto found = samplers_.find(key);
        if (found != samplers_.end())
            return found->second;
        static constexpr int kWraps[] = {TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE,
                                         TINYGLTF_TEXTURE_WRAP_REPEAT,
                                         TINYGLTF_TEXTURE_WRAP_MIRRORED_REPEAT};
        Value::Object unknown;
        const auto wrap = [&](uint32_t code, const char* name) {
            if (code < std::size(kWraps))
                return kWraps[code];
            unknown[name] = Value(static_cast<int>(code));
            return TINYGLTF_TEXTURE_WRAP_REPEAT;
        };
        tinygltf::Sampler sampler;
        sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.wrapS = wrap(wrapS, "wrapS");
        sampler.wrapT = wrap(wrapT, "wrapT");
        if (!unknown.empty())
            sampler.extras = Value(std::move(unknown));
        gltf_.samplers.push_back(std::move(sampler));
        return samplers_[key] = static_cast<int>(gltf_.samplers.size() - 1);
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
    std::optional<ImagePngs> pngs_;  // with an archive
    std::map<MeshKey, Mesh> meshes_;
    std::map<std::tuple<int32_t, std::tuple<int, bool>>, int> materials_;
    std::map<int32_t, int> textures_;
    std::map<std::pair<uint32_t, uint32_t>, int> samplers_;
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

GltfDocument GltfOfPointDump(std::span<const float> words) {
    GltfDocument document;
    tinygltf::Model& gltf = document.Gltf;
    Start(gltf);
    // A point at infinity or not a number shows nowhere; glTF cannot hold it.
    std::vector<float> xyz;
    const std::span<const float> points = PointFloats(words);
    for (size_t i = 0; i < points.size(); i += 3) {
        const float* point = &points[i];
        if (std::isfinite(point[0]) && std::isfinite(point[1]) && std::isfinite(point[2]))
            xyz.insert(xyz.end(), point, point + 3);
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
