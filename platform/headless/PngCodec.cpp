#include "platform/headless/PngCodec.h"

#include <csetjmp>
#include <cstring>
#include <fstream>

#include <png.h>

namespace {

constexpr char kSoftwareKey[] = "Software";

// The caller reports a failure in its own words.
extern "C" void quietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

extern "C" void quietWarning(png_structp, png_const_charp) {}

// libpng reports a failure by a long jump out of its own frames: nothing
// with a destructor lives in this function.
bool writeRows(std::FILE* stream, png_uint_32 width, png_uint_32 height, png_bytep* rows,
               const char* software) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, stream);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_text text{};
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<char*>(kSoftwareKey);
    text.text = const_cast<char*>(software);
    png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

uint32_t bigEndian(const unsigned char* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

} // namespace

platform::Status PngCodec::write(std::FILE* stream, int32_t width, int32_t height,
                                 const uint32_t* pixels, const std::string& software) {
    if (width <= 0 || height <= 0 || !pixels || !stream) {
        return platform::Status::invalidArgument;
    }
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < size_t(width) * size_t(height); ++i) {
        rgb[3 * i] = uint8_t(pixels[i] >> 16);
        rgb[3 * i + 1] = uint8_t(pixels[i] >> 8);
        rgb[3 * i + 2] = uint8_t(pixels[i]);
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (size_t y = 0; y < rows.size(); ++y) {
        rows[y] = rgb.data() + y * size_t(width) * 3;
    }
    const bool written =
        writeRows(stream, png_uint_32(width), png_uint_32(height), rows.data(), software.c_str());
    return written && std::fflush(stream) == 0 && !std::ferror(stream) ? platform::Status::ok
                                                                       : platform::Status::failed;
}

platform::Status PngCodec::write(const std::string& path, int32_t width, int32_t height,
                                 const uint32_t* pixels) {
    // Nothing is created or truncated for a picture that cannot be written.
    if (path.empty() || width <= 0 || height <= 0 || !pixels) {
        return platform::Status::invalidArgument;
    }
    std::FILE* stream = std::fopen(path.c_str(), "wb");
    if (!stream) {
        return platform::Status::failed;
    }
    const platform::Status status = write(stream, width, height, pixels);
    const bool closed = std::fclose(stream) == 0;
    return status == platform::Status::ok && !closed ? platform::Status::failed : status;
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

std::string PngCodec::software(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char signature[8] = {};
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!file.read(reinterpret_cast<char*>(signature), sizeof signature) ||
        std::memcmp(signature, kSignature, sizeof signature) != 0) {
        return std::string();
    }
    // Text chunks worth reading are short; the pixels end the search.
    constexpr uint32_t kLongestText = 4096;
    for (int chunk = 0; chunk < 64; ++chunk) {
        unsigned char head[8];
        if (!file.read(reinterpret_cast<char*>(head), sizeof head)) {
            break;
        }
        const uint32_t length = bigEndian(head);
        const std::string type(reinterpret_cast<const char*>(head + 4), 4);
        if (type == "IDAT" || type == "IEND") {
            break;
        }
        if (type == "tEXt" && length <= kLongestText) {
            std::string data(length, '\0');
            if (!file.read(data.data(), length)) {
                break;
            }
            const size_t end = data.find('\0');
            if (end != std::string::npos && data.compare(0, end, kSoftwareKey) == 0) {
                return data.substr(end + 1);
            }
            file.seekg(4, std::ios::cur); // the CRC
        } else {
            file.seekg(std::streamoff(length) + 4, std::ios::cur);
        }
    }
    return std::string();
}
