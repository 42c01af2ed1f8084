// The water step's kernels: the scalar reference and the AVX2 and AVX-512
// ones, which give its bytes.
//
// How the vector kernels build the grid's 24-byte records (six floats:
// x, y, z, normal x, normal y, normal z), from single-precision vectors of
// the pass's cells, lane q for cell q:
//
// AVX2, 8 cells per pass. z (the heights), normal x, normal y and normal z
// (the grid's own value, in every lane) are four vectors. Unpacking floats
// (z with normal x, normal y with normal z), then pairs of floats, turns
// them into four vectors
//   quad k = [z nx ny nz of cell k | z nx ny nz of cell k + 4],  k = 0..3,
// and each 128-bit half goes to its record's bytes 8..23 in one store. Only
// interior records are stored; x and y are never written.
//
// AVX-512, 16 cells per pass, whole records, rim included. The 16 records
// are 96 floats, six 64-byte blocks: lane j of block k is member
// (16k + j) mod 6 of cell (16k + j) div 6. Blocks 0..2 hold cells 0..7 and
// blocks 3..5 cells 8..15, laid out alike; with q the cell within its eight,
// each block is one two-source permute of the 32-lane table
//   indices  0.. 7: z of cell q          indices 16..23: normal y of cell q
//   indices  8..15: normal x of cell q   indices 24..31: y of cell q
// (for cells 0..7, low = z | normal x and high = normal y | y of cells 0..7;
// for cells 8..15 the same of cells 8..15). x and the normal's z are no
// table lane: the permute's mask leaves their lanes out, and those keep the
// index vector's own bits, which hold the row's x and the normal's z as
// floats. Lane by lane, a bar between cells, the three index vectors read
//   block 0:  x 24 0 8 16 nz | x 25 1 9 17 nz | x 26 2 10
//   block 1:  18 nz | x 27 3 11 19 nz | x 28 4 12 20 nz | x 29
//   block 2:  5 13 21 nz | x 30 6 14 22 nz | x 31 7 15 23 nz
// For the rim cells (column 0 in a row's first pass, 127 in its last) z and
// the normal's x and y are zeros instead of the cell's values.
//
// The new heights do not go through the records: both kernels convert each
// row of the current heights to double precision once, into one of three
// rolling row buffers (rows r - 1, r and r + 1), and compute d and the new
// height from them in double vectors, 4 cells (AVX2) or 8 (AVX-512) each.
#include "scene/water_step.h"

#include <cfloat>
#include <cstddef>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TARNWICK_WATER_X86 1
#endif

// Double expressions below must be evaluated in double precision, as the
// vector kernels do; a target that evaluates them wider (x87) would give the
// reference other results than the kernels.
static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must be double precision");

namespace {

constexpr int N = WaterSize;
constexpr int Interior = WaterSize - 2; // interior cells per row and per column (126)

constexpr double Carry = 1.995;   // weight of the current height
constexpr double Damping = 0.995; // weight of the previous height
constexpr double Quarter = 0.25;

// One interior cell at index i = r * 128 + c. Every vector kernel must do
// exactly these operations, in this order and precision.
inline void StepCell(const float* a, float* b, TWaterVertex* grid, int i) {
    const float up = a[i - N], down = a[i + N], left = a[i - 1], right = a[i + 1], h = a[i];
    TWaterVertex& v = grid[i];
    v.Z = h;
    v.NormalX = up - down;
    v.NormalY = left - right;
    const float d = float((double(up) + double(down) + double(right) + double(left)) * Quarter - double(h));
    b[i] = float(Carry * double(h) - Damping * double(b[i]) + double(d));
}

void StepScalar(const float* a, float* b, TWaterVertex* grid) {
    for (int r = 1; r <= Interior; ++r)
        for (int c = 1; c <= Interior; ++c)
            StepCell(a, b, grid, r * N + c);
}

#ifdef TARNWICK_WATER_X86

// Both vector kernels make aligned passes over whole rows: a pass covers
// columns c0 .. c0 + width - 1 with c0 a multiple of the width, so the float
// loads of the row and of its neighbours stay inside the field (a pass at
// column 0 reads the previous row's last cell as its left neighbour, one at
// the end of a row the next row's first cell as its right one), and the rim
// columns 0 and 127 are kept out of every height store. The row buffers
// carry a zeroed pad of RowPad doubles on each side for the neighbours of
// the rim columns, whose results are discarded.
constexpr int RowPad = 8;
constexpr int RowLength = RowPad + WaterSize + RowPad;

// ---- AVX2: 8 cells per pass, the new heights in two double vectors of 4.

#define TARNWICK_AVX2 __attribute__((target("avx2")))

TARNWICK_AVX2 void ConvertRowAvx2(const float* heights, double* out) {
    for (int c = 0; c < WaterSize; c += 4)
        _mm256_store_pd(out + c, _mm256_cvtps_pd(_mm_loadu_ps(heights + c)));
}

TARNWICK_AVX2 inline __m128 NewHeightsAvx2(__m256d up, __m256d down, __m256d right, __m256d left, __m256d h,
                                           __m256d prev) {
    const __m256d sum = _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(up, down), right), left);
    const __m256d t = _mm256_sub_pd(_mm256_mul_pd(sum, _mm256_set1_pd(Quarter)), h);
    const __m256d d = _mm256_cvtps_pd(_mm256_cvtpd_ps(t)); // d rounded to single precision
    const __m256d carried = _mm256_mul_pd(_mm256_set1_pd(Carry), h);
    const __m256d damped = _mm256_mul_pd(_mm256_set1_pd(Damping), prev);
    return _mm256_cvtpd_ps(_mm256_add_pd(_mm256_sub_pd(carried, damped), d));
}

TARNWICK_AVX2 void StepAvx2(const float* a, float* b, TWaterVertex* grid) {
    alignas(32) double rows[3][RowLength];
    for (double* row : rows) {
        _mm256_store_pd(row + RowPad - 4, _mm256_setzero_pd());
        _mm256_store_pd(row + RowPad + WaterSize, _mm256_setzero_pd());
    }
    ConvertRowAvx2(a, rows[0] + RowPad);
    ConvertRowAvx2(a + N, rows[1] + RowPad);
    const __m256 nz = _mm256_set1_ps(grid[0].NormalZ);
    for (int r = 1; r <= Interior; ++r) {
        ConvertRowAvx2(a + (r + 1) * N, rows[(r + 1) % 3] + RowPad);
        const double* above = rows[(r - 1) % 3] + RowPad;
        const double* row = rows[r % 3] + RowPad;
        const double* below = rows[(r + 1) % 3] + RowPad;
        for (int c0 = 0; c0 < WaterSize; c0 += 8) {
            const int i = r * N + c0;
            const __m256 prev = _mm256_loadu_ps(b + i);
            __m128 half[2];
            for (int k = 0; k < 2; ++k) {
                const int c = c0 + 4 * k;
                half[k] =
                    NewHeightsAvx2(_mm256_load_pd(above + c), _mm256_load_pd(below + c),
                                   _mm256_loadu_pd(row + c + 1), _mm256_loadu_pd(row + c - 1),
                                   _mm256_load_pd(row + c), _mm256_cvtps_pd(_mm_loadu_ps(b + i + 4 * k)));
            }
            __m256 next = _mm256_insertf128_ps(_mm256_castps128_ps256(half[0]), half[1], 1);
            // The rim cells of the first and last pass keep what they held.
            if (c0 == 0) next = _mm256_blend_ps(next, prev, 0x01);
            if (c0 == WaterSize - 8) next = _mm256_blend_ps(next, prev, 0x80);
            _mm256_storeu_ps(b + i, next);

            const __m256 h = _mm256_loadu_ps(a + i);
            const __m256 nx = _mm256_sub_ps(_mm256_loadu_ps(a + i - N), _mm256_loadu_ps(a + i + N));
            const __m256 ny = _mm256_sub_ps(_mm256_loadu_ps(a + i - 1), _mm256_loadu_ps(a + i + 1));
            const __m256 zx01 = _mm256_unpacklo_ps(h, nx),
                         zx23 = _mm256_unpackhi_ps(h, nx); // cells 0,1 | 4,5
            const __m256 yn01 = _mm256_unpacklo_ps(ny, nz),
                         yn23 = _mm256_unpackhi_ps(ny, nz); // and 2,3 | 6,7
            __m256 quads[4];
            quads[0] = _mm256_castpd_ps(_mm256_unpacklo_pd(_mm256_castps_pd(zx01), _mm256_castps_pd(yn01)));
            quads[1] = _mm256_castpd_ps(_mm256_unpackhi_pd(_mm256_castps_pd(zx01), _mm256_castps_pd(yn01)));
            quads[2] = _mm256_castpd_ps(_mm256_unpacklo_pd(_mm256_castps_pd(zx23), _mm256_castps_pd(yn23)));
            quads[3] = _mm256_castpd_ps(_mm256_unpackhi_pd(_mm256_castps_pd(zx23), _mm256_castps_pd(yn23)));
            for (int k = 0; k < 4; ++k) {
                if (c0 != 0 || k != 0) _mm_storeu_ps(&grid[i + k].Z, _mm256_castps256_ps128(quads[k]));
                if (c0 != WaterSize - 8 || k != 3)
                    _mm_storeu_ps(&grid[i + 4 + k].Z, _mm256_extractf128_ps(quads[k], 1));
            }
        }
    }
}

// ---- AVX-512: 16 cells per pass, the new heights in two double vectors of
// 8, their left and right neighbours shifted in from the row's vectors
// before and after rather than loaded across cache lines.

#define TARNWICK_AVX512 __attribute__((target("avx512f")))

constexpr int PassCells = 16;
constexpr int PassesPerRow = WaterSize / PassCells;
constexpr int GroupBlocks = 3; // 64-byte blocks of records per 8 cells

struct TInterleave {
    std::int32_t Index[GroupBlocks][16];
    std::uint16_t Selected[GroupBlocks]; // lanes taken from the table
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
constexpr __mmask16 AllFloats = 0xFFFF;
constexpr __mmask8 AllDoubles = 0xFF;

TARNWICK_AVX512 inline __m512d CvtPsPd(__m256 x) {
    return _mm512_maskz_cvtps_pd(AllDoubles, x);
}
TARNWICK_AVX512 inline __m256 CvtPdPs(__m512d x) {
    return _mm512_maskz_cvtpd_ps(AllDoubles, x);
}

// Lanes count .. count + 7 of low:high (count 1 or 7).
TARNWICK_AVX512 inline __m512d ShiftIn(__m512d high, __m512d low, int count) {
    const __m512i h = _mm512_castpd_si512(high), l = _mm512_castpd_si512(low);
    return _mm512_castsi512_pd(count == 1 ? _mm512_maskz_alignr_epi64(AllDoubles, h, l, 1)
                                          : _mm512_maskz_alignr_epi64(AllDoubles, h, l, 7));
}

TARNWICK_AVX512 inline __m512 Quarters(__m512 a, __m512 b, int lowOrHigh) {
    // 256-bit halves: the low (0x44) or high (0xEE) half of a, then of b.
    return lowOrHigh == 0x44 ? _mm512_maskz_shuffle_f32x4(AllFloats, a, b, 0x44)
                             : _mm512_maskz_shuffle_f32x4(AllFloats, a, b, 0xEE);
}

TARNWICK_AVX512 void ConvertRowAvx512(const float* heights, double* out) {
    for (int c = 0; c < WaterSize; c += 8)
        _mm512_store_pd(out + c, CvtPsPd(_mm256_loadu_ps(heights + c)));
}

TARNWICK_AVX512 inline __m256 NewHeightsAvx512(__m512d up, __m512d down, __m512d right, __m512d left,
                                               __m512d h, __m512d prev) {
    const __m512d sum = _mm512_add_pd(_mm512_add_pd(_mm512_add_pd(up, down), right), left);
    const __m512d t = _mm512_sub_pd(_mm512_mul_pd(sum, _mm512_set1_pd(Quarter)), h);
    const __m512d d = CvtPsPd(CvtPdPs(t)); // d rounded to single precision
    const __m512d carried = _mm512_mul_pd(_mm512_set1_pd(Carry), h);
    const __m512d damped = _mm512_mul_pd(_mm512_set1_pd(Damping), prev);
    return CvtPdPs(_mm512_add_pd(_mm512_sub_pd(carried, damped), d));
}

TARNWICK_AVX512 void StepAvx512(const float* a, float* b, TWaterVertex* grid) {
    alignas(64) double rows[3][RowLength];
    for (double* row : rows) {
        _mm512_store_pd(row, _mm512_setzero_pd());
        _mm512_store_pd(row + RowPad + WaterSize, _mm512_setzero_pd());
    }
    ConvertRowAvx512(a, rows[0] + RowPad);
    ConvertRowAvx512(a + N, rows[1] + RowPad);

    // y of every column and the normal's z, from row 0 of the grid.
    alignas(64) float ys[WaterSize];
    for (int c = 0; c < WaterSize; ++c)
        ys[c] = grid[c].Y;
    const __m512 nz = _mm512_set1_ps(grid[0].NormalZ);
    __m512 base[GroupBlocks];
    for (int k = 0; k < GroupBlocks; ++k)
        base[k] = _mm512_mask_blend_ps(Interleave.NzLanes[k],
                                       _mm512_castsi512_ps(_mm512_loadu_si512(Interleave.Index[k])), nz);

    for (int r = 1; r <= Interior; ++r) {
        ConvertRowAvx512(a + (r + 1) * N, rows[(r + 1) % 3] + RowPad);
        const double* above = rows[(r - 1) % 3] + RowPad;
        const double* row = rows[r % 3] + RowPad;
        const double* below = rows[(r + 1) % 3] + RowPad;
        const __m512 x = _mm512_set1_ps(grid[r * N].X);
        __m512i index[GroupBlocks];
        for (int k = 0; k < GroupBlocks; ++k)
            index[k] = _mm512_castps_si512(_mm512_mask_blend_ps(Interleave.XLanes[k], base[k], x));
        float* records = &grid[r * N].X;
        // The row in double precision, 8 cells before the current ones and the current ones.
        __m512d before = _mm512_load_pd(row - 8), h = _mm512_load_pd(row);
        // The whole row unrolled: the rim passes' masks and blends become
        // constants, which measures about 6% faster than a rolled loop.
#pragma GCC unroll 8
        for (int pass = 0; pass < PassesPerRow; ++pass) {
            const int c0 = pass * PassCells, i = r * N + c0;
            const __mmask16 inside = InsideMask(pass);

            // The records. The rim cells' z and normal are zero, whatever their heights.
            const __m512 up = _mm512_loadu_ps(a + i - N), down = _mm512_loadu_ps(a + i + N);
            const __m512 z = _mm512_maskz_mov_ps(inside, _mm512_loadu_ps(a + i));
            const __m512 nx = _mm512_maskz_sub_ps(inside, up, down);
            const __m512 ny =
                _mm512_maskz_sub_ps(inside, _mm512_loadu_ps(a + i - 1), _mm512_loadu_ps(a + i + 1));
            const __m512 y = _mm512_load_ps(ys + c0);
            const __m512 low0 = Quarters(z, nx, 0x44), high0 = Quarters(ny, y, 0x44);
            const __m512 low1 = Quarters(z, nx, 0xEE), high1 = Quarters(ny, y, 0xEE);
            float* out = records + pass * PassCells * 6;
            for (int k = 0; k < GroupBlocks; ++k)
                _mm512_storeu_ps(out + 16 * k,
                                 _mm512_mask2_permutex2var_ps(low0, index[k], Interleave.Selected[k], high0));
            for (int k = 0; k < GroupBlocks; ++k)
                _mm512_storeu_ps(out + 16 * (GroupBlocks + k),
                                 _mm512_mask2_permutex2var_ps(low1, index[k], Interleave.Selected[k], high1));

            // The new heights, 8 cells at a time.
            __m256 next[2];
            for (int k = 0; k < 2; ++k) {
                const int c = c0 + 8 * k;
                const __m512d after = _mm512_load_pd(row + c + 8);
                next[k] = NewHeightsAvx512(_mm512_load_pd(above + c), _mm512_load_pd(below + c),
                                           ShiftIn(after, h, 1), ShiftIn(h, before, 7), h,
                                           CvtPsPd(_mm256_loadu_ps(b + i + 8 * k)));
                before = h;
                h = after;
            }
            // The rim cells of the first and last pass keep what they held.
            if (pass == 0) next[0] = _mm256_blend_ps(next[0], _mm256_loadu_ps(b + i), 0x01);
            if (pass == PassesPerRow - 1)
                next[1] = _mm256_blend_ps(next[1], _mm256_loadu_ps(b + i + 8), 0x80);
            _mm256_storeu_ps(b + i, next[0]);
            _mm256_storeu_ps(b + i + 8, next[1]);
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
