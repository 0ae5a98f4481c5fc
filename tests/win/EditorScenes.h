// The three pictures of the editor that the Windows build compares with the
// headless rendering of the same state, and where text lies in them.
//
// Text is the one thing drawn differently: GDI with Arial on Windows,
// FreeType with Liberation Sans headless (the same metrics, other hinting).
// Every pixel outside the text boxes below must be equal. Inside a box only
// the ink is compared: the bounding box of the white-ish pixels must agree
// within kInkTolerance pixels on every side, and a box that is empty on one
// side is empty on the other.
#pragma once

#include <cstdint>

struct EditorScenes {
    struct Box {
        int32_t left;
        int32_t top;
        int32_t right; // exclusive
        int32_t bottom;
    };

    // Scene files, in the order the scenario reaches them.
    static constexpr const char* kBars = "bars.raw";   // the test signal, one decay step
    static constexpr const char* kAbout = "about.raw"; // Help > About...
    static constexpr const char* kSuspended = "suspended.raw";

    // The View and Help menus, then the nine frequency labels.
    static constexpr Box kBarsText[] = {
        {20, 3, 55, 17},      {55, 3, 90, 17},      {25, 143, 66, 155},   {85, 143, 126, 155},
        {145, 143, 186, 155}, {205, 143, 246, 155}, {265, 143, 306, 155}, {325, 143, 366, 155},
        {385, 143, 426, 155}, {445, 143, 486, 155}, {505, 143, 546, 155},
    };
    // The version line of the About panel.
    static constexpr Box kAboutText[] = {{13, 36, 233, 51}};

    static constexpr int32_t kInkTolerance = 2;

    // Where the scenario clicks: the Help menu, and the About panel's OK.
    static constexpr int32_t kHelpX = 72;
    static constexpr int32_t kHelpY = 10;
    static constexpr int32_t kAboutEntry = 3;
    static constexpr int32_t kOkX = 517;
    static constexpr int32_t kOkY = 163;

    // Ink: text is white on the navy or black backgrounds.
    static bool isInk(uint32_t argb) {
        return (argb >> 16 & 0xFF) >= 128 && (argb >> 8 & 0xFF) >= 128;
    }
};
