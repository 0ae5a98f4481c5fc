// Draws bitmaps 10001 to 10007 at every scale (ids from bitmapIds::atScale),
// writes each as a .bmp file (for resource compilers) and writes one C++
// source that embeds their bytes.
//   tq_artwork OUTPUT_DIR REGULAR_FONT BOLD_FONT
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "resources/artwork/ArtworkPainter.h"
#include "resources/bitmapIds.h"
#include "resources/BmpCodec.h"

namespace {

struct Picture {
    int32_t id;
    Canvas canvas;
};

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return bool(out);
}

// Three-digit octal escapes never swallow a following digit.
void appendLiteral(std::string& out, const std::vector<uint8_t>& bytes) {
    size_t column = 0;
    out += "    \"";
    for (uint8_t b : bytes) {
        if (b >= 0x20 && b < 0x7F && b != '\\' && b != '"' && b != '?') {
            out += char(b);
            column += 1;
        } else {
            char esc[5];
            std::snprintf(esc, sizeof esc, "\\%03o", b);
            out += esc;
            column += 4;
        }
        if (column >= 96) {
            out += "\"\n    \"";
            column = 0;
        }
    }
    out += "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR REGULAR_FONT BOLD_FONT\n", argv[0]);
        return 2;
    }
    const std::string outDir = argv[1];
    const TextPen regular(argv[2]);
    const TextPen bold(argv[3]);
    if (!regular.ok() || !bold.ok()) {
        std::fprintf(stderr, "tq_artwork: cannot load the fonts %s and %s\n", argv[2], argv[3]);
        return 1;
    }
    std::vector<Picture> pictures;
    for (const int32_t scale : platform::kScales) {
        const ArtworkPainter painter(regular, bold, scale);
        const auto add = [&](int32_t id, Canvas canvas) {
            pictures.push_back(Picture{bitmapIds::atScale(id, scale), std::move(canvas)});
        };
        add(bitmapIds::kBackground, painter.background());
        add(bitmapIds::kAbout, painter.about());
        add(bitmapIds::kSuspended, painter.suspended());
        add(bitmapIds::kOkButton, painter.okButton());
        add(bitmapIds::kBarLit, painter.barLit());
        add(bitmapIds::kBarUnlit, painter.barUnlit());
        add(bitmapIds::kLabelBackground, painter.labelBackground());
    }

    std::string source = "// Drawn by the artwork program at build time.\n"
                         "#include \"resources/embeddedResources.h\"\n\n"
                         "namespace {\n\n";
    for (const Picture& p : pictures) {
        const std::vector<uint8_t> bmp =
            BmpCodec::encode(p.canvas.width(), p.canvas.height(), p.canvas.pixels().data());
        const std::string bmpPath = outDir + "/" + std::to_string(p.id) + ".bmp";
        if (!writeFile(bmpPath, std::string(bmp.begin(), bmp.end()))) {
            std::fprintf(stderr, "tq_artwork: cannot write %s\n", bmpPath.c_str());
            return 1;
        }
        source += "const char kBitmap" + std::to_string(p.id) + "[] =\n";
        appendLiteral(source, bmp);
        source += ";\n\n";
    }
    source += "const EmbeddedResource kResources[] = {\n";
    for (const Picture& p : pictures) {
        const std::string name = "kBitmap" + std::to_string(p.id);
        source += "    {" + std::to_string(p.id) + ", reinterpret_cast<const uint8_t*>(" + name +
                  "), sizeof " + name + " - 1},\n";
    }
    source += "};\n\n} // namespace\n\n"
              "const EmbeddedResource* findEmbeddedResource(int32_t id) {\n"
              "    for (const EmbeddedResource& r : kResources) {\n"
              "        if (r.id == id) {\n"
              "            return &r;\n"
              "        }\n"
              "    }\n"
              "    return nullptr;\n"
              "}\n";
    const std::string sourcePath = outDir + "/embeddedResources.cpp";
    if (!writeFile(sourcePath, source)) {
        std::fprintf(stderr, "tq_artwork: cannot write %s\n", sourcePath.c_str());
        return 1;
    }
    return 0;
}
