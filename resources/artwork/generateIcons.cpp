// Draws the desktop program's icon at the given sizes: PNG files for the
// icon theme (SIZExSIZE/NAME.png) and one C++ source that embeds the sizes
// a window manager shows in a window's icon.
//   tq_icons OUTPUT_DIR NAME SIZE...
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <png.h>
#include <sys/stat.h>

#include "resources/artwork/IconPainter.h"

namespace {

// Larger ones would only weigh on the window's property.
constexpr int32_t kWindowIconLimit = 128;

bool writePng(const std::string& path, int32_t size, const std::vector<uint32_t>& pixels) {
    std::vector<uint8_t> rgba(pixels.size() * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        rgba[4 * i] = uint8_t(pixels[i] >> 16);
        rgba[4 * i + 1] = uint8_t(pixels[i] >> 8);
        rgba[4 * i + 2] = uint8_t(pixels[i]);
        rgba[4 * i + 3] = uint8_t(pixels[i] >> 24);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(size);
    image.height = png_uint_32(size);
    image.format = PNG_FORMAT_RGBA;
    const int ok = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);
    png_image_free(&image);
    return ok != 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR NAME SIZE...\n", argv[0]);
        return 2;
    }
    const std::string outDir = argv[1];
    const std::string name = argv[2];
    std::string source = "// Drawn by the artwork program at build time.\n"
                         "#include \"resources/embeddedIcon.h\"\n\n"
                         "const uint32_t kWindowIcon[] = {\n";
    size_t length = 0;
    for (int arg = 3; arg < argc; ++arg) {
        const int32_t size = std::atoi(argv[arg]);
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "tq_icons: %s is no icon size\n", argv[arg]);
            return 2;
        }
        const std::vector<uint32_t> pixels = IconPainter::icon(size);
        const std::string dir = outDir + "/" + std::to_string(size) + "x" + std::to_string(size);
        mkdir(dir.c_str(), 0755);
        const std::string path = dir + "/" + name + ".png";
        if (!writePng(path, size, pixels)) {
            std::fprintf(stderr, "tq_icons: cannot write %s\n", path.c_str());
            return 1;
        }
        if (size > kWindowIconLimit) {
            continue;
        }
        source += "    " + std::to_string(size) + "u, " + std::to_string(size) + "u,";
        for (size_t i = 0; i < pixels.size(); ++i) {
            char value[24];
            std::snprintf(value, sizeof value, "%s0x%08Xu,", i % 8 == 0 ? "\n    " : " ",
                          unsigned(pixels[i]));
            source += value;
        }
        source += "\n";
        length += 2 + pixels.size();
    }
    source += "};\n\nconst size_t kWindowIconLength = " + std::to_string(length) + ";\n";
    const std::string sourcePath = outDir + "/embeddedIcon.cpp";
    std::ofstream out(sourcePath, std::ios::binary);
    out << source;
    if (!out) {
        std::fprintf(stderr, "tq_icons: cannot write %s\n", sourcePath.c_str());
        return 1;
    }
    return 0;
}
