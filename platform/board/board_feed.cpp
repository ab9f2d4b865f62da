#include "board_feed.h"

#include <cstring>
#include <string_view>

namespace board {

namespace {

constexpr char kMagic[] = "YUV4MPEG2";
constexpr size_t kMaxHeaderLine = 4096;  // a longer header line is not a header
constexpr size_t kMaxFrameHeader = 1024;

// A run of decimal digits, all of it, no sign, at most `limit`.
bool Decimal(std::string_view s, uint64_t limit, uint64_t& value) {
    if (s.empty() || s.size() > 19) return false;
    value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + uint64_t(c - '0');
    }
    return value <= limit;
}

// "n:d" with both parts decimal.
bool Ratio(std::string_view s, uint64_t& n, uint64_t& d) {
    const size_t colon = s.find(':');
    return colon != std::string_view::npos && Decimal(s.substr(0, colon), 0xFFFFFFFFu, n) &&
           Decimal(s.substr(colon + 1), 0xFFFFFFFFu, d);
}

// The dark blue of a set with no signal: R 0, G 0, B 160 in studio-range BT.601.
const uint8_t kNoSignalY = 32, kNoSignalU = 198, kNoSignalV = 117;

}  // namespace

FeedPicture NoSignalPicture() {
    FeedPicture p;
    p.y = &kNoSignalY;
    p.u = &kNoSignalU;
    p.v = &kNoSignalV;
    p.width = 1;
    p.height = 1;
    return p;
}

uint32_t FeedFrameAt(uint32_t milliseconds, uint32_t numerator, uint32_t denominator, uint32_t frames) {
    if (frames == 0 || denominator == 0) return 0;
    // Two 32-bit factors: the product stays within 64 bits, and the division is exact.
    return uint32_t(uint64_t(milliseconds) * numerator / (uint64_t(denominator) * 1000) % frames);
}

FeedError Y4mClip::ReadHeader(size_t& pos) {
    const size_t magic = sizeof kMagic - 1;
    if (size_ < magic + 1 || std::memcmp(data_, kMagic, magic) != 0 ||
        (data_[magic] != ' ' && data_[magic] != '\n'))
        return kFeedBadMagic;
    const size_t limit = size_ < kMaxHeaderLine ? size_ : kMaxHeaderLine;
    const void* eol = std::memchr(data_, '\n', limit);
    if (!eol) return kFeedBadHeader;
    const size_t end = size_t(static_cast<const uint8_t*>(eol) - data_);
    std::string_view line(reinterpret_cast<const char*>(data_) + magic, end - magic);
    bool haveW = false, haveH = false;
    uint64_t w = 0, h = 0;
    while (!line.empty()) {
        const size_t space = line.find(' ');
        const std::string_view tag = line.substr(0, space);
        line = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (tag.empty()) continue;
        const std::string_view value = tag.substr(1);
        switch (tag[0]) {
        case 'W':
            if (!Decimal(value, kFeedMaxSide, w) || w == 0) return kFeedBadSize;
            haveW = true;
            break;
        case 'H':
            if (!Decimal(value, kFeedMaxSide, h) || h == 0) return kFeedBadSize;
            haveH = true;
            break;
        case 'F': {
            uint64_t n = 0, d = 0;
            // Between a frame in 1000 seconds and kFeedMaxRate frames a second.
            if (!Ratio(value, n, d) || n == 0 || d == 0 || n > uint64_t(kFeedMaxRate) * d || n * 1000 < d)
                return kFeedBadRate;
            rateNumerator_ = uint32_t(n);
            rateDenominator_ = uint32_t(d);
            break;
        }
        case 'C':
            if (value != "420" && value != "420jpeg" && value != "420paldv" && value != "420mpeg2")
                return kFeedBadColour;
            break;
        default:  // interlacing, aspect, extensions: nothing the board needs
            if (value.empty()) return kFeedBadHeader;
            break;
        }
    }
    if (!haveW || !haveH) return kFeedNoSize;
    width_ = uint16_t(w);
    height_ = uint16_t(h);
    frameBytes_ = size_t(w) * h + 2 * (size_t(w + 1) / 2) * (size_t(h + 1) / 2);
    pos = end + 1;
    return kFeedOk;
}

FeedError Y4mClip::Open(const uint8_t* data, size_t size) {
    *this = Y4mClip();
    if (!data) return kFeedCannotOpen;
    if (size > kFeedMaxBytes) return kFeedTooLarge;
    data_ = data;
    size_ = size;
    size_t pos = 0;
    FeedError header = ReadHeader(pos);
    if (header != kFeedOk) {
        *this = Y4mClip();
        return header;
    }
    bool truncated = false;
    while (pos < size_ && frames_.size() < kFeedMaxFrames) {
        const size_t left = size_ - pos;
        const uint8_t* p = data_ + pos;
        if (std::memcmp(p, "FRAME", left < 5 ? left : 5) != 0 || (left > 5 && p[5] != '\n' && p[5] != ' ')) {
            *this = Y4mClip();
            return kFeedBadFrame;
        }
        const size_t scan = left < 5 + kMaxFrameHeader ? left : 5 + kMaxFrameHeader;
        const void* eol = left > 5 ? std::memchr(p + 5, '\n', scan - 5) : nullptr;
        if (!eol) {
            if (scan == left) {  // the file ends inside the header
                truncated = true;
                break;
            }
            *this = Y4mClip();
            return kFeedBadFrame;
        }
        const size_t samples = size_t(static_cast<const uint8_t*>(eol) - data_) + 1;
        if (size_ - samples < frameBytes_) {
            truncated = true;
            break;
        }
        frames_.push_back(uint32_t(samples));
        pos = samples + frameBytes_;
    }
    if (frames_.empty()) {
        *this = Y4mClip();
        return kFeedShort;
    }
    return truncated ? kFeedTruncated : kFeedOk;
}

uint32_t Y4mClip::FrameAt(uint32_t milliseconds) const {
    return FeedFrameAt(milliseconds, rateNumerator_, rateDenominator_, Frames());
}

FeedPicture Y4mClip::Picture(uint32_t index) const {
    FeedPicture p;
    if (frames_.empty()) return p;
    p.y = data_ + frames_[index % frames_.size()];
    p.u = p.y + size_t(width_) * height_;
    p.v = p.u + (size_t(width_) + 1) / 2 * ((size_t(height_) + 1) / 2);
    p.width = width_;
    p.height = height_;
    return p;
}

}  // namespace board
