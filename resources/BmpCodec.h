// Device-independent bitmap files (.bmp), the form our bitmap resources take
// on every platform: 24-bit, uncompressed, rows bottom-up and padded to four
// bytes. Decoding also accepts 32-bit and top-down rows, and checks every
// size against the data, so a damaged resource is refused, never overread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class BmpCodec {
public:
    // Pixels are 0xAARRGGBB, top row first; alpha is dropped.
    static std::vector<uint8_t> encode(int32_t width, int32_t height, const uint32_t* pixels);

    static bool readSize(const uint8_t* data, size_t size, int32_t* width, int32_t* height);

    // Writes width * height pixels 0xFFRRGGBB, top row first, when they fit
    // into `capacity`.
    static bool decode(const uint8_t* data, size_t size, uint32_t* pixels, size_t capacity);

private:
    struct Layout {
        int32_t width = 0;
        int32_t height = 0;
        bool topDown = false;
        uint32_t bytesPerPixel = 0;
        size_t pixelOffset = 0;
        size_t stride = 0;
    };
    static bool parse(const uint8_t* data, size_t size, Layout* layout);
};
