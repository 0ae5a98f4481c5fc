#include "toolkit/CScale.h"

#include <cmath>

#include "platform/platform.h"

CScale::CScale(int32_t percent) : value(platform::scaleIndex(percent) >= 0 ? percent : 100) {}

int32_t CScale::nearest(float factor) {
    if (!std::isfinite(factor) || factor <= 0.0f) {
        return 0;
    }
    // Halfway between two scales picks the larger: 125 % desktops get 1.5x.
    for (int32_t i = 0; i + 1 < platform::kScaleCount; ++i) {
        const float middle = float(platform::kScales[i] + platform::kScales[i + 1]) / 200.0f;
        if (factor < middle) {
            return platform::kScales[i];
        }
    }
    return platform::kScales[platform::kScaleCount - 1];
}

CScale CScale::choose(float hostFactor, float desktopFactor) {
    if (const int32_t host = nearest(hostFactor)) {
        return CScale(host);
    }
    if (const int32_t desktop = nearest(desktopFactor)) {
        return CScale(desktop);
    }
    return CScale();
}

int32_t CScale::length(int32_t pixels) const {
    return platform::scaledLength(pixels, value);
}

CRect CScale::rect(const CRect& r) const {
    const int32_t left = length(r.left);
    const int32_t top = length(r.top);
    return CRect(left, top, left + length(r.width()), top + length(r.height()));
}
