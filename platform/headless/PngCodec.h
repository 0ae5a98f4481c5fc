// PNG files of 0xAARRGGBB pixels (libpng). Written as 8-bit RGB; the
// pictures we save are opaque. Every one carries a Software text naming what
// made it, so that a later run knows it for one of its own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"

class PngCodec {
public:
    // What names the pictures when the writer gives no other text.
    static constexpr const char* kSoftware = "tq-spectrum";

    // Writes to an open stream the caller owns and closes; nothing else is
    // touched when it fails.
    static platform::Status write(std::FILE* stream, int32_t width, int32_t height,
                                  const uint32_t* pixels, const std::string& software = kSoftware);
    // Creates or truncates the file and writes it.
    static platform::Status write(const std::string& path, int32_t width, int32_t height,
                                  const uint32_t* pixels);
    // Pixels come back 0xAARRGGBB, top row first.
    static platform::Status read(const std::string& path, int32_t* width, int32_t* height,
                                 std::vector<uint32_t>* pixels);
    // The Software text of a PNG file, read from the chunks before its pixels;
    // empty when it has none or is no PNG file.
    static std::string software(const std::string& path);
};
