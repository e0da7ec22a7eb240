#pragma once
// The GL texture objects of one scene, in archive order: made here, deleted
// here (when replaced or destroyed), always with the scene's context current.

#include <cstddef>
#include <cstdint>
#include <vector>

class TextureObjects {
  public:
    TextureObjects() = default;
    ~TextureObjects() { Clear(); }
    TextureObjects(const TextureObjects&) = delete;
    TextureObjects& operator=(const TextureObjects&) = delete;

    // A new texture object after those held; returns its name.
    uint32_t Generate();
    // Takes over objects made elsewhere: they are deleted with these.
    void Adopt(std::vector<uint32_t> names);
    // Deletes every object held.
    void Clear();

    const std::vector<uint32_t>& Names() const { return names_; }
    size_t size() const { return names_.size(); }
    bool empty() const { return names_.empty(); }

  private:
    std::vector<uint32_t> names_;
};
