#include "toolkit/CBitmapCache.h"

CBitmapCache::CBitmapCache(const Source& from) : source(from) {}

CBitmapCache& CBitmapCache::resources() {
    static CBitmapCache cache(Source{&platform::bitmapSize, &platform::loadBitmap});
    return cache;
}

CBitmapCache::Image CBitmapCache::find(int32_t id) {
    // Held while decoding: two editors opening at once decode a resource
    // once, and the other waits for it.
    std::lock_guard<std::mutex> lock(guard);
    for (const auto& entry : images) {
        if (entry.first == id) {
            return entry.second;
        }
    }
    Image image = decode(id);
    if (image.pixels) {
        images.emplace_back(id, image);
    }
    return image;
}

size_t CBitmapCache::getDecodeCount() const {
    std::lock_guard<std::mutex> lock(guard);
    return decodeCount;
}

CBitmapCache::Image CBitmapCache::decode(int32_t id) {
    int32_t w = 0;
    int32_t h = 0;
    if (!source.size || !source.load || source.size(id, &w, &h) != platform::Status::ok || w <= 0 ||
        h <= 0) {
        return Image();
    }
    ++decodeCount;
    auto loaded = std::make_shared<Pixels>(size_t(w) * size_t(h));
    if (source.load(id, loaded->data(), loaded->size()) != platform::Status::ok) {
        return Image();
    }
    return Image{w, h, std::move(loaded)};
}
