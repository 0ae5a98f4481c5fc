// Decoded pixels of the bitmap resources, kept once per process and shared
// read-only by every bitmap loaded from the same id, in every instance and
// every open of the editor. Only bitmap creation touches it (never the audio
// thread); editors may open on different threads, so a mutex guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/platform.h"

class CBitmapCache {
public:
    // Row-major 0xAARRGGBB, width * height values.
    using Pixels = std::vector<uint32_t>;

    struct Image {
        int32_t width = 0;
        int32_t height = 0;
        std::shared_ptr<const Pixels> pixels; // null: the resource cannot be loaded
    };

    // Where decoded pixels come from: the platform's resources, or a stand-in.
    struct Source {
        platform::Status (*size)(int32_t id, int32_t* width, int32_t* height);
        platform::Status (*load)(int32_t id, uint32_t* pixels, size_t capacity);
    };

    explicit CBitmapCache(const Source& source);
    CBitmapCache(const CBitmapCache&) = delete;
    CBitmapCache& operator=(const CBitmapCache&) = delete;

    // The process's cache over the platform's bitmap resources. Static
    // storage: it goes when the library unloads, and bitmaps still alive
    // then keep their own share of the pixels.
    static CBitmapCache& resources();

    // Resource `id`, decoded at the first request. A resource that cannot be
    // loaded is not remembered, so a later request tries again.
    Image find(int32_t id);

    // How many times pixels were decoded from the source (successful or not).
    size_t getDecodeCount() const;

private:
    Image decode(int32_t id);

    const Source source;
    mutable std::mutex guard;
    std::vector<std::pair<int32_t, Image>> images;
    size_t decodeCount = 0;
};
