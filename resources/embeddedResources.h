// The bitmap resources, drawn by the artwork program at build time and
// compiled into this library in PixelPack form.
#pragma once

#include <cstddef>
#include <cstdint>

struct EmbeddedResource {
    int32_t id = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Null when no resource has that id.
const EmbeddedResource* findEmbeddedResource(int32_t id);
