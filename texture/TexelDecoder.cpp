#include "texture/TexelDecoder.h"

#include <algorithm>
#include <cstddef>

#include "texture/TexelCodecs.h"

namespace {

using namespace texel;

// Walks the stored blocks in storage order, ceil(width / BW) to a block row and
// ceil(height / BH) block rows, until the data ends. A block wholly inside the
// image and the data goes to whole(bytes, origin, stride); any other to
// part(bytes, origin, stride, columns, rows, bytes present), with the columns and
// rows of it that lie inside the image.
template <int BW, int BH, int Bytes, class Whole, class Part>
void WalkBlocks(int width, int height, std::span<const uint8_t> data, RgbaColor* out, Whole whole,
                Part part) {
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    const size_t across = (w + BW - 1) / BW, down = (h + BH - 1) / BH;
    for (size_t by = 0; by < down; ++by) {
        const size_t rowStart = by * across * Bytes;
        if (rowStart >= data.size())
            return;
        const uint8_t* blocks = data.data() + rowStart;
        const size_t present = data.size() - rowStart;
        const size_t y0 = by * BH;
        const int rows = static_cast<int>(std::min<size_t>(BH, h - y0));
        RgbaColor* line = out + y0 * w;

        const size_t wholeBlocks = rows == BH ? std::min(w / BW, present / Bytes) : 0;
        size_t bx = 0;
        for (; bx < wholeBlocks; ++bx)
            whole(blocks + bx * Bytes, line + bx * BW, w);
        for (; bx < across && bx * Bytes < present; ++bx) {
            const int columns = static_cast<int>(std::min<size_t>(BW, w - bx * BW));
            part(blocks + bx * Bytes, line + bx * BW, w, columns, rows,
                 std::min<size_t>(Bytes, present - bx * Bytes));
        }
    }
}

template <class F>
void DecodeTiled(int width, int height, std::span<const uint8_t> data, RgbaColor* out) {
    WalkBlocks<F::BW, F::BH, F::Bytes>(
        width, height, data, out,
        [](const uint8_t* block, RgbaColor* origin, size_t stride) {
            for (int r = 0; r < F::BH; ++r, origin += stride) {
                if constexpr (requires { F::WholeRow(block, r, origin); }) {
                    F::WholeRow(block, r, origin);
                } else {
                    for (int c = 0; c < F::BW; ++c)
                        Put(origin + c, F::Texel(block, r * F::BW + c));
                }
            }
        },
        [](const uint8_t* block, RgbaColor* origin, size_t stride, int columns, int rows,
           size_t present) {
            for (int r = 0; r < rows; ++r, origin += stride)
                for (int c = 0; c < columns; ++c) {
                    const int i = r * F::BW + c;
                    if (F::End(i) <= present)
                        Put(origin + c, F::Texel(block, i));
                }
        });
}

}  // namespace

bool IsTexelFormat(uint32_t format) {
    return FindTexelFormat(format) != nullptr;
}

uint64_t StoredTexelBytes(uint32_t format, uint32_t width, uint32_t height) {
    const TexelFormatInfo* info = FindTexelFormat(format);
    if (!info)
        return 0;
    const uint64_t bw = static_cast<uint64_t>(info->BlockWidth);
    const uint64_t bh = static_cast<uint64_t>(info->BlockHeight);
    return (width + bw - 1) / bw * ((height + bh - 1) / bh) *
           static_cast<uint64_t>(info->BlockBytes);
}

void DecodeBlockTexels(uint32_t format, int width, int height, std::span<const uint8_t> data,
                       std::span<RgbaColor> out) {
    if (width <= 0 || height <= 0 || out.size() < static_cast<size_t>(width) * height)
        return;
    WithBlockFormat(format, [&](auto traits) {
        DecodeTiled<decltype(traits)>(width, height, data, out.data());
    });
}

void DecodeCompressedTexels(int width, int height, std::span<const uint8_t> data,
                            std::span<RgbaColor> out) {
    if (width <= 0 || height <= 0 || out.size() < static_cast<size_t>(width) * height)
        return;
    WalkBlocks<Compressed::BW, Compressed::BH, Compressed::Bytes>(
        width, height, data, out.data(),
        [](const uint8_t* block, RgbaColor* origin, size_t stride) {
            for (int s = 0; s < 4; ++s) {
                const uint8_t* sub = block + 8 * s;
                uint32_t colors[4];
                Palette(sub, colors);
                RgbaColor* row = origin + SubY(s) * stride + SubX(s);
                for (int r = 0; r < 4; ++r, row += stride) {
                    const unsigned bits = sub[4 + r];
                    Put(row + 0, colors[bits >> 6]);
                    Put(row + 1, colors[(bits >> 4) & 3]);
                    Put(row + 2, colors[(bits >> 2) & 3]);
                    Put(row + 3, colors[bits & 3]);
                }
            }
        },
        [](const uint8_t* block, RgbaColor* origin, size_t stride, int columns, int rows,
           size_t present) {
            for (int s = 0; s < 4; ++s) {
                const size_t first = static_cast<size_t>(8 * s);
                if (first + 4 > present)
                    return;  // this sub-block's colours and all after it are missing
                const int subRows = std::min(4, rows - SubY(s));
                const int subColumns = std::min(4, columns - SubX(s));
                if (subRows <= 0 || subColumns <= 0)
                    continue;  // outside the image
                const uint8_t* sub = block + first;
                uint32_t colors[4];
                Palette(sub, colors);
                RgbaColor* row = origin + SubY(s) * stride + SubX(s);
                for (int r = 0; r < subRows && first + 4 + r < present; ++r, row += stride) {
                    const unsigned bits = sub[4 + r];
                    for (int c = 0; c < subColumns; ++c)
                        Put(row + c, colors[(bits >> (6 - 2 * c)) & 3]);
                }
            }
        });
}

const char* TexelFormatName(uint32_t format) {
    const TexelFormatInfo* info = FindTexelFormat(format);
    return info ? info->Name : "unknown";
}
