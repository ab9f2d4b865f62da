// The driver's records and decompression messages, without the system around them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "codec_decompress.h"
#include "codec_instance.h"
#include "frame_convert.h"

using namespace vancodc;

namespace {

// A 40- or 44-byte header with room for a colour table behind it.
struct Header {
    alignas(4) uint8_t bytes[44 + 1024] = {};

    Header(uint32_t compression, int32_t w, int32_t h, uint16_t bits, uint32_t size = 44,
           uint16_t flags = 0) {
        FrameHeader f{};
        f.size = size;
        f.width = w;
        f.height = h;
        f.planes = 1;
        f.bitCount = bits;
        f.compression = compression;
        f.sizeImage = 0;
        std::memcpy(bytes, &f, sizeof f);
        if (size == 44) {
            bytes[40] = 100;
            bytes[42] = uint8_t(flags);
            bytes[43] = uint8_t(flags >> 8);
        }
    }
    FrameHeader Get() const { return ReadFrameHeader(bytes); }
    void SetImageSize(uint32_t n) { std::memcpy(bytes + 20, &n, 4); }
    void SetColours(uint32_t n) { std::memcpy(bytes + 32, &n, 4); }
};

const uint32_t kTy0n = FourCC('t', 'y', '0', 'n');
const uint32_t kTy2n = FourCC('t', 'y', '2', 'n');
const uint32_t kT565 = FourCC('t', '5', '6', '5');

class CodecMessages : public ::testing::Test {
protected:
    SharedCodecState shared{};
    ProcessCodecState process{};
    std::vector<CodecInstance*> open;

    CodecInstance* Open(uint32_t handler, uint32_t type = kTypeVidc, uint32_t flags = 2) {
        int32_t error = 77;
        CodecInstance* i = OpenInstance(shared, process, type, handler, flags, &error);
        if (i) {
            EXPECT_EQ(error, 0);
            open.push_back(i);
        }
        lastError = error;
        return i;
    }
    void TearDown() override {
        for (CodecInstance* i : open) CloseInstance(shared, i);
        EXPECT_EQ(shared.instanceCount, 0);
    }
    int32_t lastError = 0;
};

}  // namespace

TEST_F(CodecMessages, LoadBuildsTheDefaultFrameOnce) {
    EXPECT_EQ(LoadDriver(shared), 1);
    EXPECT_EQ(shared.loadCount, 1);
    EXPECT_EQ(shared.defaultQuality, 100);
    EXPECT_EQ(shared.defaultFrame.imageSize, 345600u);
    EXPECT_EQ(shared.defaultFrame.formatId, 100u);
    EXPECT_EQ(LoadDriver(shared), 1);
    EXPECT_EQ(shared.loadCount, 2);
    // Freeing lowers the count only in a process that opened.
    FreeDriver(shared, process);
    EXPECT_EQ(shared.loadCount, 2);
    ASSERT_NE(Open(kTy0n), nullptr);
    EXPECT_TRUE(process.opened);
    FreeDriver(shared, process);
    EXPECT_EQ(shared.loadCount, 1);
    EXPECT_FALSE(process.opened);
}

TEST_F(CodecMessages, OpenRules) {
    EXPECT_EQ(Open(kTy0n, kTypeVidc, 1), nullptr);  // compression
    EXPECT_EQ(lastError, 77);
    EXPECT_EQ(Open(kTy0n, FourCC('a', 'u', 'd', 'c')), nullptr);
    EXPECT_EQ(Open(FourCC('a', 'b', 'c', 'd')), nullptr);
    EXPECT_EQ(shared.instanceCount, 0);

    CodecInstance* ty0n = Open(kTy0n, kTypeVids, 0);
    ASSERT_NE(ty0n, nullptr);
    EXPECT_EQ(ty0n->number, 1u);
    EXPECT_STREQ(ty0n->description, "Overlay YUV420");
    EXPECT_STREQ(process.lastDescription, "Overlay YUV420");
    CodecInstance* draw = Open(kHandlerDraw);
    ASSERT_NE(draw, nullptr);
    EXPECT_STREQ(draw->description, "VIDS.DRAW Driver");

    for (int i = 3; i <= 10; ++i) ASSERT_NE(Open(kTy2n), nullptr) << i;
    EXPECT_EQ(shared.instanceCount, 10);
    EXPECT_EQ(Open(kTy2n), nullptr);
    EXPECT_EQ(lastError, kIcErrMemory);
    // A close gives the number back.
    CloseInstance(shared, open.back());
    open.pop_back();
    EXPECT_NE(Open(kT565), nullptr);
}

TEST_F(CodecMessages, DecompressQuery) {
    CodecInstance* i = Open(kTy0n);
    ASSERT_NE(i, nullptr);
    const Header in(kTy0n, 320, 240, 12, 44, 0x0C);
    EXPECT_EQ(DecompressQuery(*i, in.bytes, nullptr), 0);
    EXPECT_EQ(DecompressQuery(*i, nullptr, nullptr), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, Header(kTy2n, 320, 240, 16).bytes, nullptr), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, Header(0, 320, 240, 16).bytes, nullptr), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, in.bytes, Header(0, 320, 240, 16, 40).bytes), 0);
    EXPECT_EQ(DecompressQuery(*i, in.bytes, Header(0, 320, 240, 24, 44).bytes), 0);
    EXPECT_EQ(DecompressQuery(*i, in.bytes, Header(0, 320, 240, 32, 40).bytes), 0);
    EXPECT_EQ(DecompressQuery(*i, in.bytes, Header(0, 320, 240, 8, 40).bytes), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, in.bytes, Header(0, 160, 240, 16, 40).bytes), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, in.bytes, Header(0, 320, -240, 16, 40).bytes), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, in.bytes, Header(kT565, 320, 240, 16, 40).bytes), kIcErrBadFormat);
    // Sizes no frame can have.
    EXPECT_EQ(DecompressQuery(*i, Header(kTy0n, 0, 240, 12).bytes, nullptr), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, Header(kTy0n, 320, -240, 12).bytes, nullptr), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, Header(kTy0n, 65536, 2, 12).bytes, nullptr), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, Header(kTy0n, 60000, 60000, 12).bytes, nullptr), kIcErrBadFormat);
    EXPECT_EQ(DecompressQuery(*i, Header(kTy0n, 320, 240, 12, 12).bytes, nullptr), kIcErrBadFormat);

    // 8-bit output fails for every input.
    for (uint32_t code : {kTy2n, kT565, FourCC('t', 'y', '2', 'c'), FourCC('t', 'y', '2', 'd')}) {
        CodecInstance* other = Open(code);
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(DecompressQuery(*other, Header(code, 64, 64, 16).bytes, Header(0, 64, 64, 8, 40).bytes),
                  kIcErrBadFormat);
        EXPECT_EQ(DecompressQuery(*other, Header(code, 64, 64, 16).bytes, Header(0, 64, 64, 24, 40).bytes), 0);
    }
}

TEST_F(CodecMessages, DecompressGetFormatChooses16Bits) {
    CodecInstance* i = Open(kTy2n);
    ASSERT_NE(i, nullptr);
    Header in(kTy2n, 320, 240, 16, 40);
    EXPECT_EQ(DecompressGetFormat(*i, in.bytes, nullptr), 40);
    in.SetColours(3);
    const uint8_t table[12] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
    std::memcpy(in.bytes + 40, table, sizeof table);
    EXPECT_EQ(DecompressGetFormat(*i, in.bytes, nullptr), 52);

    Header out(0, 1, 1, 1, 40);
    std::memset(out.bytes, 0xEE, sizeof out.bytes);
    EXPECT_EQ(DecompressGetFormat(*i, in.bytes, out.bytes), 0);
    const FrameHeader f = out.Get();
    EXPECT_EQ(f.size, 40u);
    EXPECT_EQ(f.width, 320);
    EXPECT_EQ(f.height, 240);
    EXPECT_EQ(f.bitCount, 16);
    EXPECT_EQ(f.compression, 0u);
    EXPECT_EQ(f.sizeImage, 153600u);
    EXPECT_EQ(f.clrUsed, 3u);
    EXPECT_EQ(0, std::memcmp(out.bytes + 40, table, sizeof table));
    EXPECT_EQ(out.bytes[52], 0xEE);

    // A 44-byte input keeps its table behind its own header.
    CodecInstance* t = Open(kTy0n);
    Header in44(kTy0n, 321, 10, 12, 44, 0x0C);
    in44.SetColours(1);
    in44.bytes[44] = 0x5A;
    EXPECT_EQ(DecompressGetFormat(*t, in44.bytes, out.bytes), 0);
    EXPECT_EQ(out.Get().size, 40u);
    EXPECT_EQ(out.Get().sizeImage, (321u * 16 + 31) / 32 * 4 * 10);
    EXPECT_EQ(out.bytes[40], 0x5A);

    // Colour counts no header holds are refused before anything is copied.
    in.SetColours(100000);
    EXPECT_EQ(DecompressGetFormat(*i, in.bytes, out.bytes), kIcErrBadFormat);
    EXPECT_EQ(DecompressGetFormat(*i, Header(kT565, 8, 8, 16).bytes, nullptr), kIcErrBadFormat);
}

TEST_F(CodecMessages, BeginDecompressEnd) {
    CodecInstance* i = Open(kTy0n);
    ASSERT_NE(i, nullptr);
    EXPECT_EQ(DecompressEnd(*i), kIcErrError);
    EXPECT_EQ(CompressEnd(*i), kIcErrError);

    Header in(kTy0n, 64, 48, 12, 44, 0x03);  // stored 32 x 24
    Header out(0, 64, 48, 32, 40);
    EXPECT_EQ(DecompressBegin(*i, in.bytes, nullptr), kIcErrBadFormat);
    EXPECT_EQ(DecompressBegin(*i, in.bytes, out.bytes), 0);
    EXPECT_EQ(i->sourceId, 118u);
    EXPECT_EQ(i->destId, uint32_t(kFormatRgb32));
    EXPECT_EQ(i->decodeFlags, 0x03);
    EXPECT_FALSE(i->familiesDiffer);
    EXPECT_EQ(DecompressBegin(*i, in.bytes, Header(0, 64, 48, 16, 40).bytes), 0);
    EXPECT_EQ(i->decompressBegins, 2);
    EXPECT_EQ(i->destId, uint32_t(kFormatRgb32));  // only the first begin stores

    std::vector<uint8_t> data(32 * 24 * 3 / 2, 90), pixels(64 * 48 * 4, 0xCD);
    in.SetImageSize(uint32_t(data.size()));
    EXPECT_EQ(Decompress(*i, kDecompressHurryUp, in.bytes, data.data(), out.bytes, pixels.data()), 0);
    EXPECT_EQ(pixels[0], 0xCD);
    EXPECT_EQ(Decompress(*i, 0, in.bytes, data.data(), out.bytes, pixels.data()), 0);
    std::vector<uint8_t> expected(pixels.size());
    ConvertFrame(118, 0x03, data.data(), 64, 48, kFormatRgb32, expected.data(), nullptr, nullptr);
    EXPECT_EQ(pixels, expected);

    EXPECT_EQ(DecompressEnd(*i), 0);
    EXPECT_EQ(DecompressEnd(*i), 0);
    EXPECT_EQ(DecompressEnd(*i), kIcErrError);
    // Without a begin the frame begins with its own headers.
    EXPECT_EQ(Decompress(*i, 0, in.bytes, data.data(), Header(0, 64, 48, 24, 40).bytes, pixels.data()), 0);
    EXPECT_EQ(i->destId, uint32_t(kFormatRgb24));
    EXPECT_EQ(Decompress(*i, 0, in.bytes, data.data(), Header(0, 64, 48, 8, 40).bytes, pixels.data()),
              kIcErrBadFormat);
}

// Headers that do not match their data are refused before a byte is read or written.
TEST_F(CodecMessages, FramesThatDoNotMatchTheirHeadersAreRefused) {
    CodecInstance* i = Open(kTy2n);
    ASSERT_NE(i, nullptr);
    Header in(kTy2n, 32, 8, 16, 40);
    Header out(0, 32, 8, 24, 40);
    ASSERT_EQ(DecompressBegin(*i, in.bytes, out.bytes), 0);
    std::vector<uint8_t> data(32 * 8 * 2, 128), pixels(32 * 8 * 3);

    in.SetImageSize(uint32_t(data.size() - 1));
    EXPECT_EQ(Decompress(*i, 0, in.bytes, data.data(), out.bytes, pixels.data()), kIcErrInternal);
    in.SetImageSize(0);
    EXPECT_EQ(Decompress(*i, 0, in.bytes, data.data(), out.bytes, pixels.data()), kIcErrInternal);
    in.SetImageSize(uint32_t(data.size()));
    EXPECT_EQ(Decompress(*i, 0, in.bytes, data.data(), out.bytes, pixels.data()), 0);

    // A larger frame than was begun, with an output that still says the old size.
    Header big(kTy2n, 64, 8, 16, 40);
    big.SetImageSize(uint32_t(data.size()));
    EXPECT_EQ(Decompress(*i, 0, big.bytes, data.data(), out.bytes, pixels.data()), kIcErrBadFormat);
    // An output whose image size is too small for the frame.
    Header small(0, 32, 8, 24, 40);
    small.SetImageSize(32 * 8 * 3 - 1);
    EXPECT_EQ(Decompress(*i, 0, in.bytes, data.data(), small.bytes, pixels.data()), kIcErrInternal);
    // Another output depth than was begun.
    EXPECT_EQ(Decompress(*i, 0, in.bytes, data.data(), Header(0, 32, 8, 16, 40).bytes, pixels.data()),
              kIcErrBadFormat);
    EXPECT_EQ(Decompress(*i, 0, in.bytes, nullptr, out.bytes, pixels.data()), kIcErrInternal);
    EXPECT_EQ(Decompress(*i, 0, in.bytes, data.data(), out.bytes, nullptr), kIcErrInternal);
    EXPECT_EQ(Decompress(*i, 0, nullptr, data.data(), out.bytes, pixels.data()), kIcErrBadFormat);
}
