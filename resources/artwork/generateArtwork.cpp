// Draws bitmaps 10001 to 10007 at every scale (ids from bitmapIds::atScale)
// and writes, for resource compilers, the 1x ones as .bmp files and the
// others as .tqpk files (PixelPack), and one C++ source that embeds every
// bitmap in PixelPack form.
//   tq_artwork OUTPUT_DIR REGULAR_FONT BOLD_FONT
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "resources/artwork/ArtworkPainter.h"
#include "resources/bitmapIds.h"
#include "resources/BmpCodec.h"
#include "resources/PixelPack.h"

namespace {

struct Picture {
    int32_t id;
    int32_t scale;
    Canvas canvas;
};

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return bool(out);
}

// What the plug-in will decode must be exactly what was drawn.
bool unpacksToCanvas(const std::vector<uint8_t>& packed, const Canvas& canvas) {
    const std::vector<uint32_t>& drawn = canvas.pixels();
    std::vector<uint32_t> back(drawn.size());
    if (!PixelPack::decode(packed.data(), packed.size(), back.data(), back.size())) {
        return false;
    }
    for (size_t i = 0; i < drawn.size(); ++i) {
        if (back[i] != (0xFF000000u | drawn[i])) {
            return false;
        }
    }
    return true;
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
            pictures.push_back(Picture{bitmapIds::atScale(id, scale), scale, std::move(canvas)});
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
        const int32_t w = p.canvas.width();
        const int32_t h = p.canvas.height();
        const std::vector<uint8_t> packed = PixelPack::encode(w, h, p.canvas.pixels().data());
        if (!unpacksToCanvas(packed, p.canvas)) {
            std::fprintf(stderr, "tq_artwork: bitmap %d does not survive packing\n", int(p.id));
            return 1;
        }
        const bool plain = p.scale == platform::kScales[0];
        const std::vector<uint8_t> file =
            plain ? BmpCodec::encode(w, h, p.canvas.pixels().data()) : packed;
        const std::string path = outDir + "/" + std::to_string(p.id) + (plain ? ".bmp" : ".tqpk");
        if (!writeFile(path, std::string(file.begin(), file.end()))) {
            std::fprintf(stderr, "tq_artwork: cannot write %s\n", path.c_str());
            return 1;
        }
        source += "const char kBitmap" + std::to_string(p.id) + "[] =\n";
        appendLiteral(source, packed);
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
