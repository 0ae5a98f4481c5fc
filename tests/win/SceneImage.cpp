#include "SceneImage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr uint32_t kLitGreen = 0xFF33FF00u;

bool inside(const EditorScenes::Box& box, int32_t x, int32_t y) {
    return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

std::string boxText(const EditorScenes::Box& b) {
    char text[64];
    std::snprintf(text, sizeof(text), "(%d,%d,%d,%d)", b.left, b.top, b.right, b.bottom);
    return text;
}

} // namespace

int32_t SceneImage::litSegments(const RawImage& image, int32_t band) {
    const int32_t x = 45 + 5 * band;
    int32_t green = 0;
    for (int32_t y = 36; y < 136; ++y) {
        green += image.at(x, y) == kLitGreen ? 1 : 0;
    }
    return green;
}

EditorScenes::Box SceneImage::inkBounds(const RawImage& image, const EditorScenes::Box& box) {
    EditorScenes::Box ink{box.right, box.bottom, box.left, box.top};
    for (int32_t y = box.top; y < box.bottom; ++y) {
        for (int32_t x = box.left; x < box.right; ++x) {
            if (EditorScenes::isInk(image.at(x, y))) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x + 1);
                ink.bottom = std::max(ink.bottom, y + 1);
            }
        }
    }
    return ink.left < ink.right ? ink : EditorScenes::Box{0, 0, 0, 0};
}

std::string SceneImage::compare(const RawImage& actual, const RawImage& reference,
                                const std::vector<EditorScenes::Box>& textBoxes) {
    if (!actual.valid() || !reference.valid() || actual.width != reference.width ||
        actual.height != reference.height) {
        return "the pictures differ in size or are missing\n";
    }
    std::string report;
    int32_t differing = 0;
    int32_t firstX = -1;
    int32_t firstY = -1;
    for (int32_t y = 0; y < actual.height; ++y) {
        for (int32_t x = 0; x < actual.width; ++x) {
            bool text = false;
            for (const EditorScenes::Box& box : textBoxes) {
                text = text || inside(box, x, y);
            }
            // Only the colour counts: a window has no alpha.
            if (!text && (actual.at(x, y) & 0xFFFFFFu) != (reference.at(x, y) & 0xFFFFFFu)) {
                if (differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
        }
    }
    if (differing > 0) {
        char line[160];
        std::snprintf(line, sizeof(line),
                      "%d pixels outside text differ, the first at (%d,%d): %06X, expected %06X\n",
                      differing, firstX, firstY, actual.at(firstX, firstY) & 0xFFFFFFu,
                      reference.at(firstX, firstY) & 0xFFFFFFu);
        report += line;
    }
    for (const EditorScenes::Box& box : textBoxes) {
        const EditorScenes::Box got = inkBounds(actual, box);
        const EditorScenes::Box want = inkBounds(reference, box);
        const bool gotInk = got.right > got.left;
        const bool wantInk = want.right > want.left;
        const int32_t t = EditorScenes::kInkTolerance;
        if (gotInk != wantInk ||
            (gotInk &&
             (std::abs(got.left - want.left) > t || std::abs(got.top - want.top) > t ||
              std::abs(got.right - want.right) > t || std::abs(got.bottom - want.bottom) > t))) {
            report += "text in " + boxText(box) + ": ink " + boxText(got) + ", expected " +
                      boxText(want) + "\n";
        }
    }
    return report;
}
