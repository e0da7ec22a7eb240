#pragma once
// Loads the sample writer's bytes straight from memory.

#include <vector>

#include "model/ByteSource.h"
#include "model/ModelFile.h"
#include "sample/ModelWriter.h"

inline ModelFile LoadBytes(const std::vector<uint8_t>& bytes) {
    MemorySource source(bytes);
    ModelFile model;
    model.LoadFrom(source);
    return model;
}

inline ModelFile LoadModel(const sample::Model& m) {
    return LoadBytes(sample::WriteModel(m));
}
