#include "true_to_256.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kvtun {

namespace {

constexpr uint8_t kRampLevels[10] = {17, 34, 68, 85, 119, 136, 170, 187, 221, 238};

// Palette index of level 17 * k on each ramp, k = channel / 16.
constexpr uint8_t kGreyRamp[16] = {0, 1, 2, 83, 3, 4, 126, 5, 6, 169, 7, 8, 212, 9, 10, 255};
constexpr uint8_t kBlueRamp[16] = {0, 11, 12, 41, 13, 14, 42, 15, 16, 43, 17, 18, 44, 19, 20, 45};
constexpr uint8_t kGreenRamp[16] = {0, 21, 22, 46, 23, 24, 52, 25, 26, 58, 27, 28, 64, 29, 30, 70};
constexpr uint8_t kRedRamp[16] = {0, 31, 32, 76, 33, 34, 112, 35, 36, 148, 37, 38, 184, 39, 40, 220};

// Distance weight of a channel difference / 4: a cheap stand-in for its square.
constexpr uint16_t kDistance[64] = {
    0,   1,   3,   5,   7,   10,  13,  16,  19,  22,  26,  30,  34,  38,  42,  46,
    50,  55,  60,  64,  69,  74,  79,  84,  90,  95,  100, 106, 111, 117, 123, 129,
    134, 140, 147, 153, 159, 165, 171, 178, 184, 191, 198, 204, 211, 218, 225, 232,
    239, 246, 253, 260, 267, 274, 282, 289, 297, 304, 312, 319, 327, 335, 343, 350};

constexpr std::array<PaletteColor, 256> MakePalette() {
    std::array<PaletteColor, 256> p{};
    for (int i = 0; i < 10; ++i) {
        const uint8_t l = kRampLevels[i];
        p[1 + i] = {l, l, l};
        p[11 + i] = {l, 0, 0};
        p[21 + i] = {0, l, 0};
        p[31 + i] = {0, 0, l};
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                if (r || g || b)
                    p[40 + 36 * r + 6 * g + b] = {static_cast<uint8_t>(51 * b),
                                                  static_cast<uint8_t>(51 * g),
                                                  static_cast<uint8_t>(51 * r)};
    return p;
}

constexpr std::array<PaletteColor, 256> kPalette = MakePalette();

int Distance(int vb, int vg, int vr, const PaletteColor& c) {
    return kDistance[(vb - c.b) / 4] + kDistance[(vg - c.g) / 4] + kDistance[(vr - c.r) / 4];
}

// Tables of the fast rows. Those indexed by the unclamped sum A (0..637) spare the clamp.
struct FastTables {
    // Per channel, v = min(A, 255): bits 0-7 the channel's part of the cube offset
    // 36 (v / 51) + 6 (v / 51) + (v / 51) (red, green, blue), and v / 16 in a field of four
    // bits of its own (blue 8-11, green 12-15, red 16-19). The three add up without carries.
    uint32_t codeB[640];
    uint32_t codeG[640];
    uint32_t codeR[640];
    // The remainder left when the cube component is chosen; black is the cube's own zero
    // component, so it holds there too.
    uint16_t cubeRemainder[640];
    // By the three v / 16: whether a ramp colour can be a candidate at all. A near-grey has
    // them within one of each other, a colour with two dark channels two of them at most 1.
    uint8_t mayRamp[4096];
    uint16_t cubeDist[256];  // distance weight of v from its cube component
    uint16_t dist[256];      // distance weight of a difference d
    uint8_t ramp[256];       // 17 * (v / 16), the ramp level
    // Grey level 17 j against the cube: its distance from v less the cube colour's, for
    // v >= 17 j. A near-grey takes grey level j when the three add up below zero.
    int16_t greyGain[16][256];
};

constexpr FastTables MakeTables() {
    FastTables t{};
    for (int a = 0; a < 640; ++a) {
        const uint32_t v = a < 255 ? a : 255;
        const uint32_t q = v / 51, q16 = v / 16;
        t.codeB[a] = q | q16 << 8;
        t.codeG[a] = 6 * q | q16 << 12;
        t.codeR[a] = 36 * q | q16 << 16;
        t.cubeRemainder[a] = static_cast<uint16_t>(a < 383 ? a - 51 * q : 0);
    }
    for (int key = 0; key < 4096; ++key) {
        const int b = key & 15, g = (key >> 4) & 15, r = key >> 8;
        const int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
        const int dark = (r <= 1) + (g <= 1) + (b <= 1);
        t.mayRamp[key] = (hi - lo <= 1 || dark >= 2) ? 1 : 0;
    }
    for (int v = 0; v < 256; ++v) {
        t.cubeDist[v] = kDistance[(v - 51 * (v / 51)) / 4];
        t.dist[v] = kDistance[v / 4];
        t.ramp[v] = static_cast<uint8_t>(17 * (v / 16));
    }
    for (int j = 0; j < 16; ++j)
        for (int v = 17 * j; v < 256; ++v)
            t.greyGain[j][v] = static_cast<int16_t>(kDistance[(v - 17 * j) / 4] - t.cubeDist[v]);
    return t;
}

constexpr FastTables kTables = MakeTables();

// A colour with two dark channels (and not a near-grey): the ramp entry of the third channel
// when it beats the cube colour, or -1. Rare, so kept out of line.
[[gnu::noinline]] int DarkRampCandidate(int vb, int vg, int vr) {
    const FastTables& t = kTables;
    const int cubeDist = t.cubeDist[vb] + t.cubeDist[vg] + t.cubeDist[vr];
    int l, dist, index;
    if (vb < 17 && vg < 17) {
        l = t.ramp[vr];
        if (l > vr) return -1;
        dist = t.dist[vb] + t.dist[vg] + t.dist[vr - l];
        index = kRedRamp[vr >> 4];
    } else if (vb < 17) {
        l = t.ramp[vg];
        if (l > vg) return -1;
        dist = t.dist[vb] + t.dist[vg - l] + t.dist[vr];
        index = kGreenRamp[vg >> 4];
    } else {
        l = t.ramp[vb];
        if (l > vb) return -1;
        dist = t.dist[vb - l] + t.dist[vg] + t.dist[vr];
        index = kBlueRamp[vb >> 4];
    }
    return dist < cubeDist ? index : -1;
}

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

const PaletteColor* FixedPalette() { return kPalette.data(); }

void ReduceRowsReference(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                         ptrdiff_t destinationStride, int32_t width, int32_t rows,
                         uint16_t* errorRow) {
    // Entry i of the row (i = -2 .. width) starts at errorRow + (i + 2) * 3.
    auto e = [errorRow](int32_t i, int k) -> uint16_t& { return errorRow[(i + 2) * 3 + k]; };
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* src = source + y * sourceStride;
        uint8_t* dst = destination + y * destinationStride;
        for (int32_t x = 0; x < width; ++x) {
            int a[3], v[3];
            for (int k = 0; k < 3; ++k) {
                a[k] = src[3 * x + k] + (e(x - 1, k) + e(x + 1, k) + e(x - 2, k) + e(x, k)) / 4;
                v[k] = std::min(a[k], 255);
            }
            const int vb = v[0], vg = v[1], vr = v[2];
            int chosen = 40 + 36 * (vr / 51) + 6 * (vg / 51) + vb / 51;
            PaletteColor color = kPalette[chosen];
            if (chosen == 40) {
                chosen = 0;
                color = {0, 0, 0};
            } else {
                int candidate = -1;
                if (std::abs(vb - vg) < 17 && std::abs(vg - vr) < 17 && std::abs(vr - vb) < 17) {
                    candidate = kGreyRamp[std::min({vb, vg, vr}) / 16];
                } else if ((vb < 17) + (vg < 17) + (vr < 17) >= 2) {
                    if (vb < 17 && vg < 17) candidate = kRedRamp[vr / 16];
                    else if (vb < 17) candidate = kGreenRamp[vg / 16];
                    else candidate = kBlueRamp[vb / 16];
                }
                if (candidate >= 0) {
                    const PaletteColor& c = kPalette[candidate];
                    if (c.b <= vb && c.g <= vg && c.r <= vr &&
                        Distance(vb, vg, vr, c) < Distance(vb, vg, vr, color)) {
                        chosen = candidate;
                        color = c;
                    }
                }
            }
            dst[x] = static_cast<uint8_t>(chosen);
            const int component[3] = {color.b, color.g, color.r};
            for (int k = 0; k < 3; ++k)
                e(x, k) = static_cast<uint16_t>(a[k] < 383 ? a[k] - component[k] : 0);
        }
    }
}

void ReduceRowsFast(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                    ptrdiff_t destinationStride, int32_t width, int32_t rows,
                    uint16_t* errorRow) {
    const FastTables& t = kTables;
    uint16_t* const row = errorRow + 6;  // entry of column 0
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* src = source + y * sourceStride;
        uint8_t* dst = destination + y * destinationStride;
        uint16_t* e = row;
        // Per channel two values are carried: the remainder one column back (this row), and
        // the pair sum e[x - 2] + e[x] that the previous pixel formed as its own e[x - 1] +
        // e[x + 1]. At column 0 that is the zero border entry plus the previous row's e[0].
        int b1 = 0, g1 = 0, r1 = 0;
        int cb = e[0], cg = e[1], cr = e[2];
        for (int32_t x = 0; x < width; ++x, src += 3, e += 3) {
            const int pb = b1 + e[3], pg = g1 + e[4], pr = r1 + e[5];
            const int ab = src[0] + ((pb + cb) >> 2);
            const int ag = src[1] + ((pg + cg) >> 2);
            const int ar = src[2] + ((pr + cr) >> 2);
            cb = pb;
            cg = pg;
            cr = pr;
            b1 = t.cubeRemainder[ab];
            g1 = t.cubeRemainder[ag];
            r1 = t.cubeRemainder[ar];
            const uint32_t code = t.codeR[ar] + t.codeG[ag] + t.codeB[ab];
            const int offset = static_cast<int>(code & 0xFF);
            int index = offset ? 40 + offset : 0;
            // Black (offset 0) takes no candidate.
            if (__builtin_expect(t.mayRamp[code >> 8] & (offset != 0), 0)) {
                const int vb = ab < 255 ? ab : 255;
                const int vg = ag < 255 ? ag : 255;
                const int vr = ar < 255 ? ar : 255;
                const int lo = std::min(vb, std::min(vg, vr));
                const int hi = std::max(vb, std::max(vg, vr));
                if (hi - lo < 17) {
                    // Grey level 17 j may not exceed the darkest channel. Taken or not
                    // without a branch: inside grey areas the outcome follows the noise.
                    const int j = lo >> 4;
                    const int16_t* gain = t.greyGain[j];
                    const bool take = ((lo & 15) >= j) & (gain[vb] + gain[vg] + gain[vr] < 0);
                    const int l = 17 * j;
                    index = take ? kGreyRamp[j] : index;
                    b1 = take ? (ab < 383 ? ab - l : 0) : b1;
                    g1 = take ? (ag < 383 ? ag - l : 0) : g1;
                    r1 = take ? (ar < 383 ? ar - l : 0) : r1;
                } else if ((vb < 17) + (vg < 17) + (vr < 17) >= 2) {
                    const int ramp = DarkRampCandidate(vb, vg, vr);
                    if (ramp >= 0) {
                        const PaletteColor& c = kPalette[ramp];
                        index = ramp;
                        b1 = ab < 383 ? ab - c.b : 0;
                        g1 = ag < 383 ? ag - c.g : 0;
                        r1 = ar < 383 ? ar - c.r : 0;
                    }
                }
            }
            dst[x] = static_cast<uint8_t>(index);
            e[0] = static_cast<uint16_t>(b1);
            e[1] = static_cast<uint16_t>(g1);
            e[2] = static_cast<uint16_t>(r1);
        }
    }
}

int32_t TrueTo256(uint8_t* source, uint8_t* destination, ReduceRowsFunction reduce) {
    if (!source || !destination) return -1;
    const int32_t width = static_cast<int32_t>(Le32(source + 4));
    const int32_t height = static_cast<int32_t>(Le32(source + 8));
    // Sizes in 32-bit arithmetic as the header holds them; strides from the same formulas.
    const int64_t dstStride = (static_cast<int64_t>(width) * 8 + 31) / 32 * 4;
    const int64_t srcStride = (static_cast<int64_t>(width) * 24 + 31) / 32 * 4;

    uint8_t* h = destination;
    std::memcpy(h, source, 12);  // size, width, height
    Put16(h + 12, 1);
    Put16(h + 14, 8);
    Put32(h + 16, 0);
    Put32(h + 20, static_cast<uint32_t>(dstStride * height));
    std::memcpy(h + 24, source + 24, 8);  // resolutions
    Put32(h + 32, 0);
    Put32(h + 36, 0);
    Put32(source + 20, static_cast<uint32_t>(srcStride * height));

    // A degenerate frame has no rows to convert; its headers and palette are still written.
    const int32_t rows = height < 0 ? (height == INT32_MIN ? 0 : -height) : height;
    const int32_t columns = width > 0 ? width : 0;
    uint16_t* errorRow = new (std::nothrow) uint16_t[ErrorRowEntries(columns) * 3]();
    if (!errorRow) return -2;

    uint8_t* table = destination + 40;
    for (int i = 0; i < 256; ++i) {
        table[4 * i] = kPalette[i].b;
        table[4 * i + 1] = kPalette[i].g;
        table[4 * i + 2] = kPalette[i].r;
    }
    if (columns > 0)
        reduce(source + 40, static_cast<ptrdiff_t>(srcStride), destination + 1064,
               static_cast<ptrdiff_t>(dstStride), columns, rows, errorRow);
    delete[] errorRow;
    return 0;
}

}  // namespace kvtun
