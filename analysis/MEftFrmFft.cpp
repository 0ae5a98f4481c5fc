#include "analysis/MEftFrmFft.h"

#include "analysis/MEftWinBase.h"

#include <cmath>
#include <new>
#include <utility>

namespace {

// Gives a the length want, freeing the old array first; false when the new
// one cannot be allocated (a is then left missing).
bool resizeArray(std::unique_ptr<float[]>& a, int32_t& length, int32_t want) {
    if (a != nullptr && length == want) {
        return true;
    }
    a.reset();
    length = 0;
    a.reset(new (std::nothrow) float[static_cast<size_t>(want)]());
    if (a == nullptr) {
        return false;
    }
    length = want;
    return true;
}

} // namespace

MEftFrmFft::MEftFrmFft(const MEftWinBase* owner)
    : MEftFrmBase(owner), log2Size(10), reLength(0), imLength(0), cosLength(0), sinLength(0) {}

MEftFrmFft::~MEftFrmFft() = default;

int32_t MEftFrmFft::prepare() {
    const int32_t r = MEftFrmBase::prepare();
    if (r == 0) {
        fillTwiddles();
    }
    return r;
}

int32_t MEftFrmFft::setSize(int32_t n) {
    // The logarithm below has no meaning for n < 1.
    if (n < 1) {
        return 22;
    }
    const float lg = std::log10(static_cast<float>(n));
    const float lg2 = std::log10(2.0f);
    const int32_t stages = static_cast<int32_t>(static_cast<double>(lg) / lg2 + 0.5);
    if (stages < 0 || stages > 30 || n != (int32_t{1} << stages)) {
        return 22;
    }
    log2Size = stages;
    if (!resizeArray(re, reLength, n) || !resizeArray(im, imLength, n) ||
        !resizeArray(cosTable, cosLength, stages) || !resizeArray(sinTable, sinLength, stages)) {
        return 13;
    }
    size = n;
    // The tables must match the new size even when no prepare follows.
    fillTwiddles();
    return 0;
}

bool MEftFrmFft::isReady() const {
    return re != nullptr && im != nullptr && cosTable != nullptr && sinTable != nullptr &&
           log2Size >= 0 && log2Size <= 30 && size == (int32_t{1} << log2Size) &&
           reLength == size && imLength == size && cosLength == log2Size && sinLength == log2Size;
}

void MEftFrmFft::fillTwiddles() {
    if (cosTable == nullptr || sinTable == nullptr || cosLength < log2Size ||
        sinLength < log2Size) {
        return;
    }
    for (int32_t stage = 1; stage <= log2Size; ++stage) {
        const int32_t half = (int32_t{1} << stage) / 2;
        const float angle = 3.1415927f / static_cast<float>(half);
        cosTable[stage - 1] = std::cos(angle);
        sinTable[stage - 1] = -std::sin(angle);
    }
}

void MEftFrmFft::transformFrame(const float* frame, float*) {
    if (frame == nullptr || owner == nullptr || !isReady()) {
        return;
    }
    const int32_t n = owner->getFrameLength();
    const float* window = owner->getWindow();
    // A frame of another length than the arrays would run past them.
    if (n != size || window == nullptr) {
        return;
    }
    for (int32_t i = 0; i < n; ++i) {
        im[i] = 0.0f;
    }
    for (int32_t i = 0; i < n; ++i) {
        re[i] = window[i] * frame[i];
    }
    fftInPlace();
}

void MEftFrmFft::fftInPlace() {
    if (!isReady()) {
        return;
    }
    const int32_t n = size;
    float* xr = re.get();
    float* xi = im.get();

    int32_t j = 0;
    for (int32_t i = 0; i < n - 1; ++i) {
        if (j > i) {
            std::swap(xr[i], xr[j]);
            std::swap(xi[i], xi[j]);
        }
        int32_t k = n / 2;
        while (k > 0 && j >= k) {
            j = j - k;
            k = k / 2;
        }
        j = j + k;
    }

    for (int32_t stage = 1; stage <= log2Size; ++stage) {
        const int32_t le = int32_t{1} << stage;
        const int32_t le2 = le / 2;
        float ur = 1.0f;
        float ui = 0.0f;
        const float wr = cosTable[stage - 1];
        const float wi = sinTable[stage - 1];
        for (int32_t g = 0; g < le2; ++g) {
            for (int32_t i = g; i < n; i += le) {
                const int32_t p = i + le2;
                const float tr = xr[p] * ur - xi[p] * ui;
                const float ti = xr[p] * ui + xi[p] * ur;
                xr[p] = xr[i] - tr;
                xi[p] = xi[i] - ti;
                xr[i] = xr[i] + tr;
                xi[i] = xi[i] + ti;
            }
            const float nr = ur * wr - ui * wi;
            const float ni = ui * wr + ur * wi;
            ur = nr;
            ui = ni;
        }
    }
}

void MEftFrmFft::inverseInPlace() {
    if (!isReady()) {
        return;
    }
    for (int32_t i = 0; i < size; ++i) {
        im[i] = -im[i];
    }
    fftInPlace();
    const float s = 1.0f / static_cast<float>(size);
    for (int32_t i = 0; i < size; ++i) {
        re[i] = re[i] * s;
        im[i] = im[i] * s;
    }
}
