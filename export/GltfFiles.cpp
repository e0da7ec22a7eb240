#include "export/GltfFiles.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "model/OutputFile.h"
#include "model/Utf8Path.h"

namespace {

// A file name as a relative URI: everything but the unreserved characters
// percent-encoded.
std::string UriOf(const std::string& name) {
    std::string uri;
    for (unsigned char c : name) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~')
            uri += static_cast<char>(c);
        else
            uri.append({'%', "0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]});
    }
    return uri;
}

std::span<const uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// The document's JSON as tinygltf writes it, with `buffer` for its one buffer:
// tinygltf's own writers copy the buffer whole or put it into the JSON as base64.
// Without `buffer`, the JSON names no buffer.
nlohmann::json JsonWith(tinygltf::Model& gltf, std::optional<nlohmann::json> buffer) {
    std::vector<tinygltf::Buffer> buffers;
    buffers.swap(gltf.buffers);
    std::ostringstream text;
    tinygltf::TinyGLTF().WriteGltfSceneToStream(&gltf, text, false, false);
    buffers.swap(gltf.buffers);
    nlohmann::json tree = nlohmann::json::parse(text.str());
    if (buffer)
        tree["buffers"] = nlohmann::json::array({std::move(*buffer)});
    return tree;
}

void Put32(std::string& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>(value >> shift);
}

// A .glb: the header, the JSON chunk padded with spaces, the binary chunk
// padded with zeros, each to four bytes, the buffer written from where it lies.
FileWriter GlbWriter(const std::string& json, const std::vector<unsigned char>& bin) {
    return [&json, &bin](std::FILE* file) {
        const auto padded = [](size_t size) { return static_cast<uint32_t>((size + 3) / 4 * 4); };
        const uint32_t jsonLength = padded(json.size()), binLength = padded(bin.size());
        std::string head = "glTF";
        Put32(head, 2);
        Put32(head, 12 + 8 + jsonLength + (bin.empty() ? 0 : 8 + binLength));
        Put32(head, jsonLength);
        head += "JSON";
        std::string middle(jsonLength - json.size(), ' ');
        if (!bin.empty()) {
            Put32(middle, binLength);
            middle.append("BIN\0", 4);
        }
        const std::vector<uint8_t> tail(binLength - bin.size(), 0);
        return BytesWriter(BytesOf(head))(file) && BytesWriter(BytesOf(json))(file) &&
               BytesWriter(BytesOf(middle))(file) && BytesWriter(bin)(file) &&
               BytesWriter(tail)(file);
    };
}

}  // namespace

GltfFormat GltfFormatOf(const std::string& path) {
    const std::string extension = LowerCaseExtension(path);
    return extension == ".glb"    ? GltfFormat::Binary
           : extension == ".gltf" ? GltfFormat::Text
                                  : GltfFormat::Unknown;
}

bool WriteGltfFiles(const std::string& path, GltfDocument& document,
                    std::vector<std::string>& written, std::string& error) {
    tinygltf::Model& gltf = document.Gltf;
    std::vector<OutputFile> outputs;
    std::string json;
    std::vector<unsigned char> bin;
    if (GltfFormatOf(path) == GltfFormat::Binary) {
        EmbedImages(document);
        std::optional<nlohmann::json> buffer;
        const std::vector<unsigned char>* data = &bin;
        if (!gltf.buffers.empty()) {
            data = &gltf.buffers[0].data;
            buffer = nlohmann::json::object({{"byteLength", data->size()}});
        }
        json = JsonWith(gltf, buffer).dump();
        outputs.push_back({path, GlbWriter(json, *data)});
    } else {
        const std::filesystem::path target = PathFromUtf8(path);
        const std::string stem = Utf8FromPath(target.stem());
        auto beside = [&path](const std::string& name) { return BesideFile(path, name); };
        outputs.push_back({path, {}});
        // The buffer goes into a file of its own, which the JSON names.
        if (!gltf.buffers.empty()) {
            bin.swap(gltf.buffers[0].data);
            outputs.push_back({beside(stem + ".bin"), BytesWriter(bin)});
        }
        for (size_t k = 0; k < document.Pngs.size(); ++k) {
            char number[32];
            std::snprintf(number, sizeof number, "_%03d.png", document.ArchiveImages[k]);
            const std::string name = stem + number;
            gltf.images[k].uri = UriOf(name);
            outputs.push_back({beside(name), BytesWriter(document.Pngs[k])});
        }
        std::optional<nlohmann::json> buffer;
        if (!bin.empty())
            buffer =
                nlohmann::json::object({{"byteLength", bin.size()}, {"uri", UriOf(stem + ".bin")}});
        json = JsonWith(gltf, buffer).dump(2) + "\n";
        outputs[0].Write = BytesWriter(BytesOf(json));
    }
    if (!WriteFilesAtomically(outputs, error))
        return false;
    for (const OutputFile& output : outputs)
        written.push_back(output.Path);
    return true;
}
