#include "skin_range.h"

#include <algorithm>

// The quotients are evaluated in 64 bits so that wide ranges cannot overflow; the results are
// those of the 32-bit formulas wherever those do not overflow.

void SkinRange::Init(int32_t mn, int32_t mx, int32_t v, int32_t pmn, int32_t pmx) {
    min = mn;
    max = std::max(mx, mn);
    pixMin = pmn;
    pixMax = std::max(pmx, pmn);
    SetValue(v);
}

int32_t SkinRange::SetValue(int32_t v) {
    value = std::clamp(v, min, max);
    return value;
}

void SkinRange::SetMax(int32_t m) {
    max = m;
    if (value > m) value = m;
}

int SkinRange::StepUp(int32_t d) {
    if (value >= max) return 0;
    value = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(value) + d, max));
    return 1;
}

int SkinRange::StepDown(int32_t d) {
    if (value <= min) return 0;
    value = static_cast<int32_t>(std::max<int64_t>(static_cast<int64_t>(value) - d, min));
    return 1;
}

int32_t SkinRange::ToPixel() const {
    if (min == max || pixMin == pixMax) return pixMin;
    int64_t span = static_cast<int64_t>(max) - min, pixels = static_cast<int64_t>(pixMax) - pixMin;
    int64_t half = span / pixels / 2;
    return static_cast<int32_t>(pixMin + (half + value - min) * pixels / span);
}

int32_t SkinRange::FromPixel(int32_t p) const {
    p = std::clamp(p, pixMin, pixMax);
    if (min == max || pixMin == pixMax) return min;
    int64_t span = static_cast<int64_t>(max) - min, pixels = static_cast<int64_t>(pixMax) - pixMin;
    int64_t half = pixels / span / 2;
    return static_cast<int32_t>(min + (half + p - pixMin) * span / pixels);
}

int SkinRange::SetValueAndReport(int32_t v) {
    int32_t before = ToPixel();
    SetValue(v);
    return ToPixel() != before ? 1 : 0;
}

int SkinRange::SetFromPixel(int32_t p) {
    int32_t v = FromPixel(p);
    if (v == value) return 0;
    SetValue(v);
    return 1;
}
