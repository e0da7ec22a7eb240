#pragma once
// Where a model's texture archive lies: beside the model file, named after the
// header's TextureName (TextureFile::Load appends the hyphen).

#include <filesystem>
#include <string>

#include "model/Records.h"
#include "model/Text.h"

inline std::string ArchiveNameFor(const std::string& modelPath, const ModelHeader& header) {
    std::filesystem::path model(std::u8string(modelPath.begin(), modelPath.end()));
    std::string name = FieldText(header.TextureName);
    std::u8string joined =
        (model.parent_path() / std::filesystem::path(std::u8string(name.begin(), name.end())))
            .u8string();
    return std::string(joined.begin(), joined.end());
}
