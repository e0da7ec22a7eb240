#pragma once
// Pictures stored in the console's texel formats, the way back of the
// decoders: every block format stores a colour as its decoder reads it
// (texture/TexelCodecs.h), and the compressed format takes each 4 x 4
// sub-block from a block compressor (stb_dxt), reordered into the format's
// tiles, byte order and index order.

#include <cstdint>
#include <span>
#include <vector>

#include "texture/RgbaColor.h"

// `pixels` holds width x height colours, row-major, row 0 first. The result is
// the image in `format` as the decoders read it: StoredTexelBytes(format,
// width, height) bytes of whole blocks, whose texels past the picture's right
// and bottom edges repeat its last column and row. 8-bit channels are stored
// as they are and narrower ones rounded to the nearest value the field widens
// to; the intensity formats store the Rec. 601 luma (0.299 R + 0.587 G + 0.114
// B, rounded), which is a grey colour's own value. Empty for a format code
// without a decoder, or when `pixels` does not hold width x height colours.
std::vector<uint8_t> EncodeTexels(uint32_t format, int width, int height,
                                  std::span<const RgbaColor> pixels);

// A 4 x 4 sub-block of the compressed format from a block in the common DXT1
// layout (colours low byte first, column 0 in the low bits of its row's
// byte): the same colours and indices, high byte first and column 0 in the
// high bits.
void SubBlockFromDxt1(const uint8_t dxt1[8], uint8_t sub[8]);
