#include "decompressor_lookup.h"

#include <cstring>

#include "viewer_state.h"

HIC LocateDecompressor(BITMAPINFOHEADER* in, BITMAPINFOHEADER* out) {
    // Wine's look-up lists the installed decoders through ICInfo, which leaves a registry key
    // open for each one it lists: asking the format's handler first keeps that off the usual path.
    if (in->biCompression != BI_RGB) {
        if (HIC own = ICOpen(ICTYPE_VIDEO, in->biCompression, ICMODE_DECOMPRESS)) {
            if (ICDecompressQuery(own, in, out) == ICERR_OK) return own;
            ICClose(own);
        }
    }
    return ICLocate(ICTYPE_VIDEO, 0, in, out, ICMODE_DECOMPRESS);
}

HIC OpenFrameDecompressor(const uint8_t (&captureRecord)[44]) {
    VideoFormatHeader* in = g_viewer.formatIn;
    VideoFormatHeader* out = g_viewer.formatOut;
    if (!in || !out) return nullptr;
    std::memcpy(in, captureRecord, sizeof *in);
    in->header.biSize = sizeof *in;
    const LONG w = in->header.biWidth, h = in->header.biHeight;
    if (w <= 0 || h <= 0) return nullptr;
    std::memset(out, 0, sizeof *out);
    out->header.biSize = sizeof *out;
    out->header.biWidth = w;
    out->header.biHeight = h;
    out->header.biPlanes = 1;
    out->header.biBitCount = 24;
    out->header.biCompression = BI_RGB;
    out->header.biSizeImage = DWORD(h) * (DWORD(w) * 24 / 8);
    HIC ic = LocateDecompressor(&in->header, &out->header);
    if (ic && ICDecompressBegin(ic, &in->header, &out->header) != ICERR_OK) {
        ICClose(ic);
        ic = nullptr;
    }
    return ic;
}

void CloseFrameDecompressor(HIC& decompressor) {
    if (!decompressor) return;
    ICSendMessage(decompressor, ICM_DECOMPRESS_END, 0, 0);
    ICClose(decompressor);
    decompressor = nullptr;
}
