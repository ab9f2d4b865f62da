// Random headers, decode flags, sizes and frame data through the decompression messages and
// the conversion. Every buffer is exactly as large as the caller would make it, so that any read
// or write the headers' sizes do not allow is caught by the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codec_decompress.h"
#include "codec_instance.h"
#include "cpu_id.h"
#include "frame_convert.h"

using namespace vancodc;

namespace {

struct Reader {
    const uint8_t* p;
    size_t n;
    uint8_t Byte() { return n ? (--n, *p++) : 0; }
    uint16_t Word() { return uint16_t(Byte() | Byte() << 8); }
    uint32_t Dword() { return uint32_t(Word()) | uint32_t(Word()) << 16; }
    void Bytes(uint8_t* dst, size_t count) {
        if (count == 0) return;
        const size_t take = count < n ? count : n;
        std::memcpy(dst, p, take);
        std::memset(dst + take, 0, count - take);
        p += take;
        n -= take;
    }
};

const uint32_t kCodes[] = {FourCC('t', '5', '6', '5'), FourCC('t', 'y', '2', 'n'), FourCC('t', 'y', '2', 'c'),
                           FourCC('t', 'y', '2', 'd'), FourCC('t', 'y', '0', 'n'), FourCC('r', 't', 'c', '3'),
                           FourCC('r', '0', 'r', 'c'), 0};
constexpr size_t kMaxOutput = 8u << 20;

// Header fields chosen mostly near real frames, sometimes anything at all.
void FillHeader(Reader& r, uint8_t* header, uint32_t code) {
    r.Bytes(header, 44);
    const uint8_t shape = r.Byte();
    FrameHeader h = ReadFrameHeader(header);
    if (shape & 1) h.size = (shape & 2) ? 44 : 40;
    if (shape & 4) h.compression = code;
    if (shape & 8) {
        h.width = int32_t(r.Word() % 800);
        h.height = int32_t(r.Word() % 600) * ((shape & 16) ? -1 : 1);
    }
    if (shape & 32) h.clrUsed %= 300;
    std::memcpy(header, &h, sizeof h);
}

void DirectConversion(Reader& r) {
    const uint32_t srcIds[] = {107, 112, 117, 118, 119, 100, 113};
    const uint32_t dstIds[] = {101, 102, 120, 100};
    const uint32_t srcId = srcIds[r.Byte() % 7];
    const uint32_t dstId = dstIds[r.Byte() % 4];
    const uint16_t flags = r.Word();
    const uint16_t w = uint16_t(r.Word() % 1100);
    const uint16_t h = uint16_t(r.Word() % 700);
    std::vector<uint8_t> src(SourceBytesRead(srcId, flags, w, h));
    r.Bytes(src.data(), src.size());
    std::vector<uint8_t> dst(DestBytesWritten(dstId, w, h));
    uint16_t ow = 0, oh = 0;
    ConvertFrame(srcId, flags, src.data(), w, h, dstId, dst.empty() ? nullptr : dst.data(), &ow, &oh);
}

void Messages(Reader& r) {
    SharedCodecState shared{};
    ProcessCodecState process{};
    const uint32_t handler = kCodes[r.Byte() % 8];
    int32_t error = 0;
    CodecInstance* instance = OpenInstance(shared, process, kTypeVidc, handler, r.Byte() % 4, &error);
    if (!instance) return;

    // The input header with room for the largest colour table a header may carry.
    std::vector<uint8_t> in(kMaxHeaderSize + 4 * kMaxColours);
    FillHeader(r, in.data(), handler);
    r.Bytes(in.data() + 44, 64);
    std::vector<uint8_t> out(44);
    FillHeader(r, out.data(), r.Byte() & 1 ? 0 : handler);

    DecompressQuery(*instance, in.data(), nullptr);
    DecompressQuery(*instance, in.data(), out.data());
    const int32_t formatSize = DecompressGetFormat(*instance, in.data(), nullptr);
    if (formatSize > 0) {
        std::vector<uint8_t> format(static_cast<size_t>(formatSize));
        DecompressGetFormat(*instance, in.data(), format.data());
    }
    if (r.Byte() & 1) DecompressBegin(*instance, in.data(), out.data());

    for (int frame = 0; frame < 2; ++frame) {
        // The input holds exactly the image size its header gives; the output what its header
        // describes (its image size, or DWORD rows of its width and bit count).
        FrameHeader src = ReadFrameHeader(in.data());
        // Mostly right at the edge of what the frame needs, else anything small.
        const uint8_t sizing = r.Byte();
        if ((sizing & 3) != 0 && instance->decompressBegins > 0 && src.width > 0 && src.width <= 0xFFFF &&
            src.height > 0 && src.height <= 0xFFFF) {
            const uint64_t needed = SourceBytesRead(instance->sourceId, instance->decodeFlags,
                                                    uint16_t(src.width), uint16_t(src.height));
            const int64_t edge = int64_t(needed) + int8_t(r.Byte()) / 16;
            src.sizeImage = uint32_t(edge < 0 ? 0 : edge > (1 << 21) ? (1 << 21) : edge);
        } else {
            src.sizeImage = r.Dword() % (1u << 16);
        }
        std::memcpy(in.data(), &src, sizeof src);
        std::vector<uint8_t> data(src.sizeImage);
        r.Bytes(data.data(), data.size());

        const FrameHeader dst = ReadFrameHeader(out.data());
        uint64_t outBytes = dst.sizeImage;
        if (outBytes == 0 && dst.width > 0) {
            const uint64_t rows = uint64_t(dst.height < 0 ? -int64_t(dst.height) : dst.height);
            outBytes = (uint64_t(dst.width) * dst.bitCount + 31) / 32 * 4 * rows;
        }
        if (outBytes > kMaxOutput) break;
        std::vector<uint8_t> pixels(outBytes);
        Decompress(*instance, r.Byte() & 0x80 ? kDecompressHurryUp : 0, in.data(),
                   data.empty() ? nullptr : data.data(), out.data(), pixels.empty() ? nullptr : pixels.data());
        if (r.Byte() & 1) FillHeader(r, in.data(), handler);
        if (r.Byte() & 1) FillHeader(r, out.data(), 0);
    }
    DecompressEnd(*instance);
    CloseInstance(shared, instance);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader r{data, size};
    const uint8_t mode = r.Byte();
    MaskCpuFeatures(mode & 0x80 ? 0 : -1);  // both the plain and the fast rows
    if (mode & 1) DirectConversion(r);
    else Messages(r);
    return 0;
}
