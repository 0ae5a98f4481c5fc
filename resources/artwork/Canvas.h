// A picture being drawn by the artwork program: opaque pixels 0xFFRRGGBB,
// rectangles with smooth rounded corners, gradients and alpha masks.
#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// Coverage 0..255 per pixel, e.g. a rendered text.
struct Mask {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> alpha;
};

class Canvas {
public:
    Canvas(int32_t width, int32_t height, Rgb fill);

    int32_t width() const { return w; }
    int32_t height() const { return h; }
    const std::vector<uint32_t>& pixels() const { return data; }

    Rgb at(int32_t x, int32_t y) const;
    void set(int32_t x, int32_t y, Rgb colour);
    // Mixes `colour` over the pixel; alpha 0..1. Outside pixels are ignored.
    void blend(int32_t x, int32_t y, Rgb colour, float alpha);

    // Rectangles are left, top, right, bottom with right and bottom exclusive.
    void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Rgb colour);
    void fillRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, float radius,
                       Rgb colour);
    void fillRoundRectGradient(int32_t left, int32_t top, int32_t right, int32_t bottom,
                               float radius, Rgb top_colour, Rgb bottom_colour);
    void blendMask(const Mask& mask, int32_t x, int32_t y, Rgb colour);

    // Multiplies every channel; used for the dimmed background.
    void scale(float factor);
    // White is the toolkit's key colour: no artwork pixel may be pure white.
    void avoidKeyColour();

    static Rgb mix(Rgb a, Rgb b, float t);

private:
    // Fraction of the pixel at (x, y) inside the rounded rectangle.
    static float roundRectCoverage(int32_t x, int32_t y, int32_t left, int32_t top, int32_t right,
                                   int32_t bottom, float radius);

    int32_t w;
    int32_t h;
    std::vector<uint32_t> data;
};
