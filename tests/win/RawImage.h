// A picture of the editor as a file both builds can read: width and height
// as two little-endian 32-bit values, then width * height 0xAARRGGBB pixels,
// top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class RawImage {
public:
    RawImage() = default;
    RawImage(int32_t w, int32_t h, std::vector<uint32_t> p)
        : width(w), height(h), pixels(std::move(p)) {}

    bool read(const std::string& path);
    bool write(const std::string& path) const;
    bool valid() const {
        return width > 0 && height > 0 && pixels.size() == size_t(width) * size_t(height);
    }
    uint32_t at(int32_t x, int32_t y) const {
        return pixels[size_t(y) * size_t(width) + size_t(x)];
    }

    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};
