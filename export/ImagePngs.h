#pragma once
// The PNG of archive images, made on a thread of its own beside the walk: a
// polygon that shows an image asks for it, and the mesh that needs it takes it
// when the walk is done with that node. One image is decoded at a time, in the
// order they were asked for. Ask and Take are for one thread, the walk's.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

class TextureFile;

class ImagePngs {
  public:
    explicit ImagePngs(const TextureFile& archive);
    // Waits for the image at work; the others asked for are left undone.
    ~ImagePngs();
    ImagePngs(const ImagePngs&) = delete;
    ImagePngs& operator=(const ImagePngs&) = delete;

    // Starts on `image` unless it was asked for before.
    void Ask(int32_t image);
    // The PNG of `image` (asked for now if it was not), once made. One the
    // archive cannot back is one transparent texel, as the view shows it.
    // Rethrows what making it threw (out of memory).
    std::vector<uint8_t> Take(int32_t image);

  private:
    void Work();

    const TextureFile& archive_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int32_t> asked_;
    std::map<int32_t, std::vector<uint8_t>> made_;
    std::map<int32_t, std::exception_ptr> failed_;
    std::vector<bool> known_;  // element k: image k was asked for (the walk's own)
    bool stopping_ = false;
    std::thread worker_;
};
