#include "resources/PixelPack.h"

#include <algorithm>

namespace {

constexpr uint8_t kMagic[4] = {'T', 'Q', 'P', 'K'};
constexpr size_t kHeaderSize = 8;
// As BmpCodec: large enough for any picture we draw.
constexpr int32_t kMaxSide = 16384;

constexpr uint8_t kRun = 0;
constexpr uint8_t kAbove = 1;
constexpr uint8_t kRecent = 2;
constexpr uint8_t kLiteral = 3;
constexpr uint32_t kShortCounts = 63;
constexpr int kMaxCountBytes = 4;
constexpr size_t kMaxCount = kShortCounts + 1 + ((size_t(1) << (7 * kMaxCountBytes)) - 1);
constexpr uint32_t kRgb = 0xFFFFFFu;

size_t slot(uint32_t rgb) {
    return ((rgb >> 16 & 0xFF) * 3 + (rgb >> 8 & 0xFF) * 5 + (rgb & 0xFF) * 7) & 63;
}

void putOp(std::vector<uint8_t>& out, uint8_t op, size_t count) {
    if (count <= kShortCounts) {
        out.push_back(uint8_t(op << 6 | (count - 1)));
        return;
    }
    out.push_back(uint8_t(op << 6 | kShortCounts));
    size_t rest = count - kShortCounts - 1;
    do {
        const uint8_t group = uint8_t(rest & 0x7F);
        rest >>= 7;
        out.push_back(rest ? uint8_t(group | 0x80) : group);
    } while (rest);
}

// How many of the pixels from `i` on repeat the one before `i`, at most `limit`.
size_t repeating(const uint32_t* rgb, size_t i, size_t limit) {
    size_t n = 0;
    while (n < limit && rgb[i + n] == rgb[i - 1]) {
        ++n;
    }
    return n;
}

// How many of the pixels from `i` on equal those `w` places (a row) before
// them, at most `limit`.
size_t copying(const uint32_t* rgb, size_t i, size_t w, size_t limit) {
    size_t n = 0;
    while (n < limit && rgb[i + n] == rgb[i + n - w]) {
        ++n;
    }
    return n;
}

} // namespace

std::vector<uint8_t> PixelPack::encode(int32_t width, int32_t height, const uint32_t* pixels) {
    std::vector<uint8_t> out;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || !pixels) {
        return out;
    }
    const size_t w = size_t(width);
    const size_t total = w * size_t(height);
    std::vector<uint32_t> rgb(pixels, pixels + total);
    for (uint32_t& p : rgb) {
        p &= kRgb;
    }
    out.assign(std::begin(kMagic), std::end(kMagic));
    for (const int32_t side : {width, height}) {
        out.push_back(uint8_t(side));
        out.push_back(uint8_t(side >> 8));
    }

    // Black in every slot to begin with, as the decoder starts.
    uint32_t recent[64] = {};
    // The longer of a run and a copy from above starting at `i`, or 0.
    const auto repeat = [&](size_t i, uint8_t* op) {
        const size_t limit = std::min(total - i, kMaxCount);
        const size_t left = i > 0 ? repeating(rgb.data(), i, limit) : 0;
        const size_t above = i >= w ? copying(rgb.data(), i, w, limit) : 0;
        *op = above > left ? kAbove : kRun;
        return std::max(left, above);
    };
    const auto inTable = [&](uint32_t p) { return recent[slot(p)] == p; };

    size_t i = 0;
    while (i < total) {
        uint8_t op = kRun;
        if (const size_t n = repeat(i, &op)) {
            putOp(out, op, n);
            i += n;
        } else if (inTable(rgb[i])) {
            out.push_back(uint8_t(kRecent << 6 | slot(rgb[i])));
            ++i;
        } else {
            // Literal pixels until one can be said shorter.
            size_t end = i;
            do {
                recent[slot(rgb[end])] = rgb[end];
                ++end;
            } while (end < total && end - i < kMaxCount && !repeat(end, &op) && !inTable(rgb[end]));
            putOp(out, kLiteral, end - i);
            for (; i < end; ++i) {
                out.push_back(uint8_t(rgb[i]));
                out.push_back(uint8_t(rgb[i] >> 8));
                out.push_back(uint8_t(rgb[i] >> 16));
            }
        }
    }
    return out;
}

bool PixelPack::readSize(const uint8_t* data, size_t size, int32_t* width, int32_t* height) {
    if (!data || !width || !height || size < kHeaderSize ||
        !std::equal(std::begin(kMagic), std::end(kMagic), data)) {
        return false;
    }
    const int32_t w = data[4] | data[5] << 8;
    const int32_t h = data[6] | data[7] << 8;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) {
        return false;
    }
    *width = w;
    *height = h;
    return true;
}

bool PixelPack::decode(const uint8_t* data, size_t size, uint32_t* pixels, size_t capacity) {
    int32_t width = 0;
    int32_t height = 0;
    if (!pixels || !readSize(data, size, &width, &height)) {
        return false;
    }
    const size_t w = size_t(width);
    const size_t total = w * size_t(height);
    if (capacity < total) {
        return false;
    }
    uint32_t recent[64];
    std::fill(std::begin(recent), std::end(recent), 0xFF000000u);
    const uint8_t* in = data + kHeaderSize;
    const uint8_t* const end = data + size;
    size_t i = 0;
    while (i < total) {
        if (in == end) {
            return false;
        }
        const uint8_t tag = *in++;
        const uint8_t op = tag >> 6;
        if (op == kRecent) {
            pixels[i++] = recent[tag & 63];
            continue;
        }
        size_t count = size_t(tag & 63) + 1;
        if (count > kShortCounts) {
            size_t rest = 0;
            for (int group = 0;; ++group) {
                if (in == end || group == kMaxCountBytes) {
                    return false;
                }
                rest |= size_t(*in & 0x7F) << (7 * group);
                if (!(*in++ & 0x80)) {
                    break;
                }
            }
            count = kShortCounts + 1 + rest;
        }
        if (count > total - i) {
            return false;
        }
        if (op == kLiteral) {
            if (size_t(end - in) / 3 < count) {
                return false;
            }
            for (const size_t stop = i + count; i < stop; ++i, in += 3) {
                const uint32_t p = uint32_t(in[2]) << 16 | uint32_t(in[1]) << 8 | in[0];
                pixels[i] = 0xFF000000u | p;
                recent[slot(p)] = 0xFF000000u | p;
            }
            continue;
        }
        const size_t back = op == kRun ? 1 : w;
        if (i < back) {
            return false;
        }
        for (const size_t stop = i + count; i < stop; ++i) {
            pixels[i] = pixels[i - back];
        }
    }
    return in == end;
}
