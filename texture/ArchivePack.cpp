#include "texture/ArchivePack.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "texture/TexelDecoder.h"
#include "texture/TexelEncoder.h"
#include "texture/TextureFile.h"

namespace {

// The next smaller level of a width x height picture: each texel the rounded
// mean of the 2 x 2 texels it covers (of the one row or column where the
// picture has only one).
std::vector<RgbaColor> Halved(const std::vector<RgbaColor>& pixels, uint32_t width, uint32_t height,
                              const StoredLevel& level) {
    std::vector<RgbaColor> out(size_t{level.Width} * level.Height);
    for (uint32_t y = 0; y < level.Height; ++y)
        for (uint32_t x = 0; x < level.Width; ++x) {
            unsigned sum[4] = {}, count = 0;
            for (uint32_t sy = 2 * y; sy < std::min(2 * y + 2, height); ++sy)
                for (uint32_t sx = 2 * x; sx < std::min(2 * x + 2, width); ++sx) {
                    const RgbaColor c = pixels[size_t{sy} * width + sx];
                    sum[0] += c.R;
                    sum[1] += c.G;
                    sum[2] += c.B;
                    sum[3] += c.A;
                    ++count;
                }
            auto mean = [&](unsigned s) { return static_cast<uint8_t>((s + count / 2) / count); };
            out[size_t{y} * level.Width + x] = {mean(sum[0]), mean(sum[1]), mean(sum[2]),
                                                mean(sum[3])};
        }
    return out;
}

// For every image, whether its texel data shares bytes with another image's:
// only an archive whose offsets lie makes two overlap, and then a change to
// one would show in the other.
std::vector<bool> SharedData(const TextureFile& archive) {
    struct Span {
        uint64_t Begin, End;
        size_t Image;
    };
    std::vector<Span> spans;
    for (size_t i = 0; i < archive.Images.size(); ++i) {
        const uint64_t begin = archive.Images[i].Header->TexelOffset;
        if (!archive.Images[i].Data.empty())
            spans.push_back({begin, begin + archive.Images[i].Data.size(), i});
    }
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.Begin < b.Begin; });
    std::vector<bool> shared(archive.Images.size());
    uint64_t reach = 0;  // the furthest end of the spans before
    for (size_t s = 0; s < spans.size(); ++s) {
        shared[spans[s].Image] = (s > 0 && spans[s].Begin < reach) ||
                                 (s + 1 < spans.size() && spans[s + 1].Begin < spans[s].End);
        reach = std::max(reach, spans[s].End);
    }
    return shared;
}

class Packer {
  public:
    Packer(const TextureFile& archive, std::span<const uint8_t> original, PictureSource& pictures)
        : archive_(archive), pictures_(pictures), shared_(SharedData(archive)) {
        result_.Bytes.assign(original.begin(), original.end());
        result_.Images.resize(archive.Images.size());
    }

    PackResult Run() {
        std::vector<PictureKey> keys = pictures_.Keys();
        std::sort(keys.begin(), keys.end());
        for (auto first = keys.begin(); first != keys.end();) {
            const auto last = std::find_if(first, keys.end(), [&](const PictureKey& key) {
                return key.Image != first->Image;
            });
            if (first->Image >= archive_.ImageCount())
                return Fail(PictureName(*first) + ": the archive has no image " +
                            std::to_string(first->Image));
            if (!Pack(first->Image, std::span(first, last)))
                return Fail(error_);
            first = last;
        }
        return std::move(result_);
    }

  private:
    PackResult Fail(const std::string& why) { return {{}, {}, why}; }

    bool Refuse(PictureKey key, const std::string& why) {
        error_ = PictureName(key) + ": " + why;
        return false;
    }

    std::string Image(int32_t k) const { return "image " + std::to_string(k); }

    // The pictures of image k, by level.
    bool Pack(int32_t k, std::span<const PictureKey> keys) {
        const TextureImage& image = archive_.Images[static_cast<size_t>(k)];
        const ImageHeader& h = *image.Header;
        const std::vector<StoredLevel> levels = archive_.StoredLevels(k);
        uint64_t whole = 0;
        for (const StoredLevel& level : levels)
            whole += level.Bytes;
        // The smaller levels are rewritten only when they are all the data holds.
        const size_t rewritable = whole == image.Data.size() ? levels.size() : 1;
        PackedImage& packed = result_.Images[static_cast<size_t>(k)];

        std::vector<RgbaColor> above;  // the level above as it is now, when it changed
        auto key = keys.begin();
        for (size_t j = 0; j < std::max<size_t>(levels.size(), 1); ++j) {
            const int level = static_cast<int>(j);
            const bool hasPicture = key != keys.end() && key->Level == level;
            const PictureKey at{k, level};
            if (!hasPicture && above.empty())
                continue;
            std::vector<RgbaColor> picture;
            bool edited = false;
            if (hasPicture) {
                ++key;
                std::vector<RgbaColor> before;
                uint32_t width = h.Width, height = h.Height;
                before = level == 0 ? archive_.DecodeImage(k)
                                    : archive_.DecodeLevel(k, level, width, height);
                if (before.empty())
                    return Refuse(at, Image(k) + " (" + std::to_string(h.Width) + " x " +
                                          std::to_string(h.Height) + ") has no texels to replace");
                if (!pictures_.Read(at, width, height, picture, error_))
                    return false;
                edited = picture != before;
            }
            if (!edited && above.empty())
                continue;
            if (!IsTexelFormat(h.Format))
                return Refuse(at, Image(k) + " is in texel format " + std::to_string(h.Format) +
                                      ", which has no encoder");
            if (levels.empty())
                return Refuse(
                    at, Image(k) + " holds " + std::to_string(image.Data.size()) + " of the " +
                            std::to_string(StoredTexelBytes(h.Format, h.Width, h.Height)) +
                            " bytes of its first level");
            if (j >= rewritable)
                return Refuse(at, "the " + std::to_string(image.Data.size() - levels[0].Bytes) +
                                      " bytes after the first level of " + Image(k) +
                                      " are no whole smaller levels, so none can be replaced");
            if (shared_[static_cast<size_t>(k)])
                return Refuse(
                    at, "the texel data of " + Image(k) + " shares bytes with another image's");
            if (!edited) {
                picture = Halved(above, levels[j - 1].Width, levels[j - 1].Height, levels[j]);
                ++packed.LevelsRebuilt;
            } else if (level == 0) {
                packed.Replaced = true;
            } else {
                packed.LevelsReplaced.push_back(level);
            }
            const std::vector<uint8_t> texels =
                EncodeTexels(h.Format, static_cast<int>(levels[j].Width),
                             static_cast<int>(levels[j].Height), picture);
            std::copy(
                texels.begin(), texels.end(),
                result_.Bytes.begin() + static_cast<ptrdiff_t>(h.TexelOffset + levels[j].Offset));
            above = std::move(picture);
            if (j + 1 >= rewritable)
                above.clear();
        }
        if (key != keys.end())
            return Refuse(*key, Image(k) + " stores no level " + std::to_string(key->Level));
        if (packed.Replaced && rewritable == 1)
            packed.BytesKept = image.Data.size() - levels[0].Bytes;
        return true;
    }

    const TextureFile& archive_;
    PictureSource& pictures_;
    const std::vector<bool> shared_;
    PackResult result_;
    std::string error_;
};

}  // namespace

std::string PictureName(PictureKey key) {
    char name[48];
    if (key.Level == 0)
        std::snprintf(name, sizeof name, "%03d.png", static_cast<int>(key.Image));
    else
        std::snprintf(name, sizeof name, "%03d-level%d.png", static_cast<int>(key.Image),
                      key.Level);
    return name;
}

std::optional<PictureKey> PictureKeyOf(std::string_view name) {
    PictureKey key;
    const char* at = name.data();
    const char* end = name.data() + name.size();
    auto [afterImage, imageError] = std::from_chars(at, end, key.Image);
    if (imageError != std::errc() || key.Image < 0)
        return std::nullopt;
    const std::string_view level = "-level";
    if (std::string_view(afterImage, static_cast<size_t>(end - afterImage)).starts_with(level)) {
        auto [afterLevel, levelError] = std::from_chars(afterImage + level.size(), end, key.Level);
        if (levelError != std::errc() || key.Level < 1)
            return std::nullopt;
    }
    // Only the name textures gives it: no other number of digits, no other ending.
    if (PictureName(key) != name)
        return std::nullopt;
    return key;
}

PackResult PackArchive(const TextureFile& archive, std::span<const uint8_t> original,
                       PictureSource& pictures) {
    if (original.size() != archive.FileSize())
        return {{}, {}, "the archive's bytes are not those it was read from"};
    return Packer(archive, original, pictures).Run();
}
