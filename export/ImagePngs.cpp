#include "export/ImagePngs.h"

#include <algorithm>

#include "export/Png.h"
#include "texture/TextureFile.h"

namespace {

std::vector<uint8_t> PngOf(const TextureFile& archive, int32_t image) {
    const ImageHeader& header = *archive.Images[static_cast<size_t>(image)].Header;
    std::vector<uint8_t> png;
    {
        const std::vector<RgbaColor> texels = archive.DecodeImage(image);
        if (!texels.empty())
            png = PngBytes(header.Width, header.Height, texels.data());
    }
    if (png.empty()) {
        const RgbaColor transparent{};
        png = PngBytes(1, 1, &transparent);
    }
    return png;
}

}  // namespace

ImagePngs::ImagePngs(const TextureFile& archive)
    : archive_(archive), known_(static_cast<size_t>(std::max(archive.ImageCount(), 0))) {}

ImagePngs::~ImagePngs() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void ImagePngs::Ask(int32_t image) {
    if (known_[static_cast<size_t>(image)])
        return;
    known_[static_cast<size_t>(image)] = true;
    std::lock_guard lock(mutex_);
    asked_.push_back(image);
    if (!worker_.joinable())
        worker_ = std::thread(&ImagePngs::Work, this);
    changed_.notify_all();
}

std::vector<uint8_t> ImagePngs::Take(int32_t image) {
    Ask(image);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return made_.count(image) || failed_.count(image); });
    if (const auto failed = failed_.find(image); failed != failed_.end())
        std::rethrow_exception(failed->second);
    std::vector<uint8_t> png = std::move(made_[image]);
    made_.erase(image);
    return png;
}

void ImagePngs::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || !asked_.empty(); });
        if (stopping_)
            return;
        const int32_t image = asked_.front();
        asked_.pop_front();
        lock.unlock();
        std::vector<uint8_t> png;
        std::exception_ptr failure;
        try {
            png = PngOf(archive_, image);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure)
            failed_[image] = failure;
        else
            made_[image] = std::move(png);
        changed_.notify_all();
    }
}
