#pragma once
// The document of any file that is neither a model nor a texture archive: the
// whole file as little-endian floats, drawn from word 116722 on as white points.

#include <cstdint>
#include <string>
#include <vector>

class ByteSource;

inline constexpr size_t kFirstPointWord = 116722;

class PointDump {
  public:
    PointDump() = default;
    virtual ~PointDump() = default;

    // Reads the whole file. False only when it cannot be opened.
    bool Load(const std::string& path);
    // The same, from bytes already at hand; FileName stays as it is.
    void LoadFrom(ByteSource& source);
    // One white point per whole x, y, z triple from kFirstPointWord on.
    void Draw() const;

    std::string FileName;
    std::vector<float> Words;
};
