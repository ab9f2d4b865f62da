// Message-independent parts of the capture service: format checks, the sequence clock and the
// AVI file writer. Portable: no windows.h.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace capture {

// A video format given with WM_CAP_SET_VIDEOFORMAT, as the board can capture it.
struct VideoFormat {
    uint32_t headerSize = 0;  // 40, or 44 with quality and decode flags
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitCount = 0;
    uint32_t fourcc = 0;
    uint16_t decodeFlags = 0;
    uint32_t frameBytes = 0;  // what the board stores for one frame
};

// Checks a format record of `length` bytes. Refused (false): short records, a header size
// beyond the record, planes other than 1, a format the board does not capture, or a size out
// of the board's range (1..1024 x 1..768).
bool ParseVideoFormat(const uint8_t* record, uint32_t length, VideoFormat& out);
// The record as WM_CAP_GET_VIDEOFORMAT gives it back (header size bytes, image size = frame bytes).
std::vector<uint8_t> VideoFormatRecord(const VideoFormat& f);

// A PCM format given with WM_CAP_SET_AUDIOFORMAT.
struct AudioFormat {
    uint16_t channels = 1;
    uint32_t samplesPerSec = 11025;
    uint16_t bitsPerSample = 8;
    uint16_t BlockAlign() const { return uint16_t((bitsPerSample * channels + 7) / 8); }
    uint32_t AvgBytesPerSec() const { return BlockAlign() * samplesPerSec; }
};
// PCM only, 1 or 2 channels, 8 or 16 bits, 8,000..48,000 samples per second.
bool ParseAudioFormat(const uint8_t* record, uint32_t length, AudioFormat& out);
std::vector<uint8_t> AudioFormatRecord(const AudioFormat& a);  // 18 bytes

// When the frames of a sequence are due: frame n at n x microseconds per frame.
class SequenceClock {
public:
    SequenceClock(uint32_t microSecPerFrame, uint32_t timeLimitSec, bool limitEnabled);
    // Frames due by `elapsedMs` that were not yet taken.
    uint32_t FramesDue(uint32_t elapsedMs) const;
    void Took() { ++taken_; }
    uint32_t Taken() const { return taken_; }
    // Capture time of frame n in milliseconds.
    uint32_t TimeOf(uint32_t n) const { return uint32_t(uint64_t(n) * usPerFrame_ / 1000); }
    bool LimitReached(uint32_t elapsedMs) const;
    // Milliseconds until the next frame is due (0 when one is due now).
    uint32_t WaitMs(uint32_t elapsedMs) const;

private:
    uint32_t usPerFrame_;
    uint32_t limitMs_;
    bool limit_;
    uint32_t taken_ = 0;
};

// Writes a RIFF AVI file with one video stream in the capture format and, optionally, one PCM
// stream of silence that keeps pace with the frames.
class AviWriter {
public:
    ~AviWriter();
    bool Open(const std::string& path, const VideoFormat& video, uint32_t microSecPerFrame,
              const AudioFormat* audio);
    bool AddFrame(const uint8_t* data, uint32_t size);
    // Completes the headers and the index; false when any write failed.
    bool Close();
    uint32_t Frames() const { return frames_; }
    uint32_t AudioBytes() const { return audioBytes_; }

private:
    struct IndexEntry {
        uint32_t id, flags, offset, size;
    };
    std::vector<uint8_t> Headers() const;
    bool Chunk(uint32_t id, const uint8_t* data, uint32_t size);

    std::FILE* file_ = nullptr;
    VideoFormat video_;
    AudioFormat audio_;
    bool hasAudio_ = false;
    uint32_t usPerFrame_ = 0;
    uint32_t frames_ = 0;
    uint32_t audioBytes_ = 0;
    uint32_t maxFrame_ = 0;
    uint32_t moviStart_ = 0;  // file offset of the 'movi' fourcc
    uint32_t position_ = 0;
    bool failed_ = false;
    std::vector<IndexEntry> index_;
};

}  // namespace capture
