// PNG files of 0xAARRGGBB pixels (libpng). Written as 8-bit RGB; the
// pictures we save are opaque.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

class PngCodec {
public:
    static platform::Status write(const std::string& path, int32_t width, int32_t height,
                                  const uint32_t* pixels);
    // Pixels come back 0xAARRGGBB, top row first.
    static platform::Status read(const std::string& path, int32_t* width, int32_t* height,
                                 std::vector<uint32_t>* pixels);
};
