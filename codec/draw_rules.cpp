#include "draw_rules.h"

#include <algorithm>
#include <cstring>

#include "codec_decompress.h"
#include "stored_size.h"

namespace vancodc {

uint32_t OverlayFormatOf(const void* header) {
    if (!header) return 0;
    const FrameHeader h = ReadFrameHeader(header);
    if (h.size < 40 || h.width < 1 || h.width > 0xFFFF || h.height < 1 || h.height > 0xFFFF) return 0;
    const CodecFormat* row = FindFormatByCompression(h.compression);
    if (!row || h.compression == 0) return 0;
    switch (row->id) {
    case kFormatTy2n:
    case kFormatTy2c:
    case kFormatTy0n:
    case kFormatTy2d: return row->id;
    default: return 0;
    }
}

int32_t DrawQuery(bool usable, const void* header) {
    return usable && OverlayFormatOf(header) != 0 ? kIcErrOk : kIcErrBadFormat;
}

void RecordBegin(DrawRecord& draw, const BeginRequest& request, const Rect32& fullScreenClient) {
    const FrameHeader h = ReadFrameHeader(request.format);
    draw.formatId = OverlayFormatOf(request.format);
    draw.decodeFlags = DecodeFlagsOf(request.format);
    draw.frame = {0, 0, h.width, h.height};
    // Full-size frames keep their size; the reduced formats are stored as the decode flags say.
    if (draw.formatId == kFormatTy2n) {
        draw.storedWidth = uint16_t(h.width);
        draw.storedHeight = uint16_t(h.height);
    } else {
        const StoredSize s = ComputeStoredSize(uint16_t(h.width), uint16_t(h.height), draw.decodeFlags);
        draw.storedWidth = s.width;
        draw.storedHeight = s.height;
    }
    draw.source = {request.srcX, request.srcY, request.srcX + request.srcWidth,
                   request.srcY + request.srcHeight};
    if (request.flags & kDrawFullScreen) draw.destination = fullScreenClient;
    else
        draw.destination = {request.dstX, request.dstY, request.dstX + request.dstWidth,
                            request.dstY + request.dstHeight};
    const auto* bytes = static_cast<const uint8_t*>(request.format);
    draw.quality = h.size == 44 ? uint32_t(bytes[40] | bytes[41] << 8) : 100;
    draw.flipRows = true;
    draw.beginFlags = request.flags;
}

OverlayPlacement PlaceOverlay(const DrawRecord& draw, int32_t x, int32_t y, int32_t w, int32_t h,
                              int32_t screenWidth, int32_t screenHeight) {
    OverlayPlacement p{};
    p.destination = {x, y, x + w, y + h};
    if (draw.source.right - draw.source.left > 320) p.destination.bottom += 2;

    const int64_t fw = draw.frame.right > 0 ? draw.frame.right : 1;
    const int64_t fh = draw.frame.bottom > 0 ? draw.frame.bottom : 1;
    p.source = {int32_t(draw.source.left * int64_t(draw.storedWidth) / fw),
                int32_t(draw.source.top * int64_t(draw.storedHeight) / fh),
                int32_t(draw.source.right * int64_t(draw.storedWidth) / fw),
                int32_t(draw.source.bottom * int64_t(draw.storedHeight) / fh)};

    p.shrinkX = -1;
    p.shrinkY = -1;
    const int32_t sw = p.source.right - p.source.left;
    const int32_t sh = p.source.bottom - p.source.top;
    if (w < sw && sw > 0) {
        p.shrinkX = double(w) / sw;
        p.source.left = int32_t(p.source.left * p.shrinkX);
        p.source.right = int32_t(p.source.right * p.shrinkX);
    }
    if (h < sh && sh > 0) {
        p.shrinkY = double(h) / sh;
        p.source.top = int32_t(p.source.top * p.shrinkY);
        p.source.bottom = int32_t(p.source.bottom * p.shrinkY);
    }

    // What lies off the screen is cut from the source in proportion.
    const int64_t dw = p.destination.right - p.destination.left;
    const int64_t dh = p.destination.bottom - p.destination.top;
    const int64_t cw = p.source.right - p.source.left;
    const int64_t ch = p.source.bottom - p.source.top;
    if (dw > 0) {
        if (p.destination.left < 0) {
            p.source.left += int32_t(-int64_t(p.destination.left) * cw / dw);
            p.destination.left = 0;
        }
        if (p.destination.right > screenWidth) {
            p.source.right -= int32_t((p.destination.right - int64_t(screenWidth)) * cw / dw);
            p.destination.right = screenWidth;
        }
    }
    if (dh > 0) {
        if (p.destination.top < 0) {
            p.source.top += int32_t(-int64_t(p.destination.top) * ch / dh);
            p.destination.top = 0;
        }
        if (p.destination.bottom > screenHeight) {
            p.source.bottom -= int32_t((p.destination.bottom - int64_t(screenHeight)) * ch / dh);
            p.destination.bottom = screenHeight;
        }
    }
    return p;
}

void RepackPlanarToPacked(const uint8_t* planes, uint16_t width, uint16_t height, uint8_t* out) {
    const size_t w = width;
    const size_t chromaW = w / 2;
    const size_t chromaH = size_t(height / 2);
    const uint8_t* u = planes + w * height;
    const uint8_t* v = u + chromaW * chromaH;
    std::memset(out, 0, w * height * 2);
    for (size_t r = 0; r < height; ++r) {
        // An odd last row shares the last chroma row rather than reading past the planes.
        const size_t cr = chromaH ? std::min(r / 2, chromaH - 1) : 0;
        uint8_t* o = out + r * w * 2;
        for (size_t k = 0; k < chromaW; ++k) {
            o[4 * k] = planes[r * w + 2 * k];
            o[4 * k + 1] = chromaH ? u[cr * chromaW + k] : 128;
            o[4 * k + 2] = planes[r * w + 2 * k + 1];
            o[4 * k + 3] = chromaH ? v[cr * chromaW + k] : 128;
        }
    }
}

namespace {

void DecimateRow(const uint8_t* src, size_t srcBytes, uint32_t width, uint32_t wo, uint8_t* dst,
                 size_t dstBytes) {
    uint32_t acc = wo;
    uint32_t taken = 0;
    for (uint32_t t = 0; t < width; ++t) {
        if (acc >= width && taken < wo) {
            acc -= width;
            const size_t l = taken++;
            if (2 * l < dstBytes) dst[2 * l] = src[2 * size_t(t)];
            if (l & 1) {
                // The chroma of the pair that holds t.
                const size_t a = (t & 1) ? 2 * size_t(t) - 1 : 2 * size_t(t) + 1;
                const size_t b = a + 2;
                if (b < srcBytes && 2 * l + 1 < dstBytes) {
                    dst[2 * l - 1] = src[a];
                    dst[2 * l + 1] = src[b];
                }
            }
        }
        acc += wo;
    }
}

}  // namespace

void CopyFrameToOverlay(const uint8_t* frame, uint16_t width, uint16_t height, double shrinkX,
                        double shrinkY, const SurfaceView& surface) {
    if (!frame || !surface.bits || surface.pitch <= 0) return;
    const size_t rowBytes = size_t(width) * 2;
    const size_t limit = std::min(size_t(surface.pitch), size_t(surface.width) * 2);
    const size_t copy = std::min(rowBytes, limit);
    auto sourceRow = [&](uint32_t i) { return frame + size_t(height - 1 - i) * rowBytes; };
    auto surfaceRow = [&](uint32_t n) { return surface.bits + size_t(n) * size_t(surface.pitch); };

    if (shrinkX < 0 && shrinkY < 0) {
        for (uint32_t i = 0; i < height && i < surface.height; ++i)
            std::memcpy(surfaceRow(i), sourceRow(i), copy);
        return;
    }
    const uint32_t wo = shrinkX < 0 ? width : uint32_t(width * shrinkX) & ~3u;
    const uint32_t ho = shrinkY < 0 ? height : uint32_t(height * shrinkY);
    uint32_t acc = ho;
    uint32_t written = 0;
    for (uint32_t i = 0; i < height; ++i) {
        if (acc >= height && written < ho) {
            if (written < surface.height) DecimateRow(sourceRow(i), rowBytes, width, wo, surfaceRow(written), limit);
            ++written;
            acc -= height;
        }
        acc += ho;
    }
}

}  // namespace vancodc
