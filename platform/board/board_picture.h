// The board's moving picture: what its capture hardware delivers for the current tuner and
// decoder state, in the capture formats. Portable: no windows.h.
#pragma once
#include <cstdint>
#include <vector>

#include "board_feed.h"
#include "board_state.h"

namespace board {

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}
constexpr uint32_t kFourccTy0n = FourCC('t', 'y', '0', 'n');  // planar YUV 4:2:0, stored reduced
constexpr uint32_t kFourccTy2n = FourCC('t', 'y', '2', 'n');  // packed YUV 4:2:2 Y0 U Y1 V
constexpr uint32_t kFourccT565 = FourCC('t', '5', '6', '5');  // RGB 565 words

// What of the board's state reaches the picture.
struct PictureInput {
    uint16_t channel = 0;       // tuned channel code, 0 before any tuning
    uint8_t decoderInput = 0;   // 0x00 tuner, 0x11 / 0x21 the external inputs
    uint8_t path = 0;           // 0 the tuner path
    uint8_t brightness = 154;   // decoder registers as the tuner library writes them
    uint8_t contrast = 57;
    uint8_t saturation = 64;
    int8_t hue = 0;
    bool frozen = false;
    // A channel fed from a video file shows `picture` scaled to the capture size instead of the
    // test picture; a fed channel without a picture (width 0) shows NoSignalPicture().
    bool fed = false;
    FeedPicture picture;
};

// The registers only: the board's own module adds the feed of the tuned channel.
PictureInput PictureOf(const State& state);

// Whether the picture comes from the tuner at a station (not the external inputs, not snow).
bool TunedToStation(const PictureInput& input);

// A frame as the hardware stores it for a format of width x height with the decode flags.
struct StoredFrameSize {
    uint16_t width = 0;   // stored pixels per row
    uint16_t height = 0;  // stored rows
    uint32_t bytes = 0;   // 0: the format is not one the board captures
};

StoredFrameSize StoredFrameOf(uint32_t fourcc, uint16_t width, uint16_t height, uint16_t decodeFlags);

// Renders frame number `frame` into out (at least StoredFrameOf(...).bytes long). Rows are
// stored bottom-up, as a device-independent bitmap holds them, so a decoder that keeps the row
// order shows the picture upright. Returns the bytes written, 0 for an unsupported format or a
// short buffer.
uint32_t RenderFrame(const PictureInput& input, uint32_t frame, uint32_t fourcc, uint16_t width,
                     uint16_t height, uint16_t decodeFlags, uint8_t* out, uint32_t outSize);

// The colour (Y, U, V) of one picture point (x right, y down, upright) before the decoder's
// picture controls; exposed for tests and for the capture service's checks. A fed channel's
// point is the file's nearest sample: column (2x+1)*fileWidth/(2*width), likewise the row.
struct Yuv {
    uint8_t y, u, v;
};
Yuv PatternPoint(const PictureInput& input, uint32_t frame, int x, int y, int width, int height);

// The decoder's picture controls applied to one colour.
Yuv ApplyControls(const PictureInput& input, Yuv c);

// The capture side of the hardware: renders the next frame, or while the freeze register holds
// the picture, hands the last frame again.
class FrameSource {
public:
    // The frame for this state; empty for an unsupported format.
    const std::vector<uint8_t>& Next(const PictureInput& input, uint32_t frame, uint32_t fourcc,
                                     uint16_t width, uint16_t height, uint16_t decodeFlags);

private:
    std::vector<uint8_t> last_;
    uint32_t fourcc_ = 0;
    uint16_t width_ = 0, height_ = 0, flags_ = 0;
};

}  // namespace board
