#pragma once
// The document of any file that is neither a model nor a texture archive: the
// whole file as little-endian floats, drawn from word kFirstPointWord on as
// white points.

#include <cstdint>
#include <string>
#include <vector>

#include "document/Document.h"

class PointDump {
  public:
    PointDump() = default;
    virtual ~PointDump() = default;

    // Reads the whole file. False only when it cannot be opened.
    bool Load(const std::string& path);
    // One white point per whole x, y, z triple from kFirstPointWord on.
    void Draw() const;

    std::string FileName;
    std::vector<float> Words;
};
