// Draws the editor's bitmaps 10001 to 10007 from their geometry: the navy
// field with its bevels, the plot area with grid and ticks, the captions,
// the About picture and the OK button.
#pragma once

#include "resources/artwork/Canvas.h"
#include "resources/artwork/TextPen.h"

class ArtworkPainter {
public:
    ArtworkPainter(const TextPen& regular, const TextPen& bold);

    Canvas background() const;       // 10001, 570 x 180
    Canvas about() const;            // 10002, 570 x 180
    Canvas suspended() const;        // 10003, 570 x 180
    Canvas okButton() const;         // 10004, 60 x 28
    static Canvas barLit();          // 10005, 3 x 100
    static Canvas barUnlit();        // 10006, 3 x 100
    static Canvas labelBackground(); // 10007, 41 x 12

private:
    // Puts the ink of `text` into the box, centred, at the largest size that fits.
    void fitText(Canvas& canvas, const TextPen& pen, const char* text, int32_t left, int32_t top,
                 int32_t width, int32_t height, Rgb colour) const;
    // Draws `text` with its pen start at (x, baseline).
    void writeLine(Canvas& canvas, const TextPen& pen, const char* text, int32_t size, int32_t x,
                   int32_t baseline, Rgb colour) const;
    static void bevel(Canvas& canvas);
    static void levelIcon(Canvas& canvas, int32_t left, int32_t bottom);
    static void demoSpectrum(Canvas& canvas, int32_t left, int32_t top, int32_t right,
                             int32_t bottom);

    const TextPen& regular;
    const TextPen& bold;
};
