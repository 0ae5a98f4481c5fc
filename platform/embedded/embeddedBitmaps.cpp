// Bitmaps for the layers that carry the artwork inside the library (Linux:
// headless and X11): the packed resources compiled in by the build, decoded
// on request. Windows loads them from the DLL's own resources.
#include "platform/platform.h"

#include "resources/embeddedResources.h"
#include "resources/PixelPack.h"

namespace platform {

Status bitmapSize(int32_t id, int32_t* width, int32_t* height) {
    const EmbeddedResource* r = findEmbeddedResource(id);
    if (!r) {
        return Status::notFound;
    }
    return PixelPack::readSize(r->data, r->size, width, height) ? Status::ok
                                                                : Status::invalidArgument;
}

Status loadBitmap(int32_t id, uint32_t* pixels, size_t capacity) {
    const EmbeddedResource* r = findEmbeddedResource(id);
    if (!r) {
        return Status::notFound;
    }
    return PixelPack::decode(r->data, r->size, pixels, capacity) ? Status::ok
                                                                 : Status::invalidArgument;
}

} // namespace platform
