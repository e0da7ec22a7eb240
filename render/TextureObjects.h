#pragma once
// The GL texture objects of one scene, one name per archive image in archive
// order: made here, deleted here (when replaced or destroyed), always with the
// scene's context current. Images may share an object (the stand-in for those
// that have no texels); each object is deleted once.

#include <cstddef>
#include <cstdint>
#include <vector>

class TextureObjects {
  public:
    TextureObjects() = default;
    ~TextureObjects() { Clear(); }
    TextureObjects(const TextureObjects&) = delete;
    TextureObjects& operator=(const TextureObjects&) = delete;

    // A new texture object for the next image; returns its name.
    uint32_t Generate();
    // The next image shows an object already held.
    void Repeat(uint32_t name) { names_.push_back(name); }
    // Deletes every object held.
    void Clear();

    const std::vector<uint32_t>& Names() const { return names_; }
    size_t size() const { return names_.size(); }
    bool empty() const { return names_.empty(); }

  private:
    std::vector<uint32_t> names_;  // per image
    std::vector<uint32_t> owned_;  // each object once
};
