// The butterfly stages of the radix-2 transform, shared by the builds for
// any processor and for one with 256-bit vectors: the same source compiled
// twice, so that both give the same bits. Every function is inlined into the
// transforms of FftKernels.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace fftStages {

// One butterfly: t = b * u; b = a - t; a = a + t, each product and sum
// rounded to float in the order of the statements below.
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

// Two stages on count positions of quarters a, b, c, d: the first stage
// pairs a with b and c with d (factors u), the second a with c (factors v)
// and b with d (factors w). Each value is loaded and stored once for both.
// The factor tables hold one entry per position, or with perPosition false
// one entry for the whole run.
template <bool perPosition>
[[gnu::always_inline]] inline void
twoStageRun(float* __restrict ar, float* __restrict ai, float* __restrict br, float* __restrict bi,
            float* __restrict cr, float* __restrict ci, float* __restrict dr, float* __restrict di,
            const float* __restrict ur, const float* __restrict ui, const float* __restrict vr,
            const float* __restrict vi, const float* __restrict wr, const float* __restrict wi,
            size_t count) {
    for (size_t j = 0; j < count; ++j) {
        const size_t f = perPosition ? j : 0;
        float r0 = ar[j];
        float i0 = ai[j];
        float r1 = br[j];
        float i1 = bi[j];
        float r2 = cr[j];
        float i2 = ci[j];
        float r3 = dr[j];
        float i3 = di[j];
        butterfly(r0, i0, r1, i1, ur[f], ui[f]);
        butterfly(r2, i2, r3, i3, ur[f], ui[f]);
        butterfly(r0, i0, r2, i2, vr[f], vi[f]);
        butterfly(r1, i1, r3, i3, wr[f], wi[f]);
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

// Two stages on one group of 4h values held in quarters a, b, c, d of h
// values each: the first stage (factors u) pairs a with b and c with d, the
// second (factors v, 2h of them) pairs a with c and b with d.
[[gnu::always_inline]] inline void twoStageGroup(float* ar, float* ai, float* br, float* bi,
                                                 float* cr, float* ci, float* dr, float* di,
                                                 const float* ur, const float* ui, const float* vr,
                                                 const float* vi, size_t h) {
    twoStageRun<true>(ar, ai, br, bi, cr, ci, dr, di, ur, ui, vr, vi, vr + h, vi + h, h);
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

// The bit reversal through its table: out[i] = in[reversal[i]] for the real
// and the imaginary parts.
struct TableReversal {
    [[gnu::always_inline]] static inline void run(const float* __restrict inR,
                                                  const float* __restrict inI,
                                                  float* __restrict outR, float* __restrict outI,
                                                  const int32_t* __restrict reversal, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            const size_t from = static_cast<size_t>(reversal[i]);
            outR[i] = inR[from];
            outI[i] = inI[from];
        }
    }
};

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
template <class Reversal>
[[gnu::always_inline]] inline void runTransform(float* __restrict xr, float* __restrict xi,
                                                float* __restrict workR, float* __restrict workI,
                                                const int32_t* __restrict reversal, const float* ur,
                                                const float* ui, size_t n) {
    Reversal::run(xr, xi, workR, workI, reversal, n);
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
// two at a time while each run of equal factors is at least this long.
constexpr size_t kNaturalRun = 64;

// Stages L and L + 1 with the values in natural order: value m sits where
// the bit reversal will take it from. Stage L's group j then pairs the
// values base + m with base + 2q + m (base = t * 4q, m < 2q, q = n >> (L+1)),
// where t is j with its L - 1 bits reversed: one factor u per block. Stage
// L + 1 splits each block into halves, whose groups are j and j + 2^(L-1).
// So a block's quarters a, b, c, d pair as (a, c) and (b, d) with u, then
// (a, b) with v0 and (c, d) with v1; each value is loaded and stored once.
[[gnu::always_inline]] inline void naturalTwoStages(float* xr, float* xi, const float* ur,
                                                    const float* ui,
                                                    const int32_t* __restrict reversal,
                                                    int32_t log2n, int32_t stage) {
    const size_t n = size_t{1} << log2n;
    const size_t q = n >> (stage + 1);
    const size_t groups = size_t{1} << (stage - 1);
    const float* __restrict uR = ur + (groups - 1);
    const float* __restrict uI = ui + (groups - 1);
    const float* __restrict vR = ur + (2 * groups - 1);
    const float* __restrict vI = ui + (2 * groups - 1);
    for (size_t t = 0; t < groups; ++t) {
        // j: t's stage - 1 bits reversed, from the table of all log2n bits.
        const size_t j = static_cast<size_t>(reversal[t]) >> (log2n - stage + 1);
        float* a = xr + t * 4 * q;
        float* b = xi + t * 4 * q;
        // The block's quarters in the order (a, c, b, d) of twoStageRun.
        twoStageRun<false>(a, b, a + 2 * q, b + 2 * q, a + q, b + q, a + 3 * q, b + 3 * q, uR + j,
                           uI + j, vR + j, vI + j, vR + j + groups, vI + j + groups, q);
    }
}

// Stages 1 and 2 of a real frame in natural order, window applied on the
// way in: the frame's quarters f0..f3 (window quarters w0..w3) become the
// quarters r0..r3, i0..i3 of the work arrays. Stage 1 pairs quarters (0, 2)
// and (1, 3) with 1 + 0i, stage 2 pairs (0, 1) with 1 + 0i and (2, 3) with
// c. Returns nonzero when a windowed sample is not below kRealPathBound.
[[gnu::always_inline]] inline uint32_t
realFirstStages(const float* __restrict f0, const float* __restrict f1, const float* __restrict f2,
                const float* __restrict f3, const float* __restrict w0, const float* __restrict w1,
                const float* __restrict w2, const float* __restrict w3, float* __restrict r0,
                float* __restrict r1, float* __restrict r2, float* __restrict r3,
                float* __restrict i0, float* __restrict i1, float* __restrict i2,
                float* __restrict i3, float cr, float ci, size_t q) {
    // The products of b's zero imaginary part in t = b * c.
    const float zeroTimesCi = 0.0f * ci;
    const float zeroTimesCr = 0.0f * cr;
    uint32_t outside = 0;
    for (size_t m = 0; m < q; ++m) {
        const float x0 = w0[m] * f0[m];
        const float x1 = w1[m] * f1[m];
        const float x2 = w2[m] * f2[m];
        const float x3 = w3[m] * f3[m];
        outside |= (std::fabs(x0) < kRealPathBound ? 0u : 1u) |
                   (std::fabs(x1) < kRealPathBound ? 0u : 1u) |
                   (std::fabs(x2) < kRealPathBound ? 0u : 1u) |
                   (std::fabs(x3) < kRealPathBound ? 0u : 1u);
        // Stage 1 pairs (x0, x2) and (x1, x3) with 1 + 0i: t = b exactly.
        const float a0 = x0 + x2;
        const float c0 = x0 - x2;
        const float a1 = x1 + x3;
        const float c1 = x1 - x3;
        // Stage 2 pairs (a0, a1) with 1 + 0i, and (c0, c1) with c, where
        // t = (c1 * cr - 0 * ci, c1 * ci + 0 * cr).
        const float tr = c1 * cr - zeroTimesCi;
        const float ti = c1 * ci + zeroTimesCr;
        r0[m] = a0 + a1;
        i0[m] = 0.0f;
        r1[m] = a0 - a1;
        i1[m] = 0.0f;
        r2[m] = c0 + tr;
        i2[m] = 0.0f + ti;
        r3[m] = c0 - tr;
        i3[m] = 0.0f - ti;
    }
    return outside;
}

// The transform of a real frame, window applied on the way in. Stages 1 and
// 2 run together in natural order without the products of the imaginary
// parts, which are all +0 there: each such product is computed once as a
// constant and added where the butterfly adds it, so every value keeps its
// bits, zero signs included. Further stages run in natural order while
// their runs are long, then the bit reversal and the remaining stages.
// False, with nothing finished, when a windowed sample is too large or not a
// number: the products skipped would not have been zeros.
template <class Reversal>
[[gnu::always_inline]] inline bool
runRealTransform(const float* __restrict frame, const float* __restrict window,
                 float* __restrict xr, float* __restrict xi, float* __restrict workR,
                 float* __restrict workI, const int32_t* __restrict reversal, const float* ur,
                 const float* ui, int32_t log2n) {
    const size_t n = size_t{1} << log2n;
    const size_t q = n / 4;
    // Stage 2's group 1 factor c; its group 0 factor and stage 1's are 1 + 0i.
    const float cr = ur[2];
    const float ci = ui[2];
    const uint32_t outside =
        realFirstStages(frame, frame + q, frame + 2 * q, frame + 3 * q, window, window + q,
                        window + 2 * q, window + 3 * q, workR, workR + q, workR + 2 * q,
                        workR + 3 * q, workI, workI + q, workI + 2 * q, workI + 3 * q, cr, ci, q);
    if (outside != 0) {
        return false;
    }
    int32_t stage = 3;
    for (; stage + 1 <= log2n && (n >> (stage + 1)) >= kNaturalRun; stage += 2) {
        naturalTwoStages(workR, workI, ur, ui, reversal, log2n, stage);
    }
    Reversal::run(workR, workI, xr, xi, reversal, n);
    laterStages(xr, xi, ur, ui, size_t{1} << (stage - 1), n);
    return true;
}

} // namespace fftStages
