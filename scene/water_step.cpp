#include "scene/water_step.h"

#include <cfloat>
#include <cstddef>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TARNWICK_WATER_X86 1
#endif

// Every float expression below must be evaluated in single precision, as
// the vector kernels do; a target that evaluates floats wider (x87) would
// give the reference other results than the kernels.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be single precision");

namespace {

constexpr int N = WaterSize;
constexpr int Interior = WaterSize - 2; // interior cells per row and per column (126)

constexpr float Carry = 1.995f;   // weight of the current height
constexpr float Damping = 0.995f; // weight of the previous height
constexpr float Quarter = 0.25f;

// One interior cell at index i = r * 128 + c. Every vector kernel must do
// exactly these operations, in this order.
inline void StepCell(const float* a, float* b, TWaterVertex* grid, int i) {
    const float up = a[i - N], down = a[i + N], left = a[i - 1], right = a[i + 1], h = a[i];
    TWaterVertex& v = grid[i];
    v.Z = h;
    v.NormalX = up - down;
    v.NormalY = left - right;
    const float d = (up + down + right + left) * Quarter - h;
    b[i] = Carry * h - Damping * b[i] + d;
}

void StepScalar(const float* a, float* b, TWaterVertex* grid) {
    for (int r = 1; r <= Interior; ++r)
        for (int c = 1; c <= Interior; ++c)
            StepCell(a, b, grid, r * N + c);
}

#ifdef TARNWICK_WATER_X86

// Both vector kernels make aligned passes over whole rows: a pass covers
// columns c0 .. c0 + width - 1 with c0 a multiple of the width, so the loads
// of the row and of its neighbours stay inside the field (a pass at column 0
// reads the previous row's last cell as its left neighbour, one at the end
// of a row the next row's first cell as its right one), and the rim columns
// 0 and 127 are masked out of every height store.

// ---- AVX2: 8 cells per pass. Each interior record gets one 16-byte store
// of its z, normal x, normal y and normal z (the last rewritten with the
// grid's own value), the four gathered by a 4 x 8 transpose.

#define TARNWICK_AVX2 __attribute__((target("avx2")))

TARNWICK_AVX2 void StepAvx2(const float* a, float* b, TWaterVertex* grid) {
    const __m256 quarter = _mm256_set1_ps(Quarter), carry = _mm256_set1_ps(Carry),
                 damping = _mm256_set1_ps(Damping), nz = _mm256_set1_ps(grid[0].NormalZ);
    for (int r = 1; r <= Interior; ++r) {
        for (int c0 = 0; c0 < WaterSize; c0 += 8) {
            const int i = r * N + c0;
            const __m256 h = _mm256_loadu_ps(a + i);
            const __m256 up = _mm256_loadu_ps(a + i - N), down = _mm256_loadu_ps(a + i + N);
            const __m256 left = _mm256_loadu_ps(a + i - 1), right = _mm256_loadu_ps(a + i + 1);
            const __m256 prev = _mm256_loadu_ps(b + i);
            const __m256 sum = _mm256_add_ps(_mm256_add_ps(_mm256_add_ps(up, down), right), left);
            const __m256 d = _mm256_sub_ps(_mm256_mul_ps(sum, quarter), h);
            __m256 next = _mm256_add_ps(_mm256_sub_ps(_mm256_mul_ps(carry, h), _mm256_mul_ps(damping, prev)), d);
            // The rim cells of the first and last pass keep what they held.
            if (c0 == 0) next = _mm256_blend_ps(next, prev, 0x01);
            if (c0 == WaterSize - 8) next = _mm256_blend_ps(next, prev, 0x80);
            _mm256_storeu_ps(b + i, next);

            const __m256 nx = _mm256_sub_ps(up, down), ny = _mm256_sub_ps(left, right);
            const __m256 zx01 = _mm256_unpacklo_ps(h, nx), zx23 = _mm256_unpackhi_ps(h, nx); // cells 0,1 | 4,5
            const __m256 yn01 = _mm256_unpacklo_ps(ny, nz), yn23 = _mm256_unpackhi_ps(ny, nz); // and 2,3 | 6,7
            __m256 quads[4];
            quads[0] = _mm256_castpd_ps(_mm256_unpacklo_pd(_mm256_castps_pd(zx01), _mm256_castps_pd(yn01)));
            quads[1] = _mm256_castpd_ps(_mm256_unpackhi_pd(_mm256_castps_pd(zx01), _mm256_castps_pd(yn01)));
            quads[2] = _mm256_castpd_ps(_mm256_unpacklo_pd(_mm256_castps_pd(zx23), _mm256_castps_pd(yn23)));
            quads[3] = _mm256_castpd_ps(_mm256_unpackhi_pd(_mm256_castps_pd(zx23), _mm256_castps_pd(yn23)));
            for (int k = 0; k < 4; ++k) {
                if (c0 != 0 || k != 0) _mm_storeu_ps(&grid[i + k].Z, _mm256_castps256_ps128(quads[k]));
                if (c0 != WaterSize - 8 || k != 3) _mm_storeu_ps(&grid[i + 4 + k].Z, _mm256_extractf128_ps(quads[k], 1));
            }
        }
    }
}

// ---- AVX-512: 16 cells per pass. The left and right neighbours come from
// the row's own vectors (the pass before and after), not from unaligned
// loads. The 16 cells' records are six 64-byte blocks, each one permute of
// two source vectors and written whole:
//   low  = z of cells 0..7  | normal x of cells 0..7      (indices 0..15)
//   high = normal y 0..7    | y of cells 0..7             (indices 16..31)
// for blocks 0..2, and the same of cells 8..15 for blocks 3..5. The row's x
// and the normal's z are no source lane: they sit in the index vector's
// unselected lanes, which the masked permute passes through unchanged.

#define TARNWICK_AVX512 __attribute__((target("avx512f")))

constexpr int PassCells = 16;
constexpr int PassesPerRow = WaterSize / PassCells;
constexpr int GroupBlocks = 3; // 64-byte blocks of records per 8 cells

struct TInterleave {
    std::int32_t Index[GroupBlocks][16];
    std::uint16_t Selected[GroupBlocks]; // lanes taken from the sources
    std::uint16_t XLanes[GroupBlocks];   // lanes holding a record's x
    std::uint16_t NzLanes[GroupBlocks];  // lanes holding a record's normal z
};

constexpr TInterleave MakeInterleave() {
    TInterleave t{};
    for (int k = 0; k < GroupBlocks; ++k) {
        for (int j = 0; j < 16; ++j) {
            // Lane j of block k is member (16k + j) mod 6 of cell (16k + j) div 6.
            const int cell = (16 * k + j) / 6, member = (16 * k + j) % 6;
            const std::uint16_t lane = std::uint16_t(1u << j);
            switch (member) {
            case 0:
                t.XLanes[k] = std::uint16_t(t.XLanes[k] | lane);
                break;
            case 1: // y
                t.Index[k][j] = 24 + cell;
                break;
            case 2: // z
                t.Index[k][j] = cell;
                break;
            case 3: // normal x
                t.Index[k][j] = 8 + cell;
                break;
            case 4: // normal y
                t.Index[k][j] = 16 + cell;
                break;
            default:
                t.NzLanes[k] = std::uint16_t(t.NzLanes[k] | lane);
                break;
            }
            if (member >= 1 && member <= 4) t.Selected[k] = std::uint16_t(t.Selected[k] | lane);
        }
    }
    return t;
}

alignas(64) constexpr TInterleave Interleave = MakeInterleave();

// The masks of a pass's cells off the rim.
constexpr __mmask16 InsideMask(int pass) {
    return pass == 0 ? 0xFFFE : pass == PassesPerRow - 1 ? 0x7FFF : 0xFFFF;
}

// The zero-masked forms with every lane selected are the plain instructions;
// they keep GCC 12's headers from warning about their undefined sources.
constexpr __mmask16 AllLanes = 0xFFFF;

// Lanes count .. count + 15 of low:high (count 1 or 15).
TARNWICK_AVX512 inline __m512 ShiftIn(__m512 high, __m512 low, int count) {
    const __m512i h = _mm512_castps_si512(high), l = _mm512_castps_si512(low);
    return _mm512_castsi512_ps(count == 1 ? _mm512_maskz_alignr_epi32(AllLanes, h, l, 1)
                                          : _mm512_maskz_alignr_epi32(AllLanes, h, l, 15));
}

TARNWICK_AVX512 inline __m512 Quarters(__m512 a, __m512 b, int lowOrHigh) {
    // 256-bit halves: the low (0x44) or high (0xEE) half of a, then of b.
    return lowOrHigh == 0x44 ? _mm512_maskz_shuffle_f32x4(AllLanes, a, b, 0x44)
                             : _mm512_maskz_shuffle_f32x4(AllLanes, a, b, 0xEE);
}

TARNWICK_AVX512 void StepAvx512(const float* a, float* b, TWaterVertex* grid) {
    // y of every column and the normal's z, from row 0 of the grid.
    float ys[WaterSize];
    for (int c = 0; c < WaterSize; ++c)
        ys[c] = grid[c].Y;
    const __m512 nz = _mm512_set1_ps(grid[0].NormalZ);
    __m512 base[GroupBlocks];
    for (int k = 0; k < GroupBlocks; ++k)
        base[k] = _mm512_mask_blend_ps(Interleave.NzLanes[k],
                                       _mm512_castsi512_ps(_mm512_loadu_si512(Interleave.Index[k])), nz);

    const __m512 quarter = _mm512_set1_ps(Quarter), carry = _mm512_set1_ps(Carry), damping = _mm512_set1_ps(Damping);
    for (int r = 1; r <= Interior; ++r) {
        const __m512 x = _mm512_set1_ps(grid[r * N].X);
        __m512i index[GroupBlocks];
        for (int k = 0; k < GroupBlocks; ++k)
            index[k] = _mm512_castps_si512(_mm512_mask_blend_ps(Interleave.XLanes[k], base[k], x));
        float* records = &grid[r * N].X;
        __m512 before = _mm512_loadu_ps(a + r * N - PassCells), h = _mm512_loadu_ps(a + r * N);
        // One pass at a time: unrolled, the six record stores of every pass
        // would run back to back, which this loop's measurements show slower.
#pragma GCC unroll 1
        for (int pass = 0; pass < PassesPerRow; ++pass) {
            const int i = r * N + pass * PassCells;
            const __mmask16 inside = InsideMask(pass);
            const __m512 after = _mm512_loadu_ps(a + i + PassCells);
            const __m512 up = _mm512_loadu_ps(a + i - N), down = _mm512_loadu_ps(a + i + N);
            const __m512 left = ShiftIn(h, before, 15), right = ShiftIn(after, h, 1);

            const __m512 sum = _mm512_add_ps(_mm512_add_ps(_mm512_add_ps(up, down), right), left);
            const __m512 d = _mm512_sub_ps(_mm512_mul_ps(sum, quarter), h);
            const __m512 carried = _mm512_mul_ps(carry, h);
            const __m512 damped = _mm512_mul_ps(damping, _mm512_loadu_ps(b + i));
            _mm512_mask_storeu_ps(b + i, inside, _mm512_add_ps(_mm512_sub_ps(carried, damped), d));

            // The rim cells' z and normal are zero, whatever their heights.
            const __m512 z = _mm512_maskz_mov_ps(inside, h);
            const __m512 nx = _mm512_maskz_sub_ps(inside, up, down);
            const __m512 ny = _mm512_maskz_sub_ps(inside, left, right);
            const __m512 y = _mm512_loadu_ps(ys + pass * PassCells);
            const __m512 low0 = Quarters(z, nx, 0x44), high0 = Quarters(ny, y, 0x44);
            const __m512 low1 = Quarters(z, nx, 0xEE), high1 = Quarters(ny, y, 0xEE);
            float* out = records + pass * PassCells * 6;
            for (int k = 0; k < GroupBlocks; ++k)
                _mm512_storeu_ps(out + 16 * k,
                                 _mm512_mask2_permutex2var_ps(low0, index[k], Interleave.Selected[k], high0));
            for (int k = 0; k < GroupBlocks; ++k)
                _mm512_storeu_ps(out + 16 * (GroupBlocks + k),
                                 _mm512_mask2_permutex2var_ps(low1, index[k], Interleave.Selected[k], high1));
            before = h;
            h = after;
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
