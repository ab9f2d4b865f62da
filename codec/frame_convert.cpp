#include "frame_convert.h"

#include <cstring>

#include "codec_format.h"
#include "stored_size.h"

namespace vancodc {

namespace {

// A stored frame is never wider than this (the decode-flag limits).
constexpr int kMaxStoredWidth = 640;

bool IsSource(uint32_t id) {
    return id == kFormatT565 || id == kFormatTy2n || id == kFormatTy2c || id == kFormatTy2d ||
           id == kFormatTy0n;
}

// Rows of a stored YUV frame: packed 4:2:2, or planar 4:2:0 whose rows 2m and 2m+1 share chroma
// row m (a last odd row takes the row after the last, as the planes lie back to back).
struct StoredFrame {
    const uint8_t* base;
    bool planar;
    int width;
    int height;

    int Pairs() const { return width / 2; }

    void Convert(const RowSet& rows, int kind, int r, uint8_t* out) const {
        if (!planar) {
            rows.packed[kind](base + size_t(r) * width * 2, out, Pairs());
            return;
        }
        const size_t chromaStride = size_t(width / 2);
        const uint8_t* u = base + size_t(width) * height + size_t(r / 2) * chromaStride;
        const uint8_t* v = u + chromaStride * size_t(height / 2);
        rows.planar[kind](base + size_t(r) * width, u, v, out, Pairs());
    }
};

// Enlarges or reduces a stored frame to W x H with running accumulators: a pixel is repeated
// while the horizontal sum stays below W, a row while the vertical sum stays below H.
void Stretch(const RowSet& rows, int kind, const StoredFrame& frame, int width, int height,
             uint8_t* dst) {
    const size_t bpp = size_t(kOutBytes[kind]);
    const size_t stride = size_t(width) * bpp;
    const int pixels = frame.Pairs() * 2;
    alignas(16) uint8_t temp[kMaxStoredWidth * 4];

    enum { kSame, kDouble, kAny } mode = kAny;
    if (frame.width == width) mode = kSame;
    else if (2 * frame.width == width) mode = kDouble;

    auto convertRow = [&](int r, uint8_t* out) {
        size_t written = 0;
        if (mode == kSame) {
            frame.Convert(rows, kind, r, out);
            written = size_t(pixels) * bpp;
        } else if (mode == kDouble) {
            if (kind == kOut555) {
                frame.Convert(rows, kOut555, r, temp);
                rows.double16(temp, out, pixels);
            } else {
                frame.Convert(rows, kOut32, r, temp);
                (kind == kOut32 ? rows.double32 : rows.double32To24)(temp, out, pixels);
            }
            written = size_t(pixels) * 2 * bpp;
        } else {
            frame.Convert(rows, kind, r, temp);
            uint32_t b = 0;
            uint8_t* o = out;
            for (int i = 0; i < pixels; ++i) {
                const uint8_t* p = temp + size_t(i) * bpp;
                while (b < uint32_t(width)) {
                    std::memcpy(o, p, bpp);
                    o += bpp;
                    b += uint32_t(frame.width);
                }
                b -= uint32_t(width);
            }
            written = size_t(o - out);
        }
        std::memset(out + written, 0, stride - written);
    };

    uint32_t a = 0;
    uint8_t* out = dst;
    for (int r = 0; r < frame.height; ++r) {
        if (a < uint32_t(height)) {
            uint8_t* first = out;
            convertRow(r, first);
            out += stride;
            a += uint32_t(frame.height);
            while (a < uint32_t(height)) {
                std::memcpy(out, first, stride);
                out += stride;
                a += uint32_t(frame.height);
            }
        }
        a -= uint32_t(height);
    }
}

}  // namespace

int OutKindOf(uint32_t dstId) {
    switch (dstId) {
    case kFormatRgb16: return kOut555;
    case kFormatRgb24: return kOut24;
    case kFormatRgb32: return kOut32;
    default: return -1;
    }
}

bool IsConversionSupported(uint32_t srcId, uint32_t dstId) {
    return IsSource(srcId) && OutKindOf(dstId) >= 0;
}

uint64_t SourceBytesRead(uint32_t srcId, uint16_t decodeFlags, uint16_t width, uint16_t height) {
    switch (srcId) {
    case kFormatT565:
    case kFormatTy2n: return uint64_t(width) * height * 2;
    case kFormatTy2c:
    case kFormatTy2d: {
        const StoredSize s = ComputeStoredSize(width, height, decodeFlags);
        return uint64_t(s.width) * s.height * 2;
    }
    case kFormatTy0n: {
        const StoredSize s = ComputeStoredSize(width, height, decodeFlags);
        if (s.height == 0) return 0;
        const uint64_t chromaRow = s.width / 2;
        // The V plane follows U; the last odd row's chroma lies one row past each plane.
        return uint64_t(s.width) * s.height + chromaRow * (s.height / 2) +
               chromaRow * ((s.height + 1) / 2);
    }
    default: return 0;
    }
}

uint64_t DestBytesWritten(uint32_t dstId, uint16_t width, uint16_t height) {
    const int kind = OutKindOf(dstId);
    return kind < 0 ? 0 : uint64_t(width) * height * uint64_t(kOutBytes[kind]);
}

int ConvertFrameWith(const RowSet& rows, uint32_t srcId, uint16_t decodeFlags, const uint8_t* src,
                     uint16_t width, uint16_t height, uint32_t dstId, uint8_t* dst,
                     uint16_t* outWidth, uint16_t* outHeight) {
    if (outWidth) *outWidth = width;
    if (outHeight) *outHeight = height;
    const int kind = OutKindOf(dstId);
    if (kind < 0 || !IsSource(srcId)) return 0;
    if (!dst) return 1;
    if (!src) return 0;

    const size_t bpp = size_t(kOutBytes[kind]);
    const size_t dstStride = size_t(width) * bpp;
    switch (srcId) {
    case kFormatT565:
        for (int r = 0; r < height; ++r)
            rows.rgb565[kind](src + size_t(r) * width * 2, dst + size_t(r) * dstStride, width);
        return 1;
    case kFormatTy2n: {
        const int pairs = width / 2;
        for (int r = 0; r < height; ++r) {
            uint8_t* out = dst + size_t(r) * dstStride;
            rows.packed[kind](src + size_t(r) * width * 2, out, pairs);
            if (width & 1) std::memset(out + size_t(pairs) * 2 * bpp, 0, bpp);
        }
        return 1;
    }
    default: {
        const StoredSize s = ComputeStoredSize(width, height, decodeFlags);
        if (s.width > kMaxStoredWidth) return 0;
        const StoredFrame frame{src, srcId == kFormatTy0n, s.width, s.height};
        Stretch(rows, kind, frame, width, height, dst);
        return 1;
    }
    }
}

int ConvertFrame(uint32_t srcId, uint16_t decodeFlags, const uint8_t* src, uint16_t width,
                 uint16_t height, uint32_t dstId, uint8_t* dst, uint16_t* outWidth,
                 uint16_t* outHeight) {
    return ConvertFrameWith(SelectedRows(), srcId, decodeFlags, src, width, height, dstId, dst,
                            outWidth, outHeight);
}

}  // namespace vancodc
