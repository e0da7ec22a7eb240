#pragma once
// Where a model's texture archive lies: beside the model file, whatever the
// current folder is, named after the header's TextureName (TextureFile::Load
// appends the hyphen).

#include <string>

#include "model/Records.h"
#include "model/Text.h"
#include "model/Utf8Path.h"

inline std::string ArchiveNameFor(const std::string& modelPath, const ModelHeader& header) {
    return Utf8FromPath(PathFromUtf8(modelPath).parent_path() /
                        PathFromUtf8(FieldText(header.TextureName)));
}
