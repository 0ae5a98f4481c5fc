// The transforms compiled for x86 processors with 256-bit vectors (AVX2),
// chosen at run time. Each vector lane does the float operation the scalar
// code does, so both give the same bits.
#include "analysis/FftKernels.h"

#include <immintrin.h>

#include "analysis/FftStages.h"
#include "analysis/PeakStages.h"

#define TQ_WIDE [[gnu::target("avx2")]]

namespace fftKernels {

using fftStages::TableReversal;

bool processorHasWideVectors() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}

// The bit reversal of n = R * R values (R = 2^h, 8 to 64), seen as R rows
// of R: the value at row rev_h(b), column rev_h(a) moves to row a, column b.
// So blocks of 8 x 8 are loaded by rows, transposed in registers and stored
// by rows; values only move. Other lengths go through the table, which
// holds the same permutation.
struct BlockReversal {
    // Rows are at most this long here; longer transforms use the table.
    static constexpr size_t kMaxRows = 64;

    // index with its `bits` lowest bits reversed.
    static constexpr size_t reversed(size_t index, size_t bits) {
        size_t r = 0;
        for (size_t b = 0; b < bits; ++b) {
            r |= ((index >> b) & 1u) << (bits - 1 - b);
        }
        return r;
    }

    // Moves the 8 x 8 block whose rows k start at in + kRows * rev_h(k) to
    // the rows at out + kRows * rev_h(k), transposed: within a block the
    // rows of both sides lie at the same offsets, known for each length.
    template <size_t kRows>
    static constexpr size_t kBits = kRows == 8 ? 3 : (kRows == 16 ? 4 : (kRows == 32 ? 5 : 6));
    template <size_t kRows, size_t k>
    static constexpr size_t kRow = kRows* reversed(k, kBits<kRows>);

    template <size_t kRows>
    TQ_WIDE [[gnu::always_inline]] static inline void block(const float* in, float* out) {
        const __m256 r[8] = {
            _mm256_loadu_ps(in + kRow<kRows, 0>), _mm256_loadu_ps(in + kRow<kRows, 1>),
            _mm256_loadu_ps(in + kRow<kRows, 2>), _mm256_loadu_ps(in + kRow<kRows, 3>),
            _mm256_loadu_ps(in + kRow<kRows, 4>), _mm256_loadu_ps(in + kRow<kRows, 5>),
            _mm256_loadu_ps(in + kRow<kRows, 6>), _mm256_loadu_ps(in + kRow<kRows, 7>)};
        const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]);
        const __m256 t1 = _mm256_unpackhi_ps(r[0], r[1]);
        const __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]);
        const __m256 t3 = _mm256_unpackhi_ps(r[2], r[3]);
        const __m256 t4 = _mm256_unpacklo_ps(r[4], r[5]);
        const __m256 t5 = _mm256_unpackhi_ps(r[4], r[5]);
        const __m256 t6 = _mm256_unpacklo_ps(r[6], r[7]);
        const __m256 t7 = _mm256_unpackhi_ps(r[6], r[7]);
        const __m256 s0 = _mm256_shuffle_ps(t0, t2, 0x44);
        const __m256 s1 = _mm256_shuffle_ps(t0, t2, 0xee);
        const __m256 s2 = _mm256_shuffle_ps(t1, t3, 0x44);
        const __m256 s3 = _mm256_shuffle_ps(t1, t3, 0xee);
        const __m256 s4 = _mm256_shuffle_ps(t4, t6, 0x44);
        const __m256 s5 = _mm256_shuffle_ps(t4, t6, 0xee);
        const __m256 s6 = _mm256_shuffle_ps(t5, t7, 0x44);
        const __m256 s7 = _mm256_shuffle_ps(t5, t7, 0xee);
        _mm256_storeu_ps(out + kRow<kRows, 0>, _mm256_permute2f128_ps(s0, s4, 0x20));
        _mm256_storeu_ps(out + kRow<kRows, 1>, _mm256_permute2f128_ps(s1, s5, 0x20));
        _mm256_storeu_ps(out + kRow<kRows, 2>, _mm256_permute2f128_ps(s2, s6, 0x20));
        _mm256_storeu_ps(out + kRow<kRows, 3>, _mm256_permute2f128_ps(s3, s7, 0x20));
        _mm256_storeu_ps(out + kRow<kRows, 4>, _mm256_permute2f128_ps(s0, s4, 0x31));
        _mm256_storeu_ps(out + kRow<kRows, 5>, _mm256_permute2f128_ps(s1, s5, 0x31));
        _mm256_storeu_ps(out + kRow<kRows, 6>, _mm256_permute2f128_ps(s2, s6, 0x31));
        _mm256_storeu_ps(out + kRow<kRows, 7>, _mm256_permute2f128_ps(s3, s7, 0x31));
    }

    // n = kRows * kRows values, seen as rows of kRows: the value at row
    // rev_h(b), column rev_h(a) moves to row a, column b. Block (b0, c0)
    // takes input rows rev_h(b0 + k) = rev_h(b0) + rev_h(k) from column c0
    // to output rows rev_h(c0) + rev_h(k) at column b0.
    template <size_t kRows>
    TQ_WIDE [[gnu::always_inline]] static inline void
    runRows(const float* __restrict inR, const float* __restrict inI, float* __restrict outR,
            float* __restrict outI) {
        // Row rev_h(8 j) of the blocks j, from the table of all 8 of them.
        constexpr size_t blocks[8] = {kRow<kRows, 0>,  kRow<kRows, 8>,  kRow<kRows, 16>,
                                      kRow<kRows, 24>, kRow<kRows, 32>, kRow<kRows, 40>,
                                      kRow<kRows, 48>, kRow<kRows, 56>};
        for (size_t b0 = 0; b0 < kRows; b0 += 8) {
#pragma GCC unroll 8
            for (size_t c0 = 0; c0 < kRows; c0 += 8) {
                const size_t from = blocks[b0 / 8] + c0;
                const size_t to = blocks[c0 / 8] + b0;
                block<kRows>(inR + from, outR + to);
                block<kRows>(inI + from, outI + to);
            }
        }
    }

    // Called, not inlined, from the transforms: it needs the wide vectors.
    TQ_WIDE static void run(const float* __restrict inR, const float* __restrict inI,
                            float* __restrict outR, float* __restrict outI,
                            const int32_t* __restrict reversal, size_t n) {
        switch (n) {
        case 64:
            runRows<8>(inR, inI, outR, outI);
            break;
        case 256:
            runRows<16>(inR, inI, outR, outI);
            break;
        case 1024:
            runRows<32>(inR, inI, outR, outI);
            break;
        case 4096:
            runRows<64>(inR, inI, outR, outI);
            break;
        default:
            TableReversal::run(inR, inI, outR, outI, reversal, n);
            break;
        }
    }
};

TQ_WIDE void transformWide(float* xr, float* xi, float* workR, float* workI,
                           const int32_t* reversal, const float* ur, const float* ui, size_t n) {
    fftStages::runTransform<BlockReversal>(xr, xi, workR, workI, reversal, ur, ui, n);
}

TQ_WIDE bool realTransformWide(const float* frame, const float* window, float* xr, float* xi,
                               float* workR, float* workI, const int32_t* reversal, const float* ur,
                               const float* ui, int32_t log2n) {
    return fftStages::runRealTransform<BlockReversal>(frame, window, xr, xi, workR, workI, reversal,
                                                      ur, ui, log2n);
}

// The mask of a load and store of the first k of 8 lanes: the 8 entries from
// 8 - k on. Masked lanes are neither read nor written.
alignas(32) constexpr int32_t kTailMask[16] = {-1, -1, -1, -1, -1, -1, -1, -1,
                                               0,  0,  0,  0,  0,  0,  0,  0};

// For the short copies of short blocks, without memcpy's dispatch on the
// size.
TQ_WIDE void copyWide(float* out, const float* in, size_t count) {
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256 a = _mm256_loadu_ps(in + i);
        const __m256 b = _mm256_loadu_ps(in + i + 8);
        const __m256 c = _mm256_loadu_ps(in + i + 16);
        const __m256 d = _mm256_loadu_ps(in + i + 24);
        _mm256_storeu_ps(out + i, a);
        _mm256_storeu_ps(out + i + 8, b);
        _mm256_storeu_ps(out + i + 16, c);
        _mm256_storeu_ps(out + i + 24, d);
    }
    for (; i + 8 <= count; i += 8) {
        _mm256_storeu_ps(out + i, _mm256_loadu_ps(in + i));
    }
    if (i < count) {
        const __m256i keep =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kTailMask + 8 - (count - i)));
        _mm256_maskstore_ps(out + i, keep, _mm256_maskload_ps(in + i, keep));
    }
}

TQ_WIDE void copyPairWide(float* out0, const float* in0, float* out1, const float* in1,
                          size_t count) {
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m256 a = _mm256_loadu_ps(in0 + i);
        const __m256 b = _mm256_loadu_ps(in0 + i + 8);
        const __m256 c = _mm256_loadu_ps(in1 + i);
        const __m256 d = _mm256_loadu_ps(in1 + i + 8);
        _mm256_storeu_ps(out0 + i, a);
        _mm256_storeu_ps(out0 + i + 8, b);
        _mm256_storeu_ps(out1 + i, c);
        _mm256_storeu_ps(out1 + i + 8, d);
    }
    for (; i + 8 <= count; i += 8) {
        _mm256_storeu_ps(out0 + i, _mm256_loadu_ps(in0 + i));
        _mm256_storeu_ps(out1 + i, _mm256_loadu_ps(in1 + i));
    }
    if (i < count) {
        const __m256i keep =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kTailMask + 8 - (count - i)));
        _mm256_maskstore_ps(out0 + i, keep, _mm256_maskload_ps(in0 + i, keep));
        _mm256_maskstore_ps(out1 + i, keep, _mm256_maskload_ps(in1 + i, keep));
    }
}

TQ_WIDE void addWide(float* first, const float* second, size_t count) {
    peakStages::addInto(first, second, count);
}

TQ_WIDE void powersWide(const float* re, const float* im, float* powers, float* level0,
                        size_t count) {
    peakStages::powers(re, im, powers, level0, count);
}

TQ_WIDE void runLevelsWide(const float* powers, float* table, size_t stride, size_t count,
                           int32_t top) {
    peakStages::runLevels(powers, table, stride, count, top);
}

// Eight bands at a time, their entries gathered: the same comparisons.
TQ_WIDE void bandPeaksWide(const float* table, const int32_t* first, const int32_t* last,
                           float* peak, size_t count) {
    for (size_t b = 0; b + 8 <= count; b += 8) {
        const __m256i i = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + b));
        const __m256i j = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(last + b));
        const __m256 p = _mm256_i32gather_ps(table, i, 4);
        const __m256 q = _mm256_i32gather_ps(table, j, 4);
        // p > q ? p : q, as maxps orders its operands.
        _mm256_storeu_ps(peak + b, _mm256_max_ps(p, q));
    }
}

} // namespace fftKernels
