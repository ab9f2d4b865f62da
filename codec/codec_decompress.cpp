#include "codec_decompress.h"

#include <cstring>

#include "frame_convert.h"

namespace vancodc {

namespace {

// Frame sizes the conversion and the callers' 32-bit sizes can carry.
bool UsableSize(const FrameHeader& h) {
    if (h.width < 1 || h.width > 0xFFFF || h.height < 1 || h.height > 0xFFFF) return false;
    return uint64_t(h.width) * uint64_t(h.height) * 4 <= 0x7FFFFFFFu;
}

const CodecFormat* SourceRow(const FrameHeader& in) { return FindFormatByCompression(in.compression); }

}  // namespace

FrameHeader ReadFrameHeader(const void* header) {
    FrameHeader h;
    std::memcpy(&h, header, sizeof h);
    return h;
}

uint16_t DecodeFlagsOf(const void* header) {
    const auto* bytes = static_cast<const uint8_t*>(header);
    if (ReadFrameHeader(header).size != 44) return 0;
    return uint16_t(bytes[42] | bytes[43] << 8);
}

uint32_t DestinationIdOf(const FrameHeader& out) {
    if (out.compression == 0 && out.bitCount == 32) return kFormatRgb32;
    const CodecFormat* row = FindFormatForHeader(out.compression, out.bitCount);
    return row ? row->id : 0;
}

int32_t DecompressQuery(const CodecInstance& instance, const void* in, const void* out) {
    if (!in) return kIcErrBadFormat;
    const FrameHeader src = ReadFrameHeader(in);
    if (src.compression == 0 || src.compression != instance.handler) return kIcErrBadFormat;
    if (src.size < 40 || !UsableSize(src)) return kIcErrBadFormat;
    if (!out) return kIcErrOk;

    const FrameHeader dst = ReadFrameHeader(out);
    if (dst.width != src.width || dst.height != src.height) return kIcErrBadFormat;
    const CodecFormat* srcRow = SourceRow(src);
    const uint32_t dstId = DestinationIdOf(dst);
    if (!srcRow || dstId == 0) return kIcErrBadFormat;
    return IsConversionSupported(srcRow->id, dstId) ? kIcErrOk : kIcErrBadFormat;
}

int32_t DecompressGetFormat(const CodecInstance& instance, const void* in, void* out) {
    if (DecompressQuery(instance, in, nullptr) != kIcErrOk) return kIcErrBadFormat;
    const FrameHeader src = ReadFrameHeader(in);
    // The colour table is copied from the caller's header: only as much as a header can hold.
    if (src.clrUsed > kMaxColours || src.size > kMaxHeaderSize) return kIcErrBadFormat;
    if (!out) return int32_t(40 + 4 * src.clrUsed);

    const CodecFormat* srcRow = SourceRow(src);
    uint16_t bits;
    if (srcRow && IsConversionSupported(srcRow->id, kFormatRgb16)) bits = 16;
    else if (srcRow && IsConversionSupported(srcRow->id, kFormatRgb8)) bits = 8;
    else return kIcErrBadFormat;

    FrameHeader dst = src;
    // The colour table follows at offset 40: the header says so, whatever the input's size was.
    dst.size = 40;
    dst.bitCount = bits;
    dst.compression = 0;
    dst.sizeImage = uint32_t((uint32_t(dst.width) * bits + 31) / 32 * 4 * uint32_t(dst.height));
    auto* bytes = static_cast<uint8_t*>(out);
    std::memmove(bytes + 40, static_cast<const uint8_t*>(in) + src.size, size_t(src.clrUsed) * 4);
    std::memcpy(bytes, &dst, sizeof dst);
    return kIcErrOk;
}

int32_t DecompressBegin(CodecInstance& instance, const void* in, const void* out) {
    // The output decides the conversion: a begin needs one.
    if (!out || DecompressQuery(instance, in, out) != kIcErrOk) return kIcErrBadFormat;
    if (instance.decompressBegins++ > 0) return kIcErrOk;

    const CodecFormat* srcRow = SourceRow(ReadFrameHeader(in));
    const FrameHeader dst = ReadFrameHeader(out);
    const CodecFormat* dstRow = FindFormatForHeader(dst.compression, dst.bitCount);
    instance.sourceId = srcRow->id;
    instance.destId = DestinationIdOf(dst);
    instance.decodeFlags = DecodeFlagsOf(in);
    instance.familiesDiffer = dstRow ? srcRow->family != dstRow->family : false;
    return kIcErrOk;
}

int32_t Decompress(CodecInstance& instance, uint32_t flags, const void* in, const void* inData,
                   const void* out, void* outData) {
    if (instance.decompressBegins == 0) {
        const int32_t result = DecompressBegin(instance, in, out);
        if (result != kIcErrOk) return result;
    }
    if (flags & kDecompressHurryUp) return kIcErrOk;

    // The headers of this frame must still describe what was begun, and its buffers must hold
    // what the conversion reads and writes.
    if (!in || !out) return kIcErrBadFormat;
    const FrameHeader src = ReadFrameHeader(in);
    const FrameHeader dst = ReadFrameHeader(out);
    if (!UsableSize(src) || dst.width != src.width || dst.height != src.height ||
        DestinationIdOf(dst) != instance.destId)
        return kIcErrBadFormat;
    const auto width = uint16_t(src.width);
    const auto height = uint16_t(src.height);
    if (!inData || !outData) return kIcErrInternal;
    if (src.sizeImage < SourceBytesRead(instance.sourceId, instance.decodeFlags, width, height))
        return kIcErrInternal;
    if (dst.sizeImage != 0 && dst.sizeImage < DestBytesWritten(instance.destId, width, height))
        return kIcErrInternal;

    uint16_t outWidth = 0;
    uint16_t outHeight = 0;
    const int ok = ConvertFrame(instance.sourceId, instance.decodeFlags,
                                static_cast<const uint8_t*>(inData), width, height, instance.destId,
                                static_cast<uint8_t*>(outData), &outWidth, &outHeight);
    return ok ? kIcErrOk : kIcErrInternal;
}

int32_t DecompressEnd(CodecInstance& instance) {
    if (instance.decompressBegins <= 0) return kIcErrError;
    --instance.decompressBegins;
    return kIcErrOk;
}

int32_t CompressEnd(CodecInstance& instance) {
    if (instance.compressBegins <= 0) return kIcErrError;
    --instance.compressBegins;
    return kIcErrOk;
}

}  // namespace vancodc
