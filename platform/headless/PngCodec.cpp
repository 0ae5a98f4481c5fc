#include "platform/headless/PngCodec.h"

#include <cstring>

#include <png.h>

platform::Status PngCodec::write(const std::string& path, int32_t width, int32_t height,
                                 const uint32_t* pixels) {
    if (width <= 0 || height <= 0 || !pixels || path.empty()) {
        return platform::Status::invalidArgument;
    }
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < size_t(width) * size_t(height); ++i) {
        rgb[3 * i] = uint8_t(pixels[i] >> 16);
        rgb[3 * i + 1] = uint8_t(pixels[i] >> 8);
        rgb[3 * i + 2] = uint8_t(pixels[i]);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    const int ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return ok ? platform::Status::ok : platform::Status::failed;
}

platform::Status PngCodec::read(const std::string& path, int32_t* width, int32_t* height,
                                std::vector<uint32_t>* pixels) {
    if (!width || !height || !pixels) {
        return platform::Status::invalidArgument;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        png_image_free(&image);
        return platform::Status::notFound;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return platform::Status::failed;
    }
    *width = int32_t(image.width);
    *height = int32_t(image.height);
    pixels->resize(size_t(image.width) * size_t(image.height));
    for (size_t i = 0; i < pixels->size(); ++i) {
        const uint8_t* p = &rgba[4 * i];
        (*pixels)[i] = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
    png_image_free(&image);
    return platform::Status::ok;
}
