// Draws the editor's bitmaps 10001 to 10007 from their geometry: the navy
// field with its bevels, the plot area with grid and ticks, the captions,
// the About picture and the OK button. At a scale other than 100 percent
// the same geometry is drawn natively at that size: every 1x length goes
// through px(), text is rendered at the scaled size.
#pragma once

#include <cstdint>

#include "resources/artwork/Canvas.h"
#include "resources/artwork/TextPen.h"

class ArtworkPainter {
public:
    ArtworkPainter(const TextPen& regular, const TextPen& bold, int32_t scale = 100);

    Canvas background() const;      // 10001, 570 x 180 at 1x
    Canvas about() const;           // 10002, 570 x 180
    Canvas suspended() const;       // 10003, 570 x 180
    Canvas okButton() const;        // 10004, 60 x 28
    Canvas barLit() const;          // 10005, 3 x 100
    Canvas barUnlit() const;        // 10006, 3 x 100
    Canvas labelBackground() const; // 10007, 41 x 12

private:
    // A 1x length or position at the scale.
    int32_t px(int32_t length) const;
    // A 1x rectangle at the scale: corners scaled, width and height on their
    // own, as the editor places its views.
    struct Box {
        int32_t left, top, right, bottom;
    };
    Box box(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
    float radius(float r) const { return r * float(scale) / 100.0f; }
    void fill(Canvas& canvas, const Box& b, Rgb colour) const;
    void fillRound(Canvas& canvas, const Box& b, float r, Rgb colour) const;

    // Puts the ink of `text` into the box, centred, at the largest size that fits.
    void fitText(Canvas& canvas, const TextPen& pen, const char* text, int32_t left, int32_t top,
                 int32_t width, int32_t height, Rgb colour) const;
    // Draws `text` with its pen start at (x, baseline).
    void writeLine(Canvas& canvas, const TextPen& pen, const char* text, int32_t size, int32_t x,
                   int32_t baseline, Rgb colour) const;
    void bevel(Canvas& canvas) const;
    // `bottom` is the row below the icon.
    void levelIcon(Canvas& canvas, int32_t left, int32_t bottom) const;
    // 1x coordinates.
    void demoSpectrum(Canvas& canvas, int32_t left, int32_t top, int32_t right,
                      int32_t bottom) const;

    const TextPen& regular;
    const TextPen& bold;
    int32_t scale;
};
