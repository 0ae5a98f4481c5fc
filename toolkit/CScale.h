// The scale the editor draws at: 100, 150 or 200 percent of its 1x size.
// Views are placed in window pixels, so the editor multiplies its 1x
// geometry here, in one place; the frame hands the scale to its drawing
// contexts, which draw text at the scaled font size.
#pragma once

#include <cstdint>

#include "toolkit/CRect.h"

class CScale {
public:
    constexpr CScale() = default;
    // Any value other than one of platform::kScales gives 100.
    explicit CScale(int32_t percent);

    // The nearest of 1, 1.5 and 2 to `factor`, halves up, in percent; 0 for
    // a factor that says nothing (zero, negative, not finite).
    static int32_t nearest(float factor);
    // The first source that says something: the host's factor, then the
    // desktop's, else 1x. Either factor may be 0 for none.
    static CScale choose(float hostFactor, float desktopFactor);

    int32_t percent() const { return value; }
    // A 1x length or position at this scale.
    int32_t length(int32_t pixels) const;
    // Corners scaled, width and height scaled on their own: views of one
    // 1x size keep one size at every scale.
    CRect rect(const CRect& r) const;

    bool operator==(const CScale& o) const { return value == o.value; }
    bool operator!=(const CScale& o) const { return value != o.value; }

private:
    int32_t value = 100;
};
