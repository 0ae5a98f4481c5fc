#include "resources/BmpCodec.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
// Large enough for any picture we draw, small enough that sizes never overflow.
constexpr int32_t kMaxSide = 16384;

uint32_t read32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t read16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(uint8_t(v >> (8 * i)));
    }
}

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

} // namespace

std::vector<uint8_t> BmpCodec::encode(int32_t width, int32_t height, const uint32_t* pixels) {
    std::vector<uint8_t> out;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || !pixels) {
        return out;
    }
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    const size_t imageSize = stride * size_t(height);
    const size_t offset = kFileHeaderSize + kInfoHeaderSize;
    out.reserve(offset + imageSize);

    out.push_back('B');
    out.push_back('M');
    put32(out, uint32_t(offset + imageSize));
    put32(out, 0);
    put32(out, uint32_t(offset));

    put32(out, uint32_t(kInfoHeaderSize));
    put32(out, uint32_t(width));
    put32(out, uint32_t(height)); // positive: bottom-up
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // BI_RGB
    put32(out, uint32_t(imageSize));
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);

    for (int32_t row = height - 1; row >= 0; --row) {
        const uint32_t* src = pixels + size_t(row) * size_t(width);
        for (int32_t x = 0; x < width; ++x) {
            out.push_back(uint8_t(src[x]));       // blue
            out.push_back(uint8_t(src[x] >> 8));  // green
            out.push_back(uint8_t(src[x] >> 16)); // red
        }
        for (size_t pad = size_t(width) * 3; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

bool BmpCodec::parse(const uint8_t* data, size_t size, Layout* layout) {
    if (!data || size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const uint8_t* info = data + kFileHeaderSize;
    const uint32_t infoSize = read32(info);
    const int32_t width = int32_t(read32(info + 4));
    const int32_t rawHeight = int32_t(read32(info + 8));
    const uint16_t planes = read16(info + 12);
    const uint16_t bits = read16(info + 14);
    const uint32_t compression = read32(info + 16);
    if (infoSize < kInfoHeaderSize || planes != 1 || compression != 0 ||
        (bits != 24 && bits != 32)) {
        return false;
    }
    if (width <= 0 || width > kMaxSide || rawHeight == 0 || rawHeight > kMaxSide ||
        rawHeight < -kMaxSide) {
        return false;
    }
    layout->width = width;
    layout->height = rawHeight < 0 ? -rawHeight : rawHeight;
    layout->topDown = rawHeight < 0;
    layout->bytesPerPixel = bits / 8u;
    layout->stride = (size_t(width) * layout->bytesPerPixel + 3) & ~size_t(3);
    layout->pixelOffset = read32(data + 10);
    if (layout->pixelOffset < kFileHeaderSize + infoSize || layout->pixelOffset > size) {
        return false;
    }
    return size - layout->pixelOffset >= layout->stride * size_t(layout->height);
}

bool BmpCodec::readSize(const uint8_t* data, size_t size, int32_t* width, int32_t* height) {
    Layout layout;
    if (!width || !height || !parse(data, size, &layout)) {
        return false;
    }
    *width = layout.width;
    *height = layout.height;
    return true;
}

bool BmpCodec::decode(const uint8_t* data, size_t size, uint32_t* pixels, size_t capacity) {
    Layout layout;
    if (!pixels || !parse(data, size, &layout) ||
        capacity < size_t(layout.width) * size_t(layout.height)) {
        return false;
    }
    for (int32_t row = 0; row < layout.height; ++row) {
        const int32_t fileRow = layout.topDown ? row : layout.height - 1 - row;
        const uint8_t* src = data + layout.pixelOffset + size_t(fileRow) * layout.stride;
        uint32_t* dst = pixels + size_t(row) * size_t(layout.width);
        for (int32_t x = 0; x < layout.width; ++x) {
            const uint8_t* p = src + size_t(x) * layout.bytesPerPixel;
            dst[x] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    }
    return true;
}
