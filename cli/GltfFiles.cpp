#include "cli/GltfFiles.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "dataview/TextAppend.h"
#include "model/Utf8Path.h"

namespace {

// One file to write: where it goes, and what goes into it.
struct Output {
    std::string Path;
    std::function<void(std::ostream&)> Write;
};

std::string PartOf(const std::string& path) {
    std::string part = path;
    part.append(".part").append(std::to_string(::getpid()));
    return part;
}

bool WritePart(const std::string& part, const Output& output) {
    std::ofstream file(PathFromUtf8(part), std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    output.Write(file);
    file.close();
    return !file.fail();
}

// All or nothing: every part written, then every one renamed.
bool WriteAll(const std::vector<Output>& outputs, std::string& error) {
    auto fail = [&error](const std::string& path) {
        error = "cannot write ";
        error.append(path).append(": ").append(errno ? std::strerror(errno) : "write failed");
        return false;
    };
    std::vector<std::string> parts;
    for (const Output& output : outputs) {
        parts.push_back(PartOf(output.Path));
        errno = 0;
        if (!WritePart(parts.back(), output)) {
            const int cause = errno;
            for (const std::string& part : parts)
                std::remove(part.c_str());
            errno = cause;
            return fail(output.Path);
        }
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        if (std::rename(parts[i].c_str(), outputs[i].Path.c_str()) != 0) {
            const int cause = errno;
            for (size_t k = 0; k < outputs.size(); ++k)
                std::remove((k < i ? outputs[k].Path : parts[k]).c_str());
            errno = cause;
            return fail(outputs[i].Path);
        }
    }
    return true;
}

void WriteBytes(std::ostream& out, const std::vector<uint8_t>& bytes) {
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A file name as a relative URI: everything but the unreserved characters
// percent-encoded.
std::string UriOf(const std::string& name) {
    std::string uri;
    for (unsigned char c : name) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~')
            uri += static_cast<char>(c);
        else
            dataview::AppendFormat(uri, "%%%02X", c);
    }
    return uri;
}

}  // namespace

GltfFormat GltfFormatOf(const std::string& path) {
    std::string extension = Utf8FromPath(PathFromUtf8(path).extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".glb"    ? GltfFormat::Binary
           : extension == ".gltf" ? GltfFormat::Text
                                  : GltfFormat::Unknown;
}

bool WriteGltfFiles(const std::string& path, GltfDocument& document,
                    std::vector<std::string>& written, std::string& error) {
    tinygltf::Model& gltf = document.Gltf;
    std::vector<Output> outputs;
    std::vector<uint8_t> bin;
    std::string json;
    if (GltfFormatOf(path) == GltfFormat::Binary) {
        EmbedImages(document);
        outputs.push_back({path, [&gltf](std::ostream& out) {
                               tinygltf::TinyGLTF().WriteGltfSceneToStream(&gltf, out, false, true);
                           }});
    } else {
        const std::filesystem::path target = PathFromUtf8(path);
        const std::string stem = Utf8FromPath(target.stem());
        auto beside = [&target](const std::string& name) {
            return Utf8FromPath(target.parent_path() / PathFromUtf8(name));
        };
        for (size_t k = 0; k < document.Pngs.size(); ++k) {
            std::string name = stem;
            dataview::AppendFormat(name, "_%03d.png", document.ArchiveImages[k]);
            gltf.images[k].uri = UriOf(name);
            const std::vector<uint8_t>& png = document.Pngs[k];
            outputs.push_back({beside(name), [&png](std::ostream& out) { WriteBytes(out, png); }});
        }
        // tinygltf's text writer would put the buffer inside the JSON as
        // base64, and its file writer does not check its writes: the JSON is
        // made without the buffer, which is then named in it.
        if (!gltf.buffers.empty()) {
            bin.swap(gltf.buffers[0].data);
            gltf.buffers.clear();
        }
        std::ostringstream text;
        tinygltf::TinyGLTF().WriteGltfSceneToStream(&gltf, text, true, false);
        json = text.str();
        if (!bin.empty()) {
            const std::string name = stem + ".bin";
            std::string buffers = ",\n  \"buffers\": [{\"byteLength\": ";
            buffers.append(std::to_string(bin.size()))
                .append(", \"uri\": \"")
                .append(UriOf(name))
                .append("\"}]\n");
            json.insert(json.rfind('}'), buffers);
            outputs.insert(outputs.begin(),
                           {beside(name), [&bin](std::ostream& out) { WriteBytes(out, bin); }});
        }
        outputs.insert(outputs.begin(), {path, [&json](std::ostream& out) { out << json; }});
    }
    if (!WriteAll(outputs, error))
        return false;
    for (const Output& output : outputs)
        written.push_back(output.Path);
    return true;
}
