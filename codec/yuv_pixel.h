// The integer YUV to RGB terms shared by the two pixels of a pair.
#pragma once
#include <cstdint>

namespace vancodc {

struct ChromaTerms {
    int r, g, b;
};

inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// u and v centred on 0; su and sv are 3/8 of them, rounded toward minus infinity.
inline ChromaTerms MakeChromaTerms(uint8_t U, uint8_t V) {
    const int u = int(U) - 128;
    const int v = int(V) - 128;
    const int su = (3 * u) >> 3;
    const int sv = (3 * v) >> 3;
    return {v + sv, -su - 2 * sv, u + 2 * su};
}

}  // namespace vancodc
