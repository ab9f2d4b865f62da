// The reduction with 16 rows at once in AVX2 registers. A pixel needs its own row's two
// previous remainders and the row above's remainders at its column and the next, so row k of a
// band runs two columns behind row k - 1: at step s, lane k works on column s - 2k. Its inputs are
// then the sums of the last two steps' remainders, its own (lane k) and those of the lane above
// (lane k - 1); lane 0 takes the row above from the remainder row, and lane 15 writes its
// remainders back there for the next band.
#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "true_to_256.h"

namespace kvtun {

namespace {

constexpr int kLanes = 16;
constexpr int kSkew = 2 * (kLanes - 1);

// Where lane k's pixel sits among the 16 dwords of a step, so that packing the two halves
// gives the lanes in order.
constexpr int kSlot[kLanes] = {0, 1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7, 12, 13, 14, 15};

alignas(32) constexpr uint8_t kDistance16[32] = {0, 1, 3, 5, 7, 10, 13, 16, 19, 22, 26, 30, 34, 38, 42, 46,
                                                 0, 1, 3, 5, 7, 10, 13, 16, 19, 22, 26, 30, 34, 38, 42, 46};
alignas(32) constexpr uint8_t kCube51[32] = {0, 51, 102, 153, 204, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                             0, 51, 102, 153, 204, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
alignas(32) constexpr uint8_t kGrey16[32] = {0, 1, 2, 83, 3, 4, 126, 5, 6, 169, 7, 8, 212, 9, 10, 255,
                                             0, 1, 2, 83, 3, 4, 126, 5, 6, 169, 7, 8, 212, 9, 10, 255};
alignas(32) constexpr uint8_t kBlue16[32] = {0, 11, 12, 41, 13, 14, 42, 15, 16, 43, 17, 18, 44, 19, 20, 45,
                                             0, 11, 12, 41, 13, 14, 42, 15, 16, 43, 17, 18, 44, 19, 20, 45};
alignas(32) constexpr uint8_t kGreen16[32] = {0, 21, 22, 46, 23, 24, 52, 25, 26, 58, 27, 28, 64, 29, 30, 70,
                                              0, 21, 22, 46, 23, 24, 52, 25, 26, 58, 27, 28, 64, 29, 30, 70};
alignas(32) constexpr uint8_t kRed16[32] = {0, 31, 32, 76, 33, 34, 112, 35, 36, 148, 37, 38, 184, 39, 40, 220,
                                            0, 31, 32, 76, 33, 34, 112, 35, 36, 148, 37, 38, 184, 39, 40, 220};

#define KIVO_AVX2 __attribute__((target("avx2")))

KIVO_AVX2 inline __m256i Load(const uint8_t* table) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(table));
}

// A 16-bit lookup of values below 16 in a byte table (the high byte of each lane is 0).
KIVO_AVX2 inline __m256i Lookup(__m256i table, __m256i index) { return _mm256_shuffle_epi8(table, index); }

// The lanes moved up by one, lane 0 taking `first`.
KIVO_AVX2 inline __m256i ShiftIn(__m256i v, int first) {
    const __m256i low = _mm256_permute2x128_si256(_mm256_set1_epi16(static_cast<short>(first)), v, 0x20);
    return _mm256_alignr_epi8(v, low, 14);
}

KIVO_AVX2 inline __m256i Channel(__m256i a, __m256i b, int shift) {
    const __m256i mask = _mm256_set1_epi32(0xFF);
    return _mm256_packus_epi32(_mm256_and_si256(_mm256_srli_epi32(a, shift), mask),
                               _mm256_and_si256(_mm256_srli_epi32(b, shift), mask));
}

// The candidate's level of a channel: the grey level for a near-grey, the ramp level 17 (v / 16)
// of the one bright channel of a colour with two dark ones, else 0.
KIVO_AVX2 inline __m256i Level(__m256i v, __m256i bright, __m256i greyLevel, __m256i grey) {
    const __m256i k = _mm256_srli_epi16(v, 4);
    const __m256i rampLevel = _mm256_and_si256(bright, _mm256_add_epi16(_mm256_slli_epi16(k, 4), k));
    return _mm256_blendv_epi8(rampLevel, greyLevel, grey);
}

// The distance weight of v from a component below it (differences of the candidates met here
// stay below 64, so a 16-entry table does).
KIVO_AVX2 inline __m256i Distance(__m256i table, __m256i v, __m256i c) {
    return Lookup(table, _mm256_srli_epi16(_mm256_sub_epi16(v, c), 2));
}

// What the chosen component leaves: nothing from 383 on, nothing outside the picture.
KIVO_AVX2 inline __m256i Remainder(__m256i a, __m256i cube, __m256i level, __m256i take, __m256i active,
                                   __m256i c383) {
    const __m256i keep = _mm256_and_si256(active, _mm256_cmpgt_epi16(c383, a));
    return _mm256_and_si256(keep, _mm256_sub_epi16(a, _mm256_blendv_epi8(cube, level, take)));
}

// One band of 16 rows. `pixels` holds for every step the 16 lanes' pixels (blue, green, red and
// a spare byte), `indices` receives the 16 lanes' palette indices of every step.
KIVO_AVX2 void Band(const uint32_t* pixels, uint8_t* indices, int32_t width, uint16_t* errorRow) {
    uint16_t* const row = errorRow + 6;  // entry of column 0
    const __m256i zero = _mm256_setzero_si256();
    const __m256i c17 = _mm256_set1_epi16(17), c255 = _mm256_set1_epi16(255), c383 = _mm256_set1_epi16(383);
    const __m256i c40 = _mm256_set1_epi16(40), c1286 = _mm256_set1_epi16(1286);
    const __m256i c36 = _mm256_set1_epi16(36), c6 = _mm256_set1_epi16(6), one = _mm256_set1_epi16(1);
    const __m256i minusOne = _mm256_set1_epi16(-1), widthV = _mm256_set1_epi16(static_cast<short>(width));
    const __m256i distance = Load(kDistance16), cube = Load(kCube51);
    const __m256i greyT = Load(kGrey16), blueT = Load(kBlue16), greenT = Load(kGreen16), redT = Load(kRed16);
    // Column of each lane at step 0: -2k.
    __m256i column = _mm256_setr_epi16(0, -2, -4, -6, -8, -10, -12, -14, -16, -18, -20, -22, -24, -26, -28, -30);
    __m256i b1 = zero, g1 = zero, r1 = zero, b2 = zero, g2 = zero, r2 = zero;
    const int32_t steps = width + kSkew;
    for (int32_t s = 0; s < steps; ++s, pixels += kLanes, indices += kLanes) {
        const __m256i lo = _mm256_load_si256(reinterpret_cast<const __m256i*>(pixels));
        const __m256i hi = _mm256_load_si256(reinterpret_cast<const __m256i*>(pixels + 8));
        const __m256i sb = Channel(lo, hi, 0), sg = Channel(lo, hi, 8), sr = Channel(lo, hi, 16);
        // The row above lane 0: its remainders at this column and the next.
        int pb = 0, pg = 0, pr = 0;
        if (s < width) {
            const uint16_t* e = row + 3 * s;
            pb = e[0] + e[3];
            pg = e[1] + e[4];
            pr = e[2] + e[5];
        }
        const __m256i qb0 = _mm256_add_epi16(b1, b2), qg0 = _mm256_add_epi16(g1, g2), qr0 = _mm256_add_epi16(r1, r2);
        const __m256i ab = _mm256_add_epi16(sb, _mm256_srli_epi16(_mm256_add_epi16(qb0, ShiftIn(qb0, pb)), 2));
        const __m256i ag = _mm256_add_epi16(sg, _mm256_srli_epi16(_mm256_add_epi16(qg0, ShiftIn(qg0, pg)), 2));
        const __m256i ar = _mm256_add_epi16(sr, _mm256_srli_epi16(_mm256_add_epi16(qr0, ShiftIn(qr0, pr)), 2));
        const __m256i vb = _mm256_min_epu16(ab, c255), vg = _mm256_min_epu16(ag, c255), vr = _mm256_min_epu16(ar, c255);
        const __m256i qb = _mm256_mulhi_epu16(vb, c1286), qg = _mm256_mulhi_epu16(vg, c1286),
                      qr = _mm256_mulhi_epu16(vr, c1286);
        const __m256i cb = Lookup(cube, qb), cg = Lookup(cube, qg), cr = Lookup(cube, qr);
        const __m256i offset =
            _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(qr, c36), _mm256_mullo_epi16(qg, c6)), qb);
        const __m256i black = _mm256_cmpeq_epi16(offset, zero);
        const __m256i cubeIndex = _mm256_andnot_si256(black, _mm256_add_epi16(offset, c40));

        // Candidates: a grey level for a near-grey, a ramp level for a colour with two dark channels.
        const __m256i low = _mm256_min_epu16(vb, _mm256_min_epu16(vg, vr));
        const __m256i high = _mm256_max_epu16(vb, _mm256_max_epu16(vg, vr));
        const __m256i grey = _mm256_andnot_si256(black, _mm256_cmpgt_epi16(c17, _mm256_sub_epi16(high, low)));
        const __m256i darkB = _mm256_cmpgt_epi16(c17, vb), darkG = _mm256_cmpgt_epi16(c17, vg),
                      darkR = _mm256_cmpgt_epi16(c17, vr);
        const __m256i brightR = _mm256_and_si256(darkB, darkG);
        const __m256i brightG = _mm256_andnot_si256(darkG, _mm256_and_si256(darkB, darkR));
        const __m256i brightB = _mm256_andnot_si256(darkB, _mm256_and_si256(darkG, darkR));
        const __m256i ramp = _mm256_andnot_si256(_mm256_or_si256(grey, black),
                                                 _mm256_or_si256(brightR, _mm256_or_si256(brightG, brightB)));
        const __m256i j = _mm256_srli_epi16(low, 4);
        const __m256i greyLevel = _mm256_add_epi16(_mm256_slli_epi16(j, 4), j);
        const __m256i lb = Level(vb, brightB, greyLevel, grey), lg = Level(vg, brightG, greyLevel, grey),
                      lr = Level(vr, brightR, greyLevel, grey);
        // No component may exceed the colour.
        const __m256i over = _mm256_or_si256(_mm256_subs_epu16(lb, vb),
                                             _mm256_or_si256(_mm256_subs_epu16(lg, vg), _mm256_subs_epu16(lr, vr)));
        const __m256i valid = _mm256_cmpeq_epi16(over, zero);
        const __m256i candidateDistance = _mm256_add_epi16(
            _mm256_add_epi16(Distance(distance, vb, lb), Distance(distance, vg, lg)), Distance(distance, vr, lr));
        const __m256i cubeDistance = _mm256_add_epi16(
            _mm256_add_epi16(Distance(distance, vb, cb), Distance(distance, vg, cg)), Distance(distance, vr, cr));
        const __m256i take = _mm256_and_si256(_mm256_and_si256(_mm256_or_si256(grey, ramp), valid),
                                              _mm256_cmpgt_epi16(cubeDistance, candidateDistance));
        __m256i candidate = _mm256_and_si256(brightB, Lookup(blueT, _mm256_srli_epi16(vb, 4)));
        candidate = _mm256_blendv_epi8(candidate, Lookup(greenT, _mm256_srli_epi16(vg, 4)), brightG);
        candidate = _mm256_blendv_epi8(candidate, Lookup(redT, _mm256_srli_epi16(vr, 4)), brightR);
        candidate = _mm256_blendv_epi8(candidate, Lookup(greyT, j), grey);
        const __m256i index = _mm256_blendv_epi8(cubeIndex, candidate, take);

        // Remainders: none past 382 and none outside the picture.
        const __m256i active =
            _mm256_and_si256(_mm256_cmpgt_epi16(column, minusOne), _mm256_cmpgt_epi16(widthV, column));
        b2 = b1;
        g2 = g1;
        r2 = r1;
        b1 = Remainder(ab, cb, lb, take, active, c383);
        g1 = Remainder(ag, cg, lg, take, active, c383);
        r1 = Remainder(ar, cr, lr, take, active, c383);
        column = _mm256_add_epi16(column, one);

        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(index, index), 0x08);
        _mm_store_si128(reinterpret_cast<__m128i*>(indices), _mm256_castsi256_si128(packed));
        const int32_t last = s - kSkew;
        if (last >= 0 && last < width) {
            uint16_t* e = row + 3 * last;
            e[0] = static_cast<uint16_t>(_mm256_extract_epi16(b1, 15));
            e[1] = static_cast<uint16_t>(_mm256_extract_epi16(g1, 15));
            e[2] = static_cast<uint16_t>(_mm256_extract_epi16(r1, 15));
        }
    }
}

// Aligned scratch of the bands.
template <typename T>
struct Aligned {
    explicit Aligned(size_t n) : raw(new (std::nothrow) uint8_t[n * sizeof(T) + 32]) {
        if (raw) data = reinterpret_cast<T*>((reinterpret_cast<uintptr_t>(raw) + 31) & ~uintptr_t(31));
    }
    ~Aligned() { delete[] raw; }
    uint8_t* raw;
    T* data = nullptr;
};

}  // namespace

bool HasAvx2() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // Reports AVX2 only where the system also saves the wide registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

void ReduceRowsAvx2(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                    ptrdiff_t destinationStride, int32_t width, int32_t rows, uint16_t* errorRow) {
    const int32_t bands = width >= 32 && width < 32000 ? rows / kLanes : 0;
    const size_t steps = static_cast<size_t>(width) + kSkew;
    Aligned<uint32_t> pixels(bands ? steps * kLanes : 0);
    Aligned<uint8_t> indices(bands ? steps * kLanes : 0);
    const int32_t done = pixels.data && indices.data ? bands * kLanes : 0;
    if (done) std::memset(pixels.data, 0, steps * kLanes * sizeof(uint32_t));
    for (int32_t y0 = 0; y0 < done; y0 += kLanes) {
        for (int k = 0; k < kLanes; ++k) {
            const uint8_t* src = source + (y0 + k) * sourceStride;
            uint32_t* to = pixels.data + 2 * k * kLanes + kSlot[k];
            for (int32_t x = 0; x + 1 < width; ++x, src += 3, to += kLanes) std::memcpy(to, src, 4);
            *to = src[0] | src[1] << 8 | src[2] << 16;  // the last pixel may end its buffer
        }
        Band(pixels.data, indices.data, width, errorRow);
        for (int k = 0; k < kLanes; ++k) {
            uint8_t* dst = destination + (y0 + k) * destinationStride;
            const uint8_t* from = indices.data + 2 * k * kLanes + k;
            for (int32_t x = 0; x < width; ++x, from += kLanes) dst[x] = *from;
        }
    }
    // Rows left over (and narrow pictures) take the scalar rows, on the same remainder row.
    if (done < rows)
        ReduceRowsFast(source + done * sourceStride, sourceStride, destination + done * destinationStride,
                       destinationStride, width, rows - done, errorRow);
}

void ReduceRowsBest(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                    ptrdiff_t destinationStride, int32_t width, int32_t rows, uint16_t* errorRow) {
    // Asked once; a plain flag, no guarded static.
    static int avx2 = -1;
    if (avx2 < 0) avx2 = HasAvx2() ? 1 : 0;
    (avx2 ? ReduceRowsAvx2 : ReduceRowsFast)(source, sourceStride, destination, destinationStride, width, rows,
                                             errorRow);
}

}  // namespace kvtun
