// Value-to-pixel mapping of sliders and gauges. Portable.
#pragma once
#include <cstdint>

struct SkinRange {
    int32_t value = 0, min = 0, max = 0, pixMin = 0, pixMax = 0;

    void Init(int32_t min, int32_t max, int32_t value, int32_t pixMin, int32_t pixMax);
    int32_t SetValue(int32_t v);
    void SetMax(int32_t m);
    int StepUp(int32_t d);
    int StepDown(int32_t d);
    int32_t ToPixel() const;
    int32_t FromPixel(int32_t p) const;
    int SetValueAndReport(int32_t v);
    int SetFromPixel(int32_t p);
};
