#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bmp_rules.h"

namespace {

// A BMP file as a writer lays it out: file header, 40-byte header, colours, bottom-up rows.
struct BmpFile {
    int32_t width = 3, height = 2;
    uint16_t bits = 24;
    uint32_t compression = 0, used = 0, imageField = 0;
    uint32_t tableEntries = 0;  // colour table entries written
    int32_t extraOffset = 0;    // a gap between the colour table and the rows
    std::vector<uint8_t> Bytes() const {
        const uint32_t row = uint32_t((uint64_t(width) * bits + 31) / 32 * 4);
        const uint32_t rows = uint32_t(height < 0 ? -height : height);
        const uint32_t offset = 54 + tableEntries * 4 + extraOffset;
        std::vector<uint8_t> f(offset + row * rows);
        f[0] = 'B';
        f[1] = 'M';
        Put32(&f[2], uint32_t(f.size()));
        Put32(&f[10], offset);
        Put32(&f[14], 40);
        Put32(&f[18], uint32_t(width));
        Put32(&f[22], uint32_t(height));
        Put16(&f[26], 1);
        Put16(&f[28], bits);
        Put32(&f[30], compression);
        Put32(&f[34], imageField);
        Put32(&f[46], used);
        for (uint32_t i = 0; i < tableEntries; ++i) f[54 + 4 * i] = uint8_t(i);  // blue = index
        for (size_t i = offset; i < f.size(); ++i) f[i] = uint8_t(i * 7);
        return f;
    }
};

BmpVerdict Check(const std::vector<uint8_t>& f, std::vector<uint8_t>* packed = nullptr) {
    return PackedFromBmpFile(f.data(), f.size(), packed);
}

TEST(BmpRules, GoodFilesOfEveryDepthBecomePackedBitmaps) {
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        BmpFile b;
        b.width = 13;
        b.height = 5;
        b.bits = bits;
        b.tableEntries = bits <= 8 ? (1u << bits) : 0;
        const std::vector<uint8_t> file = b.Bytes();
        std::vector<uint8_t> packed;
        ASSERT_EQ(BmpVerdict::kOk, Check(file, &packed)) << bits;
        const uint32_t row = uint32_t((13 * bits + 31) / 32 * 4);
        const uint32_t colours = bits <= 8 ? 1u << bits : 0;
        ASSERT_EQ(40 + colours * 4 + row * 5, packed.size()) << bits;
        EXPECT_EQ(0, std::memcmp(packed.data(), file.data() + 14, 20)) << "header as in the file";
        EXPECT_EQ(row * 5, Le32(packed.data() + 20)) << "image size filled in";
        EXPECT_EQ(colours, Le32(packed.data() + 32)) << "colour count filled in";
        EXPECT_EQ(0, std::memcmp(packed.data() + 40, file.data() + 54, packed.size() - 40)) << bits;
    }
    // An 8-bit file with 16 colours, a gap before its rows and bytes after them: the rows are
    // taken from their offset, the rest left out.
    BmpFile b;
    b.bits = 8;
    b.used = 16;
    b.tableEntries = 16;
    b.extraOffset = 6;
    std::vector<uint8_t> file = b.Bytes();
    const uint8_t firstRowByte = file[54 + 64 + 6];
    file.push_back(0xAB);
    std::vector<uint8_t> packed;
    ASSERT_EQ(BmpVerdict::kOk, Check(file, &packed));
    ASSERT_EQ(40u + 64 + 8, packed.size());
    EXPECT_EQ(16u, Le32(packed.data() + 32));
    EXPECT_EQ(firstRowByte, packed[104]);
    // A 24-bit file with an optional colour table keeps it.
    b = BmpFile{};
    b.used = 2;
    b.tableEntries = 2;
    ASSERT_EQ(BmpVerdict::kOk, Check(b.Bytes(), &packed));
    EXPECT_EQ(40u + 8 + 24, packed.size());
}

TEST(BmpRules, FilesThatDisagreeWithThemselvesAreRefused) {
    const std::vector<uint8_t> good = BmpFile{}.Bytes();
    auto with = [&](auto change) {
        std::vector<uint8_t> f = good;
        change(f);
        return Check(f);
    };
    EXPECT_EQ(BmpVerdict::kShort, Check(std::vector<uint8_t>(good.begin(), good.begin() + 13)));
    EXPECT_EQ(BmpVerdict::kShort, Check(std::vector<uint8_t>(good.begin(), good.begin() + 53)));
    EXPECT_EQ(BmpVerdict::kNotBmp, with([](auto& f) { f[1] = 'A'; }));
    EXPECT_EQ(BmpVerdict::kHeader, with([](auto& f) { Put32(&f[14], 12); }));
    EXPECT_EQ(BmpVerdict::kHeader, with([](auto& f) { Put32(&f[14], 124); }));
    EXPECT_EQ(BmpVerdict::kHeader, with([](auto& f) { Put16(&f[26], 2); }));
    EXPECT_EQ(BmpVerdict::kDepth, with([](auto& f) { Put16(&f[28], 2); }));
    EXPECT_EQ(BmpVerdict::kDepth, with([](auto& f) { Put16(&f[28], 0); }));
    EXPECT_EQ(BmpVerdict::kCompression, with([](auto& f) { Put32(&f[30], 1); }));  // run lengths
    EXPECT_EQ(BmpVerdict::kCompression, with([](auto& f) { Put32(&f[30], 3); }));  // bit fields
    EXPECT_EQ(BmpVerdict::kEmpty, with([](auto& f) { Put32(&f[18], 0); }));
    EXPECT_EQ(BmpVerdict::kEmpty, with([](auto& f) { Put32(&f[22], 0); }));
    EXPECT_EQ(BmpVerdict::kEmpty, with([](auto& f) { Put32(&f[18], uint32_t(-3)); }));
    EXPECT_EQ(BmpVerdict::kTopDown, with([](auto& f) { Put32(&f[22], uint32_t(-2)); }));
    EXPECT_EQ(BmpVerdict::kTopDown, with([](auto& f) { Put32(&f[22], 0x80000000u); }));
    // Colours: more than the depth holds, or more than 256 on a deep picture.
    BmpFile eight;
    eight.bits = 4;
    eight.used = 17;
    eight.tableEntries = 17;
    EXPECT_EQ(BmpVerdict::kColours, Check(eight.Bytes()));
    BmpFile deep;
    deep.used = 257;
    deep.tableEntries = 257;
    EXPECT_EQ(BmpVerdict::kColours, Check(deep.Bytes()));
    // Lengths: a file size beyond the file, a colour table running into the rows, rows past the
    // end, an image size smaller than the rows, an offset past the end.
    EXPECT_EQ(BmpVerdict::kLength, with([](auto& f) { Put32(&f[2], uint32_t(f.size() + 1)); }));
    EXPECT_EQ(BmpVerdict::kLength, with([](auto& f) { Put32(&f[2], 20); }));
    EXPECT_EQ(BmpVerdict::kLength, with([](auto& f) { Put32(&f[46], 4); }));  // 16 colour bytes over the rows
    EXPECT_EQ(BmpVerdict::kLength, with([](auto& f) { Put32(&f[22], 3); }));  // three rows in the room of two
    EXPECT_EQ(BmpVerdict::kLength, with([](auto& f) { Put32(&f[18], 5); }));  // wider rows
    EXPECT_EQ(BmpVerdict::kLength, with([](auto& f) { Put32(&f[34], 23); }));
    EXPECT_EQ(BmpVerdict::kLength, with([](auto& f) { Put32(&f[10], 0xFFFFFFF0u); }));
    EXPECT_EQ(BmpVerdict::kLength, with([](auto& f) { Put32(&f[10], 40); }));  // rows over the header
    std::vector<uint8_t> cut = good;
    cut.pop_back();
    EXPECT_EQ(BmpVerdict::kLength, Check(cut));
    // Sizes no memory holds, whatever the file's length says.
    EXPECT_EQ(BmpVerdict::kTooLarge, with([](auto& f) {
        Put32(&f[18], 0x7FFFFFFF);
        Put32(&f[22], 0x7FFFFFFF);
    }));
    EXPECT_EQ(BmpVerdict::kTooLarge, with([](auto& f) { Put32(&f[22], 0x7FFFFFFF); }));
    EXPECT_EQ(BmpVerdict::kTooLarge, PackedFromBmpFile(good.data(), size_t(kBmpLargestFile) + 1, nullptr));
}

TEST(BmpRules, SavingWritesTheFileHeaderAndCompletesTheStillsHeader) {
    // A 24-bit still: offset 54, file size 54 + image size.
    auto h = BmpFileHeader(0, 1080 * 270);
    EXPECT_EQ('B', h[0]);
    EXPECT_EQ('M', h[1]);
    EXPECT_EQ(54u + 1080 * 270, Le32(&h[2]));
    EXPECT_EQ(0u, Le32(&h[6]));
    EXPECT_EQ(54u, Le32(&h[10]));

    // An 8-bit still with colours used 0 and image size 0 gets 256 and its image size; offset 1,078.
    std::vector<uint8_t> still(40 + 1024 + 8 * 3);
    Put32(&still[0], 40);
    Put32(&still[4], 5);
    Put32(&still[8], 3);
    Put16(&still[12], 1);
    Put16(&still[14], 8);
    PackedDibSizes s = SizesOfPackedDib(still.data(), still.size());
    ASSERT_TRUE(s.valid);
    EXPECT_EQ(256u, s.colours);
    EXPECT_EQ(24u, s.imageBytes);
    EXPECT_EQ(still.size(), s.Bytes());
    CompletePackedDibHeader(still.data(), s);
    EXPECT_EQ(256u, Le32(&still[32]));
    EXPECT_EQ(24u, Le32(&still[20]));
    h = BmpFileHeader(s.colours, s.imageBytes);
    EXPECT_EQ(1078u, Le32(&h[10]));
    EXPECT_EQ(1078u + 24, Le32(&h[2]));

    // A header that claims more than its block is not written out.
    EXPECT_FALSE(SizesOfPackedDib(still.data(), still.size() - 1).valid);
    Put32(&still[20], 0x7FFFFFFF);
    EXPECT_FALSE(SizesOfPackedDib(still.data(), still.size()).valid);
    EXPECT_FALSE(SizesOfPackedDib(still.data(), 39).valid);

    const auto rgb = Rgb24Header(360, 270, 1080 * 270);
    EXPECT_EQ(40u, Le32(&rgb[0]));
    EXPECT_EQ(360u, Le32(&rgb[4]));
    EXPECT_EQ(270u, Le32(&rgb[8]));
    EXPECT_EQ(1, Le16(&rgb[12]));
    EXPECT_EQ(24, Le16(&rgb[14]));
    EXPECT_EQ(1080u * 270, Le32(&rgb[20]));
}

}  // namespace
