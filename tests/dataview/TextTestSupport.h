#pragma once
// Loading the sample writer's bytes, and the pieces of expected texts.

#include <string>
#include <vector>

#include "model/ByteSource.h"
#include "model/ModelFile.h"
#include "sample/ModelWriter.h"

namespace dataviewtest {

inline const std::string kSep =
    "------------------------------------------------------------\r\n\r\n";

inline ModelFile Load(const sample::Model& m) {
    std::vector<uint8_t> bytes = sample::WriteModel(m);
    MemorySource source(bytes);
    ModelFile model;
    model.LoadFrom(source);
    return model;
}

inline std::string Spaces(size_t n) {
    return std::string(n, ' ');
}

}  // namespace dataviewtest
