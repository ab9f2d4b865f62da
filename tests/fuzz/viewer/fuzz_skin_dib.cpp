// Any bytes as a skin bitmap resource: a layout the reader calls valid has its colour table and
// every pixel row inside the resource, and the skin's size query agrees with it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin_bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> resource(data, data + size);
    const DibLayout d = ReadDibLayout(resource.data(), resource.size());
    if (d.valid) {
        const uint64_t stride = ((uint64_t(d.width) * d.bitCount + 31) / 32) * 4;
        const uint64_t rows = uint64_t(d.height < 0 ? -int64_t(d.height) : d.height);
        if (d.width <= 0 || rows == 0 || d.pixelOffset + stride * rows > resource.size()) __builtin_trap();
        // Touch the first and last byte of every row, as a blit would.
        volatile uint8_t sum = 0;
        for (uint64_t r = 0; r < rows && stride > 0; ++r) {
            sum = sum + resource[d.pixelOffset + r * stride];
            sum = sum + resource[d.pixelOffset + r * stride + stride - 1];
        }
    }
    SkinBitmap b;
    b.data = resource.data();
    b.size = resource.size();
    int32_t w = -1, h = -1;
    b.Size(w, h);
    if (d.valid ? (w != d.width || h <= 0) : (w != 0 || h != 0)) __builtin_trap();
    return 0;
}
