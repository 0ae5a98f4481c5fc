#include "RawImage.h"

#include <cstdio>
#include <memory>

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

bool readWord(std::FILE* f, uint32_t& value) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, f) != 4) {
        return false;
    }
    value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool writeWord(std::FILE* f, uint32_t value) {
    const unsigned char b[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return std::fwrite(b, 1, 4, f) == 4;
}

} // namespace

bool RawImage::read(const std::string& path) {
    File f(std::fopen(path.c_str(), "rb"), std::fclose);
    uint32_t w = 0;
    uint32_t h = 0;
    if (!f || !readWord(f.get(), w) || !readWord(f.get(), h) || w == 0 || h == 0 || w > 4096 ||
        h > 4096) {
        return false;
    }
    std::vector<uint32_t> p(size_t(w) * size_t(h));
    for (uint32_t& value : p) {
        if (!readWord(f.get(), value)) {
            return false;
        }
    }
    width = int32_t(w);
    height = int32_t(h);
    pixels = std::move(p);
    return true;
}

bool RawImage::write(const std::string& path) const {
    if (!valid()) {
        return false;
    }
    File f(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!f || !writeWord(f.get(), uint32_t(width)) || !writeWord(f.get(), uint32_t(height))) {
        return false;
    }
    for (uint32_t value : pixels) {
        if (!writeWord(f.get(), value)) {
            return false;
        }
    }
    return true;
}
