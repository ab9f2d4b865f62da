#include "board_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace board {

namespace {

// 5 x 7 glyphs, one byte per row, bit 4 the leftmost column.
struct Glyph {
    char ch;
    uint8_t rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
};

const Glyph* GlyphOf(char ch) {
    for (const Glyph& g : kGlyphs)
        if (g.ch == ch) return &g;
    return nullptr;
}

uint8_t Clamp(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// Studio-range BT.601, integer.
Yuv FromRgb(int r, int g, int b) {
    return {Clamp(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16),
            Clamp(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128),
            Clamp(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128)};
}

// White, yellow, cyan, green, magenta, red, blue, black at 75 %.
constexpr uint8_t kBars[8][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                 {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};

// The label drawn large in the lower third: "12", "C13", "V1".
int LabelOf(const PictureInput& in, char* label) {
    if (in.path != 0 || in.decoderInput != 0) {
        label[0] = 'V';
        label[1] = in.decoderInput == 0x21 ? '2' : '1';
        return 2;
    }
    int n = in.channel;
    int len = 0;
    if (n > 62) {
        label[len++] = 'C';
        n -= 50;
    }
    if (n >= 10) label[len++] = char('0' + n / 10);
    label[len++] = char('0' + n % 10);
    return len;
}

bool LabelPixel(const char* label, int len, int x, int y, int left, int top, int scale) {
    if (x < left || y < top || scale <= 0) return false;
    const int col = (x - left) / scale, row = (y - top) / scale;
    if (row >= 7 || col >= len * 6) return false;
    const Glyph* g = GlyphOf(label[col / 6]);
    const int bit = col % 6;
    return g && bit < 5 && (g->rows[row] >> (4 - bit) & 1);
}

}  // namespace

PictureInput PictureOf(const State& state) {
    PictureInput in;
    in.channel = state.channel;
    in.decoderInput = state.decoderInput;
    in.path = state.path;
    in.brightness = state.decoder[0x19];
    in.contrast = state.decoder[0x13];
    in.saturation = state.decoder[0x12];
    in.hue = static_cast<int8_t>(state.decoder[0x07]);
    in.frozen = Frozen(state);
    return in;
}

StoredFrameSize StoredFrameOf(uint32_t fourcc, uint16_t width, uint16_t height, uint16_t flags) {
    StoredFrameSize s;
    if (width == 0 || height == 0) return s;
    if (fourcc == kFourccTy2n || fourcc == kFourccT565) {
        s.width = width;
        s.height = height;
        s.bytes = uint32_t(width) * height * 2;
        return s;
    }
    if (fourcc != kFourccTy0n) return s;
    // The capture hardware halves and limits the stored picture as the decode flags say.
    uint16_t w = width, h = height;
    if (flags & 0x02) w /= 2;
    if (flags & 0x01) h /= 2;
    uint16_t maxW = 320, maxH = 240;
    if ((flags & 0x0C) == 0x0C) {
        maxW = (flags & 0x10) ? 320 : 608;
        maxH = 228;
    } else if (flags & 0x04) {
        maxW = (flags & 0x10) ? 320 : 640;
    }
    s.width = std::min(w, maxW);
    s.height = std::min(h, maxH);
    const uint32_t chromaRow = s.width / 2;
    // The V plane follows U; an odd last row takes its chroma one row past each plane.
    s.bytes = uint32_t(s.width) * s.height + chromaRow * (s.height / 2) + chromaRow * ((s.height + 1) / 2);
    if (s.width == 0 || s.height == 0) s = {};
    return s;
}

bool TunedToStation(const PictureInput& in) {
    return in.path == 0 && in.decoderInput == 0 && in.channel != 0 && in.channel < kChannelCodes;
}

namespace {

// The file's sample under a stored point, for a picture scaled to `size` (nearest, centred).
inline uint32_t SourceOf(size_t at, size_t size, size_t source) { return uint32_t((2 * at + 1) * source / (2 * size)); }

}  // namespace

Yuv PatternPoint(const PictureInput& in, uint32_t frame, int x, int y, int width, int height) {
    if (in.fed) {
        const FeedPicture p = in.picture.width ? in.picture : NoSignalPicture();
        const size_t sx = SourceOf(size_t(x), size_t(width), p.width), sy = SourceOf(size_t(y), size_t(height), p.height);
        const size_t chroma = (sy / 2) * ((size_t(p.width) + 1) / 2) + sx / 2;
        return {p.y[sy * p.width + sx], p.u[chroma], p.v[chroma]};
    }
    const bool tuner = in.path == 0 && in.decoderInput == 0;
    if (tuner && (in.channel == 0 || in.channel >= kChannelCodes)) {
        // No station: snow, different each frame.
        uint32_t h = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u ^ frame * 0xC2B2AE3Du;
        h ^= h >> 15;
        h *= 0x2C1B3C6Du;
        h ^= h >> 12;
        return {uint8_t(16 + (h & 0xFF) * 219 / 255), 128, 128};
    }
    const int barsBottom = height * 2 / 3;
    const int box = std::max(1, height / 10);
    if (y < barsBottom) {
        if (!tuner) return FromRgb(x * 255 / std::max(1, width - 1), x * 255 / std::max(1, width - 1),
                                   x * 255 / std::max(1, width - 1));
        const int bar = (x * 8 / width + (in.channel - 1)) % 8;
        return FromRgb(kBars[bar][0], kBars[bar][1], kBars[bar][2]);
    }
    // The moving square runs along the band under the bars, one box width per 8 frames.
    if (y < barsBottom + box) {
        const int travel = std::max(1, width - box);
        const int left = int(frame % uint32_t(2 * travel));
        const int pos = left < travel ? left : 2 * travel - left;
        if (x >= pos && x < pos + box) return FromRgb(255, 255, 255);
        return FromRgb(0, 0, 0);
    }
    char label[4];
    const int len = LabelOf(in, label);
    const int top = barsBottom + box + 1;
    const int scale = std::max(1, (height - top - 1) / 8);
    if (LabelPixel(label, len, x, y, width / 16, top, scale)) return FromRgb(255, 255, 255);
    return tuner ? FromRgb(0, 0, 96) : FromRgb(96, 0, 0);
}

namespace {

// The decoder's picture controls with the hue turn worked out once per frame. Without a hue
// step the turn is by 0 degrees (cs 256, sn 0), which leaves U and V exactly as they are.
struct Controls {
    int brightness, contrast, saturation, cs, sn;

    explicit Controls(const PictureInput& in)
        : brightness(in.brightness), contrast(in.contrast), saturation(in.saturation), cs(256), sn(0) {
        if (in.hue != 0) {
            // A hue step turns the chroma by 90/64 degrees.
            const double angle = in.hue * 3.14159265358979323846 / 128.0;
            cs = int(std::lround(std::cos(angle) * 256));
            sn = int(std::lround(std::sin(angle) * 256));
        }
    }

    uint8_t Luma(int y) const { return Clamp((y - 16) * contrast / 57 + 16 + (brightness - 154)); }

    bool Turned() const { return cs != 256 || sn != 0; }

    void Chroma(int u8, int v8, uint8_t& uOut, uint8_t& vOut) const {
        const int u = u8 - 128, v = v8 - 128;
        const int ru = (u * cs - v * sn) / 256, rv = (u * sn + v * cs) / 256;
        uOut = Clamp(128 + ru * saturation / 64);
        vOut = Clamp(128 + rv * saturation / 64);
    }

    Yuv Apply(Yuv c) const {
        Yuv r{Luma(c.y), 0, 0};
        Chroma(c.u, c.v, r.u, r.v);
        return r;
    }
};

// What the decoder's inverse makes of a colour as RGB 565: R = Y + 1.375 v,
// G = Y - 0.375 u - 0.75 v, B = Y + 1.75 u.
inline void Store565(uint8_t* p, int y, int u8, int v8) {
    const int u = u8 - 128, v = v8 - 128;
    const int su = (3 * u) >> 3, sv = (3 * v) >> 3;
    const int R = Clamp(y + v + sv), G = Clamp(y - su - 2 * sv), B = Clamp(y + u + 2 * su);
    const uint16_t word = uint16_t((R >> 3) << 11 | (G >> 2) << 5 | (B >> 3));
    p[0] = uint8_t(word);
    p[1] = uint8_t(word >> 8);
}

// A fed channel's frame: the file's picture scaled by nearest samples through column and row
// tables, the controls through a luma table; no branch per pixel. Gives exactly what the
// point-by-point path gives (PatternPoint, then the controls).
void RenderFeed(const PictureInput& in, uint32_t fourcc, const StoredFrameSize& s, uint8_t* out) {
    const FeedPicture p = in.picture.width ? in.picture : NoSignalPicture();
    const int w = s.width, h = s.height;
    const size_t fw = p.width, fh = p.height, cw = (fw + 1) / 2;
    const Controls controls(in);
    uint8_t luma[256], chroma[256];
    for (int i = 0; i < 256; ++i) luma[i] = controls.Luma(i);
    // Without a hue turn U and V only scale: one table for both (a 640 x 480 live picture
    // spends a good part of its frame here).
    const bool turned = controls.Turned();
    if (!turned)
        for (int i = 0; i < 256; ++i) chroma[i] = Clamp(128 + (i - 128) * controls.saturation / 64);
    const auto chromaOf = [&](uint8_t u8, uint8_t v8, uint8_t& uOut, uint8_t& vOut) {
        if (turned) {
            controls.Chroma(u8, v8, uOut, vOut);
        } else {
            uOut = chroma[u8];
            vOut = chroma[v8];
        }
    };
    std::vector<uint32_t> column(size_t(w) + 1), chromaColumn(size_t(w) + 1);
    for (int x = 0; x < w; ++x) {
        column[x] = SourceOf(size_t(x), size_t(w), fw);
        chromaColumn[x] = column[x] / 2;
    }
    const size_t chromaRow = size_t(w / 2);
    uint8_t* uPlane = out + size_t(w) * h;
    uint8_t* vPlane = uPlane + chromaRow * size_t(h / 2);
    for (int r = 0; r < h; ++r) {
        const size_t sy = SourceOf(size_t(h - 1 - r), size_t(h), fh);  // stored bottom-up
        const uint8_t* srcY = p.y + sy * fw;
        const uint8_t* srcU = p.u + (sy / 2) * cw;
        const uint8_t* srcV = p.v + (sy / 2) * cw;
        if (fourcc == kFourccTy0n) {
            uint8_t* yRow = out + size_t(r) * w;
            for (int x = 0; x < w; ++x) yRow[x] = luma[srcY[column[x]]];
            // Rows 2m and 2m+1 share chroma row m: the even row gives it.
            if ((r & 1) == 0) {
                uint8_t* uRow = uPlane + size_t(r / 2) * chromaRow;
                uint8_t* vRow = vPlane + size_t(r / 2) * chromaRow;
                for (size_t k = 0; k < chromaRow; ++k) {
                    const uint32_t c = chromaColumn[2 * k];
                    chromaOf(srcU[c], srcV[c], uRow[k], vRow[k]);
                }
            }
        } else if (fourcc == kFourccTy2n) {
            uint8_t* q = out + size_t(r) * w * 2;
            int x = 0;
            for (; x + 1 < w; x += 2, q += 4) {
                q[0] = luma[srcY[column[x]]];
                q[2] = luma[srcY[column[x + 1]]];
                chromaOf(srcU[chromaColumn[x]], srcV[chromaColumn[x]], q[1], q[3]);
            }
            if (w & 1) {
                uint8_t unused;
                q[0] = luma[srcY[column[x]]];
                chromaOf(srcU[chromaColumn[x]], srcV[chromaColumn[x]], q[1], unused);
            }
        } else {
            uint8_t* q = out + size_t(r) * w * 2;
            for (int x = 0; x < w; ++x, q += 2) {
                uint8_t u, v;
                chromaOf(srcU[chromaColumn[x]], srcV[chromaColumn[x]], u, v);
                Store565(q, luma[srcY[column[x]]], u, v);
            }
        }
    }
}

}  // namespace

Yuv ApplyControls(const PictureInput& in, Yuv c) { return Controls(in).Apply(c); }

uint32_t RenderFrame(const PictureInput& in, uint32_t frame, uint32_t fourcc, uint16_t width,
                     uint16_t height, uint16_t flags, uint8_t* out, uint32_t outSize) {
    const StoredFrameSize s = StoredFrameOf(fourcc, width, height, flags);
    if (s.bytes == 0 || !out || outSize < s.bytes) return 0;
    if (in.fed) {
        RenderFeed(in, fourcc, s, out);
        return s.bytes;
    }
    const int w = s.width, h = s.height;
    std::vector<Yuv> row(size_t(w) + 1);
    const Controls controls(in);
    const size_t chromaRow = size_t(w / 2);
    uint8_t* uPlane = out + size_t(w) * h;
    uint8_t* vPlane = uPlane + chromaRow * size_t(h / 2);
    if (fourcc == kFourccTy0n) std::memset(uPlane, 128, s.bytes - size_t(w) * h);
    for (int r = 0; r < h; ++r) {
        const int y = h - 1 - r;  // stored bottom-up
        for (int x = 0; x < w; ++x) row[x] = controls.Apply(PatternPoint(in, frame, x, y, w, h));
        if (fourcc == kFourccTy0n) {
            uint8_t* yRow = out + size_t(r) * w;
            for (int x = 0; x < w; ++x) yRow[x] = row[x].y;
            // Rows 2m and 2m+1 share chroma row m: the even row gives it.
            if ((r & 1) == 0) {
                const size_t m = size_t(r / 2);
                for (size_t k = 0; k < chromaRow; ++k) {
                    uPlane[m * chromaRow + k] = row[2 * k].u;
                    vPlane[m * chromaRow + k] = row[2 * k].v;
                }
            }
        } else if (fourcc == kFourccTy2n) {
            uint8_t* p = out + size_t(r) * w * 2;
            for (int x = 0; x + 1 < w; x += 2, p += 4) {
                p[0] = row[x].y;
                p[1] = row[x].u;
                p[2] = row[x + 1].y;
                p[3] = row[x].v;
            }
            if (w & 1) {
                p[0] = row[w - 1].y;
                p[1] = row[w - 1].u;
            }
        } else {
            uint8_t* p = out + size_t(r) * w * 2;
            for (int x = 0; x < w; ++x, p += 2) Store565(p, row[x].y, row[x].u, row[x].v);
        }
    }
    return s.bytes;
}

const std::vector<uint8_t>& FrameSource::Next(const PictureInput& in, uint32_t frame, uint32_t fourcc,
                                              uint16_t width, uint16_t height, uint16_t flags) {
    const bool same = !last_.empty() && fourcc == fourcc_ && width == width_ && height == height_ &&
                      flags == flags_;
    if (in.frozen && same) return last_;
    const StoredFrameSize s = StoredFrameOf(fourcc, width, height, flags);
    last_.resize(s.bytes);  // every byte is rendered: no clearing first
    fourcc_ = fourcc;
    width_ = width;
    height_ = height;
    flags_ = flags;
    if (s.bytes) RenderFrame(in, frame, fourcc, width, height, flags, last_.data(), s.bytes);
    return last_;
}

}  // namespace board
