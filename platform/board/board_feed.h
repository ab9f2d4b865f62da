// A channel fed from a video file: the YUV4MPEG2 reader (8-bit 4:2:0 only) and the picture it
// shows at a given time. The file is never trusted: anything that does not add up is refused
// with a FeedError and the channel shows "no signal". Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace board {

// Outcome of opening a channel's video file; the board's log line gives it as its result.
enum FeedError : int32_t {
    kFeedOk = 0,
    kFeedTruncated = 1,   // the last frame is cut short: the whole frames play (a warning)
    kFeedCannotOpen = 2,  // missing or unreadable file
    kFeedTooLarge = 3,    // over kFeedMaxBytes
    kFeedBadMagic = 4,    // not a YUV4MPEG2 file
    kFeedBadHeader = 5,   // the header line has no end, or a tag without a value
    kFeedNoSize = 6,      // W or H missing
    kFeedBadSize = 7,     // W or H malformed, zero or beyond kFeedMaxSide
    kFeedBadRate = 8,     // F malformed, zero or beyond kFeedMaxRate frames a second
    kFeedBadColour = 9,   // a C tag other than 8-bit 4:2:0
    kFeedBadFrame = 10,   // where a frame should start, no FRAME header
    kFeedShort = 11,      // not one whole frame
};

constexpr size_t kFeedMaxBytes = size_t(256) << 20;
constexpr uint32_t kFeedMaxSide = 16384;
constexpr uint32_t kFeedMaxRate = 1000;
constexpr uint32_t kFeedMaxFrames = 1u << 20;  // more frames than this: the first ones loop

// One 4:2:0 picture: width x height luma samples, then (width+1)/2 x (height+1)/2 of U and of
// V, rows top-down.
struct FeedPicture {
    const uint8_t* y = nullptr;
    const uint8_t* u = nullptr;
    const uint8_t* v = nullptr;
    uint16_t width = 0;  // 0: no picture (the channel has no signal)
    uint16_t height = 0;
};

// The picture of a channel whose file cannot be shown: a plain dark blue field, as a set
// shows with no signal.
FeedPicture NoSignalPicture();

// A YUV4MPEG2 file in memory. The bytes are not copied: they must outlive the clip.
class Y4mClip {
public:
    // Reads the header and finds every whole frame. kFeedOk and kFeedTruncated leave a
    // playable clip; any other result leaves none.
    FeedError Open(const uint8_t* data, size_t size);

    bool Playable() const { return !frames_.empty(); }
    uint32_t Frames() const { return uint32_t(frames_.size()); }
    uint16_t Width() const { return width_; }
    uint16_t Height() const { return height_; }
    // Frames a second, as the F tag gives it.
    uint32_t RateNumerator() const { return rateNumerator_; }
    uint32_t RateDenominator() const { return rateDenominator_; }

    // The frame shown `milliseconds` after the start, looping.
    uint32_t FrameAt(uint32_t milliseconds) const;
    // Frame `index` (taken modulo Frames()); an empty picture when not playable.
    FeedPicture Picture(uint32_t index) const;

private:
    FeedError ReadHeader(size_t& pos);

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    uint16_t width_ = 0, height_ = 0;
    uint32_t rateNumerator_ = 25, rateDenominator_ = 1;  // no F tag: 25 frames a second
    size_t frameBytes_ = 0;
    std::vector<uint32_t> frames_;  // offset of each frame's samples
};

// The file frame number at a time, for a rate of numerator/denominator frames a second,
// looping over `frames` (0: 0).
uint32_t FeedFrameAt(uint32_t milliseconds, uint32_t numerator, uint32_t denominator, uint32_t frames);

}  // namespace board
