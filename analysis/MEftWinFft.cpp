#include "analysis/MEftWinFft.h"

#include <cmath>
#include <new>

MEftWinFft::MEftWinFft() = default;

MEftWinFft::~MEftWinFft() = default;

int32_t MEftWinFft::prepare() {
    if (transform == nullptr) {
        transform.reset(new (std::nothrow) MEftFrmFft(this));
        if (transform == nullptr) {
            return kObjectNotAllocated;
        }
    }
    return MEftWinBase::prepare();
}

void MEftWinFft::makeWindow(int32_t length, int32_t) {
    const int32_t entries = windowEntries(length);
    if (entries == 1) {
        // The cosine's denominator length - 1 would be 0.
        window[0] = 1.0f;
        return;
    }
    const float denominator = static_cast<float>(length - 1);
    for (int32_t i = 0; i < entries; ++i) {
        const float angle = static_cast<float>(i) * 6.2831855f / denominator;
        const float c = std::cos(angle);
        // Angle and cosine are rounded to float; the product and difference
        // are not, only the stored result.
        window[i] = static_cast<float>(0.54f - 0.46f * static_cast<double>(c));
    }
}

// Only this class fills the transform pointer, always with an MEftFrmFft.
const MEftFrmFft* MEftWinFft::getFft() const {
    return static_cast<const MEftFrmFft*>(transform.get());
}

MEftFrmFft* MEftWinFft::fft() {
    return static_cast<MEftFrmFft*>(transform.get());
}
