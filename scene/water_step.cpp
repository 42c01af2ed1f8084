#include "scene/water_step.h"

#include <cstddef>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TARNWICK_WATER_X86 1
#endif

namespace {

constexpr int N = WaterSize;
constexpr int Interior = WaterSize - 2; // interior cells per row and per column (126)

// The two coefficients of the update, as double-precision constants.
constexpr double Carry = 1.995;   // weight of the current height
constexpr double Damping = 0.995; // weight of the previous height

// One interior cell at index i = r * 128 + c. Every vector kernel must do
// exactly these operations, in this order and precision.
inline void StepCell(const float* a, float* b, TWaterVertex* grid, int i) {
    const float up = a[i - N], down = a[i + N], left = a[i - 1], right = a[i + 1], h = a[i];
    TWaterVertex& v = grid[i];
    v.Z = h;
    v.NormalX = up - down;
    v.NormalY = left - right;
    const float d = float((double(up) + double(down) + double(right) + double(left)) * 0.25 - double(h));
    b[i] = float(Carry * double(h) - Damping * double(b[i]) + double(d));
}

void StepScalar(const float* a, float* b, TWaterVertex* grid) {
    for (int r = 1; r <= Interior; ++r)
        for (int c = 1; c <= Interior; ++c)
            StepCell(a, b, grid, r * N + c);
}

#ifdef TARNWICK_WATER_X86

// Both vector kernels work on aligned passes over whole rows: a pass covers
// columns c0 .. c0 + width - 1 with c0 a multiple of the width, so the loads
// of the row itself and of its neighbours above and below stay inside the
// field (rows 0..127), and the rim columns 0 and 127 are masked out of every
// store. Every A value is converted to double precision once, into one of
// three rolling row buffers (rows r - 1, r, r + 1); the buffers carry spare
// elements on each side for the left and right neighbours of the rim passes.
constexpr int RowPad = 8;
alignas(64) double RowBuffers[3][RowPad + WaterSize + RowPad];

// ---- AVX2: 8 cells per pass, the double-precision part in two halves of 4.

#define TARNWICK_AVX2 __attribute__((target("avx2")))

TARNWICK_AVX2 inline __m128 UpdateAvx2(__m256d up, __m256d down, __m256d right, __m256d left, __m256d h,
                                       __m256d prev) {
    const __m256d sum = _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(up, down), right), left);
    const __m256d t = _mm256_sub_pd(_mm256_mul_pd(sum, _mm256_set1_pd(0.25)), h);
    const __m256d d = _mm256_cvtps_pd(_mm256_cvtpd_ps(t)); // d rounded to single precision
    const __m256d carried = _mm256_mul_pd(_mm256_set1_pd(Carry), h);
    const __m256d damped = _mm256_mul_pd(_mm256_set1_pd(Damping), prev);
    return _mm256_cvtpd_ps(_mm256_add_pd(_mm256_sub_pd(carried, damped), d));
}

TARNWICK_AVX2 void ConvertRowAvx2(const float* a, int row) {
    double* out = RowBuffers[row % 3] + RowPad;
    for (int c = 0; c < WaterSize; c += 4)
        _mm256_store_pd(out + c, _mm256_cvtps_pd(_mm_loadu_ps(a + row * N + c)));
}

TARNWICK_AVX2 void StepAvx2(const float* a, float* b, TWaterVertex* grid) {
    ConvertRowAvx2(a, 0);
    ConvertRowAvx2(a, 1);
    for (int r = 1; r <= Interior; ++r) {
        ConvertRowAvx2(a, r + 1);
        const double* above = RowBuffers[(r - 1) % 3] + RowPad;
        const double* row = RowBuffers[r % 3] + RowPad;
        const double* below = RowBuffers[(r + 1) % 3] + RowPad;
        for (int c0 = 0; c0 < WaterSize; c0 += 8) {
            const int i = r * N + c0;
            const __m256 prev = _mm256_loadu_ps(b + i);
            __m128 half[2];
            for (int k = 0; k < 2; ++k) {
                const int c = c0 + 4 * k;
                half[k] = UpdateAvx2(
                    _mm256_load_pd(above + c), _mm256_load_pd(below + c), _mm256_loadu_pd(row + c + 1),
                    _mm256_loadu_pd(row + c - 1), _mm256_load_pd(row + c),
                    _mm256_cvtps_pd(k ? _mm256_extractf128_ps(prev, 1) : _mm256_castps256_ps128(prev)));
            }
            __m256 next = _mm256_insertf128_ps(_mm256_castps128_ps256(half[0]), half[1], 1);
            // The rim cells of the first and last pass keep what they held.
            if (c0 == 0) next = _mm256_blend_ps(next, prev, 0x01);
            if (c0 == WaterSize - 8) next = _mm256_blend_ps(next, prev, 0x80);
            _mm256_storeu_ps(b + i, next);
        }
        // The records in plain stores: vector interleaving costs more than it
        // saves without the two-source permutes of AVX-512.
        for (int c = 1; c <= Interior; ++c) {
            const int i = r * N + c;
            TWaterVertex& v = grid[i];
            v.Z = a[i];
            v.NormalX = a[i - N] - a[i + N];
            v.NormalY = a[i - 1] - a[i + 1];
        }
    }
}

// ---- AVX-512: 16 cells per pass, the double-precision part in two halves
// of 8. The 16 cells' records are six 64-byte blocks (aligned, as a pass
// starts at a multiple of 16 cells); each block is one permute of two of
// three vectors that hold z, normal x and normal y of cells 0..7 and 8..15,
// written with a mask that leaves x, y and the normal's z alone.

#define TARNWICK_AVX512 __attribute__((target("avx512f")))

constexpr int PassCells = 16;
constexpr int PassBlocks = PassCells * 6 / 16; // 64-byte blocks of records per pass

// The three source vectors of the blocks (128-bit quarters, cells 0..15):
//   low   = z 0..7    | normal x 0..7
//   mixed = normal y 0..7 | z 8..15
//   high  = normal x 8..15 | normal y 8..15
// Blocks 0..2 (cells 0..7) permute low and mixed, blocks 3..5 (cells 8..15)
// high and mixed.
struct TInterleave {
    std::int32_t Index[PassBlocks][16];
    std::uint16_t Written[3][PassBlocks]; // lanes to store: inner pass, first pass, last pass
};

constexpr TInterleave MakeInterleave() {
    TInterleave t{};
    for (int k = 0; k < PassBlocks; ++k) {
        for (int j = 0; j < 16; ++j) {
            // Lane j of block k is member (16k + j) mod 6 of cell (16k + j) div 6.
            const int cell = (16 * k + j) / 6, member = (16 * k + j) % 6;
            if (cell < 8)
                t.Index[k][j] = member == 2 ? cell : member == 3 ? 8 + cell : member == 4 ? 16 + cell : 0;
            else
                t.Index[k][j] = member == 2 ? 16 + cell : member == 3 ? cell - 8 : member == 4 ? cell : 0;
            if (member < 2 || member > 4) continue;
            const std::uint16_t lane = std::uint16_t(1u << j);
            t.Written[0][k] = std::uint16_t(t.Written[0][k] | lane);
            if (cell != 0) t.Written[1][k] = std::uint16_t(t.Written[1][k] | lane); // not column 0
            if (cell != PassCells - 1)
                t.Written[2][k] = std::uint16_t(t.Written[2][k] | lane); // not column 127
        }
    }
    return t;
}

alignas(64) constexpr TInterleave Interleave = MakeInterleave();

// The zero-masked forms with every lane selected are the plain instructions;
// they keep GCC 12's headers from warning about their undefined sources.
constexpr __mmask8 AllLanes = 0xFF;
constexpr __mmask16 AllFloats = 0xFFFF;
TARNWICK_AVX512 inline __m512d CvtPsPd(__m256 x) {
    return _mm512_maskz_cvtps_pd(AllLanes, x);
}
TARNWICK_AVX512 inline __m256 CvtPdPs(__m512d x) {
    return _mm512_maskz_cvtpd_ps(AllLanes, x);
}
TARNWICK_AVX512 inline __m256 HalfAvx512(__m512 x, int high) {
    return _mm256_castpd_ps(high ? _mm512_maskz_extractf64x4_pd(AllLanes, _mm512_castps_pd(x), 1)
                                 : _mm512_maskz_extractf64x4_pd(AllLanes, _mm512_castps_pd(x), 0));
}
TARNWICK_AVX512 inline __m512 JoinAvx512(__m256 low, __m256 high) {
    const __m512d lower = _mm512_maskz_insertf64x4(AllLanes, _mm512_setzero_pd(), _mm256_castps_pd(low), 0);
    return _mm512_castpd_ps(_mm512_maskz_insertf64x4(AllLanes, lower, _mm256_castps_pd(high), 1));
}

TARNWICK_AVX512 inline __m256 UpdateAvx512(__m512d up, __m512d down, __m512d right, __m512d left, __m512d h,
                                           __m512d prev) {
    const __m512d sum = _mm512_add_pd(_mm512_add_pd(_mm512_add_pd(up, down), right), left);
    const __m512d t = _mm512_sub_pd(_mm512_mul_pd(sum, _mm512_set1_pd(0.25)), h);
    const __m512d d = CvtPsPd(CvtPdPs(t)); // d rounded to single precision
    const __m512d carried = _mm512_mul_pd(_mm512_set1_pd(Carry), h);
    const __m512d damped = _mm512_mul_pd(_mm512_set1_pd(Damping), prev);
    return CvtPdPs(_mm512_add_pd(_mm512_sub_pd(carried, damped), d));
}

TARNWICK_AVX512 void ConvertRowAvx512(const float* a, int row) {
    double* out = RowBuffers[row % 3] + RowPad;
    for (int c = 0; c < WaterSize; c += 8)
        _mm512_store_pd(out + c, CvtPsPd(_mm256_loadu_ps(a + row * N + c)));
}

TARNWICK_AVX512 void StepAvx512(const float* a, float* b, TWaterVertex* grid) {
    ConvertRowAvx512(a, 0);
    ConvertRowAvx512(a, 1);
    for (int r = 1; r <= Interior; ++r) {
        ConvertRowAvx512(a, r + 1);
        const double* above = RowBuffers[(r - 1) % 3] + RowPad;
        const double* row = RowBuffers[r % 3] + RowPad;
        const double* below = RowBuffers[(r + 1) % 3] + RowPad;
        for (int c0 = 0; c0 < WaterSize; c0 += PassCells) {
            const int i = r * N + c0;
            const int pass = c0 == 0 ? 1 : c0 == WaterSize - PassCells ? 2 : 0;
            const __mmask16 inside = pass == 1 ? 0xFFFE : pass == 2 ? 0x7FFF : 0xFFFF;

            const __m512 prev = _mm512_loadu_ps(b + i);
            __m256 half[2];
            for (int k = 0; k < 2; ++k) {
                const int c = c0 + 8 * k;
                half[k] = UpdateAvx512(_mm512_load_pd(above + c), _mm512_load_pd(below + c),
                                       _mm512_loadu_pd(row + c + 1), _mm512_loadu_pd(row + c - 1),
                                       _mm512_load_pd(row + c), CvtPsPd(HalfAvx512(prev, k)));
            }
            _mm512_mask_storeu_ps(b + i, inside, JoinAvx512(half[0], half[1]));

            const __m512 h = _mm512_loadu_ps(a + i);
            const __m512 nx = _mm512_sub_ps(_mm512_loadu_ps(a + i - N), _mm512_loadu_ps(a + i + N));
            const __m512 ny = _mm512_sub_ps(_mm512_loadu_ps(a + i - 1), _mm512_loadu_ps(a + i + 1));
            const __m512 low = _mm512_maskz_shuffle_f32x4(AllFloats, h, nx, 0x44);
            const __m512 mixed = _mm512_maskz_shuffle_f32x4(AllFloats, ny, h, 0xE4);
            const __m512 high = _mm512_maskz_shuffle_f32x4(AllFloats, nx, ny, 0xEE);
            float* records = &grid[i].X;
            for (int k = 0; k < PassBlocks; ++k) {
                const __m512i index = _mm512_load_si512(Interleave.Index[k]);
                const __m512 block = _mm512_permutex2var_ps(k < 3 ? low : high, index, mixed);
                _mm512_mask_storeu_ps(records + 16 * k, Interleave.Written[pass][k], block);
            }
        }
    }
}

#endif // TARNWICK_WATER_X86

using StepProc = void (*)(const float*, float*, TWaterVertex*);

StepProc KernelProc(TWaterKernel kernel) {
    switch (kernel) {
#ifdef TARNWICK_WATER_X86
    case WaterKernelAvx2:
        return StepAvx2;
    case WaterKernelAvx512:
        return StepAvx512;
#endif
    default:
        return StepScalar;
    }
}

} // namespace

bool WaterKernelSupported(TWaterKernel kernel) {
    switch (kernel) {
    case WaterKernelScalar:
        return true;
#ifdef TARNWICK_WATER_X86
    case WaterKernelAvx2:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2");
    case WaterKernelAvx512:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f");
#endif
    default:
        return false;
    }
}

TWaterKernel BestWaterKernel() {
    static const TWaterKernel best = WaterKernelSupported(WaterKernelAvx512) ? WaterKernelAvx512
                                     : WaterKernelSupported(WaterKernelAvx2) ? WaterKernelAvx2
                                                                             : WaterKernelScalar;
    return best;
}

const char* WaterKernelName(TWaterKernel kernel) {
    switch (kernel) {
    case WaterKernelAvx2:
        return "avx2";
    case WaterKernelAvx512:
        return "avx512";
    default:
        return "scalar";
    }
}

void StepWaterWith(TWaterKernel kernel, const float* current, float* previous, TWaterVertex* grid) {
    // An unsupported kernel would fault on its first instruction; the
    // reference gives the same result.
    if (!WaterKernelSupported(kernel)) kernel = WaterKernelScalar;
    KernelProc(kernel)(current, previous, grid);
}

void StepWater(const float* current, float* previous, TWaterVertex* grid) {
    static const StepProc step = KernelProc(BestWaterKernel());
    step(current, previous, grid);
}
