#include "analysis/MEftFrmFft.h"

#include "analysis/MEftWinBase.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Gives a the length want, freeing the old array first; false when the new
// one cannot be allocated (a is then left missing).
template <class T>
bool resizeArray(std::unique_ptr<T[]>& a, int32_t& length, int32_t want) {
    if (a != nullptr && length == want) {
        return true;
    }
    a.reset();
    length = 0;
    a.reset(new (std::nothrow) T[static_cast<size_t>(want)]());
    if (a == nullptr) {
        return false;
    }
    length = want;
    return true;
}

// One butterfly: t = b * u; b = a - t; a = a + t, each product and sum
// rounded to float in the written order.
[[gnu::always_inline]] inline void butterfly(float& ar, float& ai, float& br, float& bi, float ur,
                                             float ui) {
    const float tr = br * ur - bi * ui;
    const float ti = br * ui + bi * ur;
    br = ar - tr;
    bi = ai - ti;
    ar = ar + tr;
    ai = ai + ti;
}

// Stages 1 and 2 together, from the bit-reversed values in to out, one
// group of four after another: stage 1 pairs (0, 1) and (2, 3) with u1[0],
// stage 2 pairs (0, 2) with u2[0] and (1, 3) with u2[1].
[[gnu::always_inline]] inline void firstTwoStages(const float* __restrict inR,
                                                  const float* __restrict inI,
                                                  float* __restrict outR, float* __restrict outI,
                                                  const float* u1r, const float* u1i,
                                                  const float* u2r, const float* u2i, size_t n) {
    const float ar = u1r[0];
    const float ai = u1i[0];
    const float br = u2r[0];
    const float bi = u2i[0];
    const float cr = u2r[1];
    const float ci = u2i[1];
    for (size_t q = 0; q < n; q += 4) {
        float r0 = inR[q];
        float i0 = inI[q];
        float r1 = inR[q + 1];
        float i1 = inI[q + 1];
        float r2 = inR[q + 2];
        float i2 = inI[q + 2];
        float r3 = inR[q + 3];
        float i3 = inI[q + 3];
        butterfly(r0, i0, r1, i1, ar, ai);
        butterfly(r2, i2, r3, i3, ar, ai);
        butterfly(r0, i0, r2, i2, br, bi);
        butterfly(r1, i1, r3, i3, cr, ci);
        outR[q] = r0;
        outI[q] = i0;
        outR[q + 1] = r1;
        outI[q + 1] = i1;
        outR[q + 2] = r2;
        outI[q + 2] = i2;
        outR[q + 3] = r3;
        outI[q + 3] = i3;
    }
}

// One stage on one group: a = its lower half, b = its upper half, u = the
// stage's factors, count = half the group.
[[gnu::always_inline]] inline void stageGroup(float* __restrict ar, float* __restrict ai,
                                              float* __restrict br, float* __restrict bi,
                                              const float* __restrict ur,
                                              const float* __restrict ui, size_t count) {
    for (size_t j = 0; j < count; ++j) {
        const float tr = br[j] * ur[j] - bi[j] * ui[j];
        const float ti = br[j] * ui[j] + bi[j] * ur[j];
        br[j] = ar[j] - tr;
        bi[j] = ai[j] - ti;
        ar[j] = ar[j] + tr;
        ai[j] = ai[j] + ti;
    }
}

// Two stages on one group of 4h values held in quarters a, b, c, d of h
// values each: the first stage (factors u) pairs a with b and c with d, the
// second (factors v, 2h of them) pairs a with c and b with d. Each value is
// loaded and stored once for both stages.
[[gnu::always_inline]] inline void
twoStageGroup(float* __restrict ar, float* __restrict ai, float* __restrict br,
              float* __restrict bi, float* __restrict cr, float* __restrict ci,
              float* __restrict dr, float* __restrict di, const float* __restrict ur,
              const float* __restrict ui, const float* __restrict vr, const float* __restrict vi,
              size_t h) {
    const float* __restrict wr = vr + h;
    const float* __restrict wi = vi + h;
    for (size_t j = 0; j < h; ++j) {
        float r0 = ar[j];
        float i0 = ai[j];
        float r1 = br[j];
        float i1 = bi[j];
        float r2 = cr[j];
        float i2 = ci[j];
        float r3 = dr[j];
        float i3 = di[j];
        butterfly(r0, i0, r1, i1, ur[j], ui[j]);
        butterfly(r2, i2, r3, i3, ur[j], ui[j]);
        butterfly(r0, i0, r2, i2, vr[j], vi[j]);
        butterfly(r1, i1, r3, i3, wr[j], wi[j]);
        ar[j] = r0;
        ai[j] = i0;
        br[j] = r1;
        bi[j] = i1;
        cr[j] = r2;
        ci[j] = i2;
        dr[j] = r3;
        di[j] = i3;
    }
}

// Stages L and L + 1 over every group of 4 * half values, half = 2^(L-1):
// fixedHalf when it is not 0, so that the compiler knows the length.
template <size_t fixedHalf>
[[gnu::always_inline]] inline void twoStagePass(float* xr, float* xi, const float* ur,
                                                const float* ui, size_t half, size_t n) {
    const size_t h = fixedHalf != 0 ? fixedHalf : half;
    const float* u = ur + (h - 1);
    const float* v = ur + (2 * h - 1);
    const float* ui1 = ui + (h - 1);
    const float* vi = ui + (2 * h - 1);
    for (size_t start = 0; start < n; start += 4 * h) {
        float* a = xr + start;
        float* b = xi + start;
        twoStageGroup(a, b, a + h, b + h, a + 2 * h, b + 2 * h, a + 3 * h, b + 3 * h, u, ui1, v, vi,
                      h);
    }
}

// The stages after stage log2(half), on values already in bit-reversed
// order: two at a time, then the last alone when an odd number is left.
[[gnu::always_inline]] inline void laterStages(float* xr, float* xi, const float* ur,
                                               const float* ui, size_t half, size_t n) {
    for (; 4 * half <= n; half *= 4) {
        // The short groups get code of their own length: no loop overhead.
        if (half == 4) {
            twoStagePass<4>(xr, xi, ur, ui, half, n);
        } else if (half == 16) {
            twoStagePass<16>(xr, xi, ur, ui, half, n);
        } else {
            twoStagePass<0>(xr, xi, ur, ui, half, n);
        }
    }
    if (half < n) {
        // One stage left over: the last, a single group.
        stageGroup(xr, xi, xr + half, xi + half, ur + (half - 1), ui + (half - 1), half);
    }
}

// The bit reversal and every stage: x holds the n values, work receives them
// bit-reversed; ur/ui hold the factors of all stages, stage L's from entry
// 2^(L-1) - 1. The butterflies of a stage are independent of each other, so
// their order is free; two stages at a time keep the values in registers in
// between.
[[gnu::always_inline]] inline void runTransform(float* __restrict xr, float* __restrict xi,
                                                float* __restrict workR, float* __restrict workI,
                                                const int32_t* __restrict reversal, const float* ur,
                                                const float* ui, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const size_t from = static_cast<size_t>(reversal[i]);
        workR[i] = xr[from];
        workI[i] = xi[from];
    }
    size_t half = 1;
    if (n >= 4) {
        firstTwoStages(workR, workI, xr, xi, ur, ui, ur + 1, ui + 1, n);
        half = 4;
    } else {
        for (size_t i = 0; i < n; ++i) {
            xr[i] = workR[i];
            xi[i] = workI[i];
        }
    }
    laterStages(xr, xi, ur, ui, half, n);
}

// Windowed samples below this in magnitude keep stage 1's sums finite, so
// that the products skipped in stages 1 and 2, each a zero imaginary part
// times a factor or a finite value times a zero factor, are zeros, never NaN.
constexpr float kRealPathBound = 0x1p126f;

// Stages run on the values in their natural order, before the bit reversal,
// while a stage's runs of equal factors are at least this long.
constexpr size_t kNaturalRun = 32;

// The low `bits` bits of t in reverse order.
inline size_t reverseBits(size_t t, int32_t bits) {
    size_t r = 0;
    for (int32_t b = 0; b < bits; ++b) {
        r = (r << 1) | ((t >> b) & 1);
    }
    return r;
}

// One run of butterflies sharing the factor w: a with b, count pairs.
[[gnu::always_inline]] inline void naturalRun(float* __restrict ar, float* __restrict ai,
                                              float* __restrict br, float* __restrict bi, float wr,
                                              float wi, size_t count) {
    for (size_t m = 0; m < count; ++m) {
        butterfly(ar[m], ai[m], br[m], bi[m], wr, wi);
    }
}

// Stage L with the values in natural order: value m sits where the bit
// reversal will take it from. The stage's group j then pairs the values
// t * 2s + m with t * 2s + s + m (m < s = n >> L), where t is j with its
// L - 1 bits reversed: one factor per run of s pairs.
[[gnu::always_inline]] inline void naturalStage(float* xr, float* xi, const float* ur,
                                                const float* ui, int32_t stage, size_t n) {
    const size_t s = n >> stage;
    const size_t groups = size_t{1} << (stage - 1);
    const float* wr = ur + (groups - 1);
    const float* wi = ui + (groups - 1);
    for (size_t t = 0; t < groups; ++t) {
        const size_t j = reverseBits(t, stage - 1);
        float* a = xr + 2 * t * s;
        float* b = xi + 2 * t * s;
        naturalRun(a, b, a + s, b + s, wr[j], wi[j], s);
    }
}

// The transform of a real frame, window applied on the way in: stages 1 and
// 2 in natural order without the products of the imaginary parts, which are
// all +0 there (each such product is computed once as a constant and added
// where the butterfly adds it, so every value keeps its bits, zero signs
// included); further stages in natural order while their runs are long,
// then the bit reversal and the remaining stages. False, with nothing
// finished, when a windowed sample is too large or not a number: the
// products skipped would not have been zeros.
[[gnu::always_inline]] inline bool
runRealTransform(const float* __restrict frame, const float* __restrict window,
                 float* __restrict xr, float* __restrict xi, float* __restrict workR,
                 float* __restrict workI, const int32_t* __restrict reversal, const float* ur,
                 const float* ui, int32_t log2n) {
    const size_t n = size_t{1} << log2n;
    const size_t half = n / 2;
    const size_t quarter = n / 4;
    // Stage 1, factor 1 + 0i: t = b exactly, and b's imaginary part stays +0.
    uint32_t outside = 0;
    for (size_t m = 0; m < half; ++m) {
        const float a = window[m] * frame[m];
        const float b = window[m + half] * frame[m + half];
        outside |= static_cast<uint32_t>(!(std::fabs(a) < kRealPathBound)) |
                   static_cast<uint32_t>(!(std::fabs(b) < kRealPathBound));
        workR[m] = a + b;
        workR[m + half] = a - b;
    }
    if (outside != 0) {
        return false;
    }
    // Stage 2, group 0 (factor 1 + 0i): the same on the first half.
    for (size_t m = 0; m < quarter; ++m) {
        const float a = workR[m];
        const float b = workR[m + quarter];
        workR[m] = a + b;
        workR[m + quarter] = a - b;
        workI[m] = 0.0f;
        workI[m + quarter] = 0.0f;
    }
    // Stage 2, group 1: b is real, so t = (br * ur - 0 * ui, br * ui + 0 * ur).
    const float cr = ur[2];
    const float ci = ui[2];
    const float zeroTimesCi = 0.0f * ci;
    const float zeroTimesCr = 0.0f * cr;
    float* __restrict ar = workR + half;
    float* __restrict ai = workI + half;
    float* __restrict br = workR + half + quarter;
    float* __restrict bi = workI + half + quarter;
    for (size_t m = 0; m < quarter; ++m) {
        const float tr = br[m] * cr - zeroTimesCi;
        const float ti = br[m] * ci + zeroTimesCr;
        const float a = ar[m];
        br[m] = a - tr;
        bi[m] = 0.0f - ti;
        ar[m] = a + tr;
        ai[m] = 0.0f + ti;
    }
    int32_t stage = 3;
    for (; stage <= log2n && (n >> stage) >= kNaturalRun; ++stage) {
        naturalStage(workR, workI, ur, ui, stage, n);
    }
    for (size_t i = 0; i < n; ++i) {
        const size_t from = static_cast<size_t>(reversal[i]);
        xr[i] = workR[from];
        xi[i] = workI[from];
    }
    laterStages(xr, xi, ur, ui, size_t{1} << (stage - 1), n);
    return true;
}

// The same transforms compiled for any processor of the target, and for one
// with 256-bit vectors. Each vector lane does the float operation the scalar
// code does, so both give the same bits.
void transformPortable(float* xr, float* xi, float* workR, float* workI, const int32_t* reversal,
                       const float* ur, const float* ui, size_t n) {
    runTransform(xr, xi, workR, workI, reversal, ur, ui, n);
}

bool realTransformPortable(const float* frame, const float* window, float* xr, float* xi,
                           float* workR, float* workI, const int32_t* reversal, const float* ur,
                           const float* ui, int32_t log2n) {
    return runRealTransform(frame, window, xr, xi, workR, workI, reversal, ur, ui, log2n);
}

#if defined(__x86_64__) || defined(__i386__)
#define TQ_WIDE [[gnu::target("avx2")]]
bool processorHasWideVectors() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}
#else
#define TQ_WIDE
bool processorHasWideVectors() {
    return false;
}
#endif

TQ_WIDE void transformWide(float* xr, float* xi, float* workR, float* workI,
                           const int32_t* reversal, const float* ur, const float* ui, size_t n) {
    runTransform(xr, xi, workR, workI, reversal, ur, ui, n);
}

TQ_WIDE bool realTransformWide(const float* frame, const float* window, float* xr, float* xi,
                               float* workR, float* workI, const int32_t* reversal, const float* ur,
                               const float* ui, int32_t log2n) {
    return runRealTransform(frame, window, xr, xi, workR, workI, reversal, ur, ui, log2n);
}

} // namespace

MEftFrmFft::MEftFrmFft(const MEftWinBase* owner)
    : MEftFrmBase(owner), log2Size(10), wide(processorHasWideVectors()), reLength(0), imLength(0),
      cosLength(0), sinLength(0), stageCosLength(0), stageSinLength(0), reversalLength(0),
      workReLength(0), workImLength(0) {}

bool MEftFrmFft::useWideVectors(bool on) {
    wide = on && processorHasWideVectors();
    return wide;
}

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
        return MEftBase::kOutOfRange;
    }
    const float lg = std::log10(static_cast<float>(n));
    const float lg2 = std::log10(2.0f);
    const int32_t stages = static_cast<int32_t>(static_cast<double>(lg) / lg2 + 0.5);
    if (stages < 0 || stages > 30 || n != (int32_t{1} << stages)) {
        return MEftBase::kOutOfRange;
    }
    log2Size = stages;
    if (!resizeArray(re, reLength, n) || !resizeArray(im, imLength, n) ||
        !resizeArray(cosTable, cosLength, stages) || !resizeArray(sinTable, sinLength, stages) ||
        !resizeArray(stageCos, stageCosLength, n - 1) ||
        !resizeArray(stageSin, stageSinLength, n - 1) ||
        !resizeArray(reversal, reversalLength, n) || !resizeArray(workRe, workReLength, n) ||
        !resizeArray(workIm, workImLength, n)) {
        return MEftBase::kArrayNotAllocated;
    }
    size = n;
    // The tables must match the new size even when no prepare follows.
    fillReversal();
    fillTwiddles();
    return MEftBase::kSuccess;
}

bool MEftFrmFft::isReady() const {
    return re != nullptr && im != nullptr && cosTable != nullptr && sinTable != nullptr &&
           stageCos != nullptr && stageSin != nullptr && reversal != nullptr && workRe != nullptr &&
           workIm != nullptr && log2Size >= 0 && log2Size <= 30 &&
           size == (int32_t{1} << log2Size) && reLength == size && imLength == size &&
           cosLength == log2Size && sinLength == log2Size && stageCosLength == size - 1 &&
           stageSinLength == size - 1 && reversalLength == size && workReLength == size &&
           workImLength == size;
}

const float* MEftFrmFft::getStageCos(int32_t stage) const {
    if (!isReady() || stage < 1 || stage > log2Size) {
        return nullptr;
    }
    return stageCos.get() + ((int32_t{1} << (stage - 1)) - 1);
}

const float* MEftFrmFft::getStageSin(int32_t stage) const {
    if (!isReady() || stage < 1 || stage > log2Size) {
        return nullptr;
    }
    return stageSin.get() + ((int32_t{1} << (stage - 1)) - 1);
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
    if (stageCos == nullptr || stageSin == nullptr || size != (int32_t{1} << log2Size) ||
        stageCosLength != size - 1 || stageSinLength != size - 1) {
        return;
    }
    // u runs through the stage exactly as the butterflies' recurrence would
    // turn it: u starts at 1 and becomes u * w after each group of butterflies.
    for (int32_t stage = 1; stage <= log2Size; ++stage) {
        const int32_t half = int32_t{1} << (stage - 1);
        float* ur = stageCos.get() + (half - 1);
        float* ui = stageSin.get() + (half - 1);
        const float wr = cosTable[stage - 1];
        const float wi = sinTable[stage - 1];
        float r = 1.0f;
        float i = 0.0f;
        for (int32_t j = 0; j < half; ++j) {
            ur[j] = r;
            ui[j] = i;
            const float nr = r * wr - i * wi;
            const float ni = i * wr + r * wi;
            r = nr;
            i = ni;
        }
    }
}

void MEftFrmFft::fillReversal() {
    if (reversal == nullptr || reversalLength != size) {
        return;
    }
    // The written bit-reversal loop run on the indices themselves.
    const int32_t n = size;
    for (int32_t i = 0; i < n; ++i) {
        reversal[i] = i;
    }
    int32_t j = 0;
    for (int32_t i = 0; i < n - 1; ++i) {
        if (j > i) {
            std::swap(reversal[i], reversal[j]);
        }
        int32_t k = n / 2;
        while (k > 0 && j >= k) {
            j = j - k;
            k = k / 2;
        }
        j = j + k;
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
    if (log2Size >= 2) {
        const bool done =
            wide ? realTransformWide(frame, window, re.get(), im.get(), workRe.get(), workIm.get(),
                                     reversal.get(), stageCos.get(), stageSin.get(), log2Size)
                 : realTransformPortable(frame, window, re.get(), im.get(), workRe.get(),
                                         workIm.get(), reversal.get(), stageCos.get(),
                                         stageSin.get(), log2Size);
        if (done) {
            return;
        }
    }
    // Tiny transforms, and frames with huge or non-finite samples, whose
    // imaginary parts must go through every product.
    const size_t count = static_cast<size_t>(n);
    std::memset(im.get(), 0, count * sizeof(float));
    float* __restrict xr = re.get();
    for (size_t i = 0; i < count; ++i) {
        xr[i] = window[i] * frame[i];
    }
    fftInPlace();
}

void MEftFrmFft::fftInPlace() {
    if (!isReady()) {
        return;
    }
    const size_t n = static_cast<size_t>(size);
    float* xr = re.get();
    float* xi = im.get();

    const float* ur = stageCos.get();
    const float* ui = stageSin.get();
    if (wide) {
        transformWide(xr, xi, workRe.get(), workIm.get(), reversal.get(), ur, ui, n);
    } else {
        transformPortable(xr, xi, workRe.get(), workIm.get(), reversal.get(), ur, ui, n);
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
