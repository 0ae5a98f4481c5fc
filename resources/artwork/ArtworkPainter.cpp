#include "resources/artwork/ArtworkPainter.h"

#include <algorithm>
#include <cmath>

#include "platform/platform.h"

namespace {

constexpr Rgb kNavy{0, 0, 102};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrid{51, 51, 51};
constexpr Rgb kTick{255, 255, 204};
constexpr Rgb kGreen{51, 255, 0};
// White text without the key colour.
constexpr Rgb kText{254, 254, 254};
constexpr Rgb kRim{28, 28, 132};
// The dark strip of the About picture that the OK button sits on.
constexpr Rgb kButtonStrip{2, 4, 34};

} // namespace

ArtworkPainter::ArtworkPainter(const TextPen& regularPen, const TextPen& boldPen, int32_t percent)
    : regular(regularPen), bold(boldPen), scale(percent) {}

int32_t ArtworkPainter::px(int32_t length) const {
    return platform::scaledLength(length, scale);
}

ArtworkPainter::Box ArtworkPainter::box(int32_t left, int32_t top, int32_t right,
                                        int32_t bottom) const {
    const int32_t l = px(left);
    const int32_t t = px(top);
    return Box{l, t, l + px(right - left), t + px(bottom - top)};
}

void ArtworkPainter::fill(Canvas& canvas, const Box& b, Rgb colour) const {
    canvas.fillRect(b.left, b.top, b.right, b.bottom, colour);
}

void ArtworkPainter::fillRound(Canvas& canvas, const Box& b, float r, Rgb colour) const {
    canvas.fillRoundRect(b.left, b.top, b.right, b.bottom, radius(r), colour);
}

void ArtworkPainter::fitText(Canvas& canvas, const TextPen& pen, const char* text, int32_t left,
                             int32_t top, int32_t width, int32_t height, Rgb colour) const {
    const TextInk ink = pen.render(text, pen.fitSize(text, width, height));
    canvas.blendMask(ink.mask, left + (width - ink.mask.width) / 2,
                     top + (height - ink.mask.height) / 2, colour);
}

void ArtworkPainter::writeLine(Canvas& canvas, const TextPen& pen, const char* text, int32_t size,
                               int32_t x, int32_t baseline, Rgb colour) const {
    const TextInk ink = pen.render(text, px(size));
    canvas.blendMask(ink.mask, px(x) + ink.inkLeft, px(baseline) - ink.inkTop, colour);
}

void ArtworkPainter::bevel(Canvas& canvas) const {
    const int32_t right = canvas.width() - 1;
    const int32_t bottom = canvas.height() - 1;
    const Rgb light[2] = {{72, 72, 178}, {36, 36, 142}};
    const Rgb dark[2] = {{0, 0, 38}, {0, 0, 66}};
    // Ring i is one pixel at 1x; at a scale it is px(1) or so, edge to edge.
    for (int32_t ring = 0; ring < 2; ++ring) {
        for (int32_t i = px(ring); i < px(ring + 1); ++i) {
            for (int32_t x = i; x <= right - i; ++x) {
                canvas.set(x, i, light[ring]);
            }
            for (int32_t y = i; y <= bottom - i; ++y) {
                canvas.set(i, y, light[ring]);
            }
            for (int32_t x = i; x <= right - i; ++x) {
                canvas.set(x, bottom - i, dark[ring]);
            }
            for (int32_t y = i; y <= bottom - i; ++y) {
                canvas.set(right - i, y, dark[ring]);
            }
        }
    }
}

void ArtworkPainter::levelIcon(Canvas& canvas, int32_t left, int32_t bottom) const {
    const int32_t heights[4] = {6, 10, 12, 8};
    const float tallest = float(px(12));
    for (int32_t b = 0; b < 4; ++b) {
        for (int32_t row = 0; row < px(heights[b]); ++row) {
            const Rgb c = Canvas::mix(kGreen, Rgb{200, 255, 120}, float(row) / tallest);
            canvas.fillRect(left + px(3 * b), bottom - 1 - row, left + px(3 * b) + px(2),
                            bottom - row, c);
        }
    }
}

Canvas ArtworkPainter::background() const {
    Canvas c(px(570), px(180), kNavy);
    bevel(c);

    // The two menu titles sit on one soft tab, split between them.
    const Box tab = box(20, 3, 90, 17);
    c.fillRoundRectGradient(tab.left, tab.top, tab.right, tab.bottom, radius(4.0f),
                            Rgb{34, 34, 156}, Rgb{10, 10, 118});
    fill(c, box(55, 5, 56, 15), Rgb{0, 0, 72});

    // Plot area, black with slightly curved corners, inside a faint rim.
    fillRound(c, box(41, 34, 529, 139), 4.0f, kRim);
    fillRound(c, box(42, 35, 528, 138), 3.0f, kBlack);
    for (int32_t row = 52; row <= 120; row += 17) {
        fill(c, box(42, row, 528, row + 1), kGrid);
    }
    for (int32_t k = 0; k < 9; ++k) {
        fill(c, box(45 + 60 * k, 138, 46 + 60 * k, 142), kTick);
    }

    fitText(c, regular, "frequency [Hz]", px(255), px(156), px(65), px(10), kText);

    // Title at the top right, a small level icon before it.
    const TextInk title = bold.render("tq-spectrum", bold.fitSize("tq-spectrum", px(75), px(12)));
    const int32_t titleLeft = px(560) - title.mask.width;
    c.blendMask(title.mask, titleLeft, px(8) + (px(12) - title.mask.height) / 2, kText);
    levelIcon(c, titleLeft - px(16), px(20));

    c.avoidKeyColour();
    return c;
}

Canvas ArtworkPainter::suspended() const {
    Canvas c = background();
    c.scale(0.22f);
    return c;
}

void ArtworkPainter::demoSpectrum(Canvas& canvas, int32_t left, int32_t top, int32_t right,
                                  int32_t bottom) const {
    for (int32_t row = bottom - 17; row > top; row -= 17) {
        fill(canvas, box(left, row, right, row + 1), kGrid);
    }
    const int32_t height = bottom - top;
    const int32_t segments = height / 2;
    for (int32_t x = left + 3; x + 3 <= right - 2; x += 5) {
        const float t = float(x - left) / float(right - left);
        float level = 0.80f - 0.50f * t + 0.20f * std::exp(-std::pow((t - 0.16f) / 0.05f, 2.0f)) +
                      0.16f * std::exp(-std::pow((t - 0.55f) / 0.035f, 2.0f)) +
                      0.035f * std::sin(41.0f * t);
        level = std::clamp(level, 0.06f, 0.96f);
        const int32_t lit = int32_t(level * float(segments));
        for (int32_t s = 0; s < lit; ++s) {
            const int32_t row = bottom - 1 - 2 * s;
            const Rgb c = Canvas::mix(kGreen, Rgb{190, 255, 90}, float(s) / float(segments));
            fill(canvas, box(x, row, x + 3, row + 1), c);
        }
        // A peak mark a little above the bar.
        const int32_t peakRow = bottom - 1 - 2 * std::min(lit + 3, segments - 1);
        fill(canvas, box(x, peakRow, x + 3, peakRow + 1), Rgb{140, 200, 255});
    }
}

Canvas ArtworkPainter::about() const {
    Canvas c(px(570), px(180), kNavy);
    const float lastRow = float(c.height() - 1);
    for (int32_t y = 0; y < c.height(); ++y) {
        c.fillRect(0, y, c.width(), y + 1,
                   Canvas::mix(Rgb{8, 14, 124}, Rgb{0, 0, 46}, float(y) / lastRow));
    }
    bevel(c);

    // Left: name, version box, what it does, who made it.
    const Box name = box(13, 6, 163, 30);
    fitText(c, bold, "tq-spectrum", name.left, name.top, name.right - name.left,
            name.bottom - name.top, kText);
    fillRound(c, box(10, 33, 236, 54), 3.0f, kBlack);
    const Rgb note{188, 198, 246};
    writeLine(c, regular, "Spectrum analyser for VST 2.4 hosts", 11, 14, 76, note);
    writeLine(c, regular, "97 bands from a 1024-point FFT,", 11, 14, 91, note);
    writeLine(c, regular, "on a linear or logarithmic axis.", 11, 14, 106, note);
    fill(c, box(14, 140, 200, 141), Rgb{40, 56, 170});
    writeLine(c, bold, "corvale", 13, 14, 161, Rgb{150, 172, 255});

    // Right: a spectrum as the editor shows it.
    fillRound(c, box(259, 21, 557, 145), 5.0f, kRim);
    fillRound(c, box(260, 22, 556, 144), 4.0f, kBlack);
    demoSpectrum(c, 261, 24, 555, 142);

    // The dark strip under the OK button at (487, 156) - (547, 170).
    fillRound(c, box(480, 151, 555, 175), 5.0f, kButtonStrip);

    c.avoidKeyColour();
    return c;
}

Canvas ArtworkPainter::okButton() const {
    // Two images of one height each: the editor takes half the bitmap.
    const int32_t imageHeight = px(14);
    const int32_t width = px(60);
    Canvas c(width, 2 * imageHeight, kButtonStrip);
    struct Look {
        Rgb border, top, bottom, text;
        int32_t shift;
    };
    const Look looks[2] = {
        {{116, 130, 226}, {74, 88, 196}, {34, 42, 130}, kText, 0},        // released
        {{60, 70, 150}, {14, 18, 70}, {30, 36, 104}, {196, 202, 230}, 1}, // pressed
    };
    for (int32_t i = 0; i < 2; ++i) {
        const int32_t y = imageHeight * i;
        const Look& l = looks[i];
        const int32_t shift = px(l.shift);
        c.fillRoundRect(0, y, width, y + imageHeight, radius(4.0f), l.border);
        c.fillRoundRectGradient(px(1), y + px(1), width - px(1), y + imageHeight - px(1),
                                radius(3.0f), l.top, l.bottom);
        fitText(c, bold, "OK", shift, y + px(3) + shift, width, px(8), l.text);
    }
    c.avoidKeyColour();
    return c;
}

Canvas ArtworkPainter::barLit() const {
    // 50 segments, each a black gap above a green line; the gap stays thin.
    const int32_t height = px(100);
    const int32_t pitch = height / 50;
    const int32_t gap = std::max(scale / 100, 1);
    Canvas c(px(3), height, kBlack);
    for (int32_t top = 0; top + pitch <= height; top += pitch) {
        c.fillRect(0, top + gap, c.width(), top + pitch, kGreen);
    }
    return c;
}

Canvas ArtworkPainter::barUnlit() const {
    return Canvas(px(3), px(100), kBlack);
}

Canvas ArtworkPainter::labelBackground() const {
    return Canvas(px(41), px(12), kNavy);
}
