// Any bytes as a BMP file: either refused, or a packed bitmap whose header, colours and rows
// are all inside it and that the saving reads back with the same sizes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bmp_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> packed;
    if (PackedFromBmpFile(data, size, &packed) != BmpVerdict::kOk) return 0;
    const PackedDibSizes sizes = SizesOfPackedDib(packed.data(), packed.size());
    if (!sizes.valid || sizes.Bytes() != packed.size()) std::abort();
    const auto header = BmpFileHeader(sizes.colours, sizes.imageBytes);
    // Saved and loaded again, the picture is the same.
    std::vector<uint8_t> file(header.begin(), header.end());
    file.insert(file.end(), packed.begin(), packed.end());
    std::vector<uint8_t> again;
    if (PackedFromBmpFile(file.data(), file.size(), &again) != BmpVerdict::kOk || again != packed) std::abort();
    return 0;
}
