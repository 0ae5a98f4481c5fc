// The compact form our drawn bitmaps are shipped in: the artwork is mostly
// flat fields, lines and a few text colours, so runs and a small colour
// table shrink it about seventyfold, with nothing beyond this file to link.
//
// Layout: "TQPK", width and height (16-bit little-endian), then operations
// until every pixel (top row first) is written. Each operation is one tag
// byte; its top two bits choose what it does:
//   0  the pixel before, repeated `count` times
//   1  `count` pixels copied from the row above
//   2  one pixel from the table of 64 recent colours, the low six bits its slot
//   3  `count` pixels follow as blue, green, red bytes; each goes into the
//      table at the slot its colour hashes to
// `count` is the low six bits plus one; 63 there means 64 plus a count that
// follows in 7-bit groups, low group first (at most four bytes).
// Decoding checks every count and byte against the data and the picture and
// wants the data to end where the picture does: damaged data is refused,
// never overread or overwritten past the picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class PixelPack {
public:
    // Pixels are 0xAARRGGBB, top row first; alpha is dropped. Empty when
    // the size is out of range.
    static std::vector<uint8_t> encode(int32_t width, int32_t height, const uint32_t* pixels);

    static bool readSize(const uint8_t* data, size_t size, int32_t* width, int32_t* height);

    // Writes width * height pixels 0xFFRRGGBB, top row first, when they fit
    // into `capacity`; after damaged data, what was written is meaningless.
    static bool decode(const uint8_t* data, size_t size, uint32_t* pixels, size_t capacity);
};
