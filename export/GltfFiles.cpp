#include "export/GltfFiles.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
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

// tinygltf's writer onto an open file: a .glb goes out as it is made, never
// held whole in memory a second time.
class FileBuffer : public std::streambuf {
  public:
    explicit FileBuffer(std::FILE* file) : file_(file) {}

  protected:
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        return static_cast<std::streamsize>(std::fwrite(data, 1, static_cast<size_t>(size), file_));
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
    }

  private:
    std::FILE* file_;
};

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
        outputs.push_back({path, [&gltf](std::FILE* file) {
                               FileBuffer buffer(file);
                               std::ostream out(&buffer);
                               return tinygltf::TinyGLTF().WriteGltfSceneToStream(&gltf, out, false,
                                                                                  true) &&
                                      out.good();
                           }});
    } else {
        const std::filesystem::path target = PathFromUtf8(path);
        const std::string stem = Utf8FromPath(target.stem());
        auto beside = [&path](const std::string& name) { return BesideFile(path, name); };
        outputs.push_back({path, {}});
        // tinygltf's stream writer puts a buffer inside the JSON as base64:
        // the JSON is made without it, and then names its file.
        if (!gltf.buffers.empty()) {
            bin.swap(gltf.buffers[0].data);
            gltf.buffers.clear();
            outputs.push_back({beside(stem + ".bin"), BytesWriter(bin)});
        }
        for (size_t k = 0; k < document.Pngs.size(); ++k) {
            char number[32];
            std::snprintf(number, sizeof number, "_%03d.png", document.ArchiveImages[k]);
            const std::string name = stem + number;
            gltf.images[k].uri = UriOf(name);
            outputs.push_back({beside(name), BytesWriter(document.Pngs[k])});
        }
        std::ostringstream text;
        tinygltf::TinyGLTF().WriteGltfSceneToStream(&gltf, text, true, false);
        nlohmann::json tree = nlohmann::json::parse(text.str());
        if (!bin.empty())
            tree["buffers"] = {{{"byteLength", bin.size()}, {"uri", UriOf(stem + ".bin")}}};
        json = tree.dump(2) + "\n";
        outputs[0].Write = BytesWriter(BytesOf(json));
    }
    if (!WriteFilesAtomically(outputs, error))
        return false;
    for (const OutputFile& output : outputs)
        written.push_back(output.Path);
    return true;
}
