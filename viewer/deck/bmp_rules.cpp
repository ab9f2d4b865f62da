#include "bmp_rules.h"

#include <cstring>

uint32_t BmpColourCount(uint16_t bitCount, uint32_t coloursUsed) {
    if (coloursUsed == 0 && bitCount <= 8) return 1u << bitCount;
    return coloursUsed;
}

uint64_t BmpRowBytes(int64_t width, uint16_t bitCount) {
    return ((static_cast<uint64_t>(width) * bitCount + 31) & ~uint64_t(31)) / 8;
}

BmpVerdict PackedFromBmpFile(const uint8_t* file, size_t length, std::vector<uint8_t>* packed) {
    if (length > kBmpLargestFile) return BmpVerdict::kTooLarge;
    if (!file || length < kBmpFileHeaderBytes + kBmpInfoBytes) return BmpVerdict::kShort;
    if (file[0] != 'B' || file[1] != 'M') return BmpVerdict::kNotBmp;
    const uint32_t fileSize = Le32(file + 2);
    const uint32_t offset = Le32(file + 10);
    const uint8_t* info = file + kBmpFileHeaderBytes;
    if (Le32(info) != kBmpInfoBytes || Le16(info + 12) != 1) return BmpVerdict::kHeader;
    const int32_t width = static_cast<int32_t>(Le32(info + 4));
    const int32_t height = static_cast<int32_t>(Le32(info + 8));
    const uint16_t bits = Le16(info + 14);
    const uint32_t compression = Le32(info + 16);
    const uint32_t imageField = Le32(info + 20);
    const uint32_t used = Le32(info + 32);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return BmpVerdict::kDepth;
    if (compression != 0) return BmpVerdict::kCompression;
    if (width <= 0 || height == 0) return BmpVerdict::kEmpty;
    if (height < 0) return BmpVerdict::kTopDown;
    const uint32_t colours = BmpColourCount(bits, used);
    if (colours > 256 || (bits <= 8 && colours > (1u << bits))) return BmpVerdict::kColours;

    // Every size in 64 bits: the header's own fields may be anything.
    const uint64_t row = BmpRowBytes(width, bits);
    if (row > kBmpLargestFile) return BmpVerdict::kTooLarge;
    const uint64_t image = row * static_cast<uint64_t>(height);
    const uint64_t table = uint64_t(colours) * 4;
    if (image > kBmpLargestFile) return BmpVerdict::kTooLarge;
    if (fileSize > length || fileSize < kBmpFileHeaderBytes + kBmpInfoBytes) return BmpVerdict::kLength;
    if (imageField != 0 && imageField < image) return BmpVerdict::kLength;
    if (offset < kBmpFileHeaderBytes + kBmpInfoBytes + table || uint64_t(offset) + image > fileSize)
        return BmpVerdict::kLength;

    if (!packed) return BmpVerdict::kOk;
    packed->assign(static_cast<size_t>(kBmpInfoBytes + table + image), 0);
    uint8_t* out = packed->data();
    std::memcpy(out, info, kBmpInfoBytes);
    Put32(out + 20, static_cast<uint32_t>(image));
    Put32(out + 32, bits <= 8 ? colours : used);
    std::memcpy(out + kBmpInfoBytes, info + kBmpInfoBytes, static_cast<size_t>(table));
    std::memcpy(out + kBmpInfoBytes + table, file + offset, static_cast<size_t>(image));
    return BmpVerdict::kOk;
}

PackedDibSizes SizesOfPackedDib(const uint8_t* block, size_t blockBytes) {
    PackedDibSizes s{false, 0, 0};
    if (!block || blockBytes < kBmpInfoBytes || Le32(block) != kBmpInfoBytes) return s;
    const int32_t width = static_cast<int32_t>(Le32(block + 4));
    const int32_t height = static_cast<int32_t>(Le32(block + 8));
    const uint16_t bits = Le16(block + 14);
    const uint32_t compression = Le32(block + 16);
    if (bits == 0 || bits > 32 || width < 0) return s;
    s.colours = BmpColourCount(bits, Le32(block + 32));
    if (s.colours > 256) return s;
    uint64_t image = Le32(block + 20);
    if (image == 0) {
        if (compression != 0) return s;
        const uint64_t row = BmpRowBytes(width, bits);
        if (row > UINT32_MAX) return s;
        image = row * static_cast<uint64_t>(height < 0 ? -int64_t(height) : height);
    }
    const uint64_t total = kBmpInfoBytes + uint64_t(s.colours) * 4 + image;
    if (total > blockBytes || image > UINT32_MAX) return s;
    s.imageBytes = static_cast<uint32_t>(image);
    s.valid = true;
    return s;
}

void CompletePackedDibHeader(uint8_t* block, const PackedDibSizes& sizes) {
    if (!sizes.valid) return;
    if (Le32(block + 32) == 0 && Le16(block + 14) <= 8) Put32(block + 32, sizes.colours);
    if (Le32(block + 20) == 0) Put32(block + 20, sizes.imageBytes);
}

std::array<uint8_t, kBmpFileHeaderBytes> BmpFileHeader(uint32_t colours, uint32_t imageBytes) {
    std::array<uint8_t, kBmpFileHeaderBytes> h{};
    const uint32_t offset = colours * 4 + kBmpFileHeaderBytes + kBmpInfoBytes;
    Put16(h.data(), 19778);  // "BM"
    Put32(h.data() + 2, offset + imageBytes);
    Put32(h.data() + 10, offset);
    return h;
}

std::array<uint8_t, kBmpInfoBytes> Rgb24Header(int32_t width, int32_t height, uint32_t imageBytes) {
    std::array<uint8_t, kBmpInfoBytes> h{};
    Put32(h.data(), kBmpInfoBytes);
    Put32(h.data() + 4, static_cast<uint32_t>(width));
    Put32(h.data() + 8, static_cast<uint32_t>(height));
    Put16(h.data() + 12, 1);
    Put16(h.data() + 14, 24);
    Put32(h.data() + 20, imageBytes);
    return h;
}
