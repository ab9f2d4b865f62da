#include "capture_core.h"

#include <algorithm>
#include <cstring>

#include "board_picture.h"

namespace capture {

namespace {

uint32_t Get32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

constexpr uint32_t Id(const char (&s)[5]) { return board::FourCC(s[0], s[1], s[2], s[3]); }

}  // namespace

bool ParseVideoFormat(const uint8_t* record, uint32_t length, VideoFormat& out) {
    if (!record || length < 40) return false;
    VideoFormat f;
    f.headerSize = Get32(record);
    if (f.headerSize < 40 || f.headerSize > length) return false;
    const int32_t w = int32_t(Get32(record + 4)), h = int32_t(Get32(record + 8));
    if (Get16(record + 12) != 1 || w < 1 || w > 1024 || h < 1 || h > 768) return false;
    f.width = uint32_t(w);
    f.height = uint32_t(h);
    f.bitCount = Get16(record + 14);
    f.fourcc = Get32(record + 16);
    const uint16_t wantBits = f.fourcc == board::kFourccTy0n ? 12 : 16;
    if (f.bitCount != wantBits) return false;
    f.decodeFlags = f.headerSize >= 44 ? Get16(record + 42) : 0;
    f.frameBytes = board::StoredFrameOf(f.fourcc, uint16_t(w), uint16_t(h), f.decodeFlags).bytes;
    if (f.frameBytes == 0) return false;
    out = f;
    return true;
}

std::vector<uint8_t> VideoFormatRecord(const VideoFormat& f) {
    std::vector<uint8_t> b;
    Put32(b, f.headerSize);
    Put32(b, f.width);
    Put32(b, f.height);
    Put16(b, 1);
    Put16(b, f.bitCount);
    Put32(b, f.fourcc);
    Put32(b, f.frameBytes);
    for (int i = 0; i < 4; ++i) Put32(b, 0);
    if (f.headerSize >= 44) {
        Put16(b, 0);
        Put16(b, f.decodeFlags);
    }
    b.resize(f.headerSize, 0);
    return b;
}

bool ParseAudioFormat(const uint8_t* record, uint32_t length, AudioFormat& out) {
    if (!record || length < 16 || Get16(record) != 1) return false;
    AudioFormat a;
    a.channels = Get16(record + 2);
    a.samplesPerSec = Get32(record + 4);
    a.bitsPerSample = Get16(record + 14);
    if ((a.channels != 1 && a.channels != 2) || (a.bitsPerSample != 8 && a.bitsPerSample != 16) ||
        a.samplesPerSec < 8000 || a.samplesPerSec > 48000)
        return false;
    out = a;
    return true;
}

std::vector<uint8_t> AudioFormatRecord(const AudioFormat& a) {
    std::vector<uint8_t> b;
    Put16(b, 1);
    Put16(b, a.channels);
    Put32(b, a.samplesPerSec);
    Put32(b, a.AvgBytesPerSec());
    Put16(b, a.BlockAlign());
    Put16(b, a.bitsPerSample);
    Put16(b, 0);
    return b;
}

SequenceClock::SequenceClock(uint32_t microSecPerFrame, uint32_t timeLimitSec, bool limitEnabled)
    : usPerFrame_(std::max<uint32_t>(microSecPerFrame, 1000)),
      limitMs_(uint32_t(std::min<uint64_t>(uint64_t(timeLimitSec) * 1000, 0xFFFFFFFFu))),
      limit_(limitEnabled) {}

uint32_t SequenceClock::FramesDue(uint32_t elapsedMs) const {
    uint64_t due = uint64_t(elapsedMs) * 1000 / usPerFrame_ + 1;
    if (limit_) due = std::min<uint64_t>(due, (uint64_t(limitMs_) * 1000 + usPerFrame_ - 1) / usPerFrame_);
    return due > taken_ ? uint32_t(due - taken_) : 0;
}

bool SequenceClock::LimitReached(uint32_t elapsedMs) const {
    return limit_ && (elapsedMs >= limitMs_ || TimeOf(taken_) >= limitMs_);
}

uint32_t SequenceClock::WaitMs(uint32_t elapsedMs) const {
    const uint32_t next = TimeOf(taken_);
    return next > elapsedMs ? next - elapsedMs : 0;
}

// The file: RIFF 'AVI ' { LIST 'hdrl' { avih, LIST 'strl' { strh, strf }... }, LIST 'movi' { 00dc,
// 01wb ... }, idx1 }. The headers are written first with zero counts and again at the end.
std::vector<uint8_t> AviWriter::Headers() const {
    std::vector<uint8_t> b;
    const std::vector<uint8_t> vfmt = VideoFormatRecord(video_);
    const std::vector<uint8_t> afmt = AudioFormatRecord(audio_);
    const uint32_t streams = hasAudio_ ? 2 : 1;
    const uint32_t rate = 1000000;

    Put32(b, Id("RIFF"));
    Put32(b, 0);  // patched
    Put32(b, Id("AVI "));
    Put32(b, Id("LIST"));
    const size_t hdrlSize = b.size();
    Put32(b, 0);
    Put32(b, Id("hdrl"));

    Put32(b, Id("avih"));
    Put32(b, 56);
    Put32(b, usPerFrame_);
    Put32(b, uint32_t(uint64_t(video_.frameBytes + 8) * rate / usPerFrame_ + (hasAudio_ ? audio_.AvgBytesPerSec() : 0)));
    Put32(b, 0);
    Put32(b, 0x10 | 0x100);  // has an index; interleaved
    Put32(b, frames_);
    Put32(b, 0);
    Put32(b, streams);
    Put32(b, std::max(maxFrame_, video_.frameBytes) + 8);
    Put32(b, video_.width);
    Put32(b, video_.height);
    for (int i = 0; i < 4; ++i) Put32(b, 0);

    auto stream = [&](uint32_t type, uint32_t handler, uint32_t scale, uint32_t srate, uint32_t length,
                      uint32_t bufferSize, uint32_t sampleSize, const std::vector<uint8_t>& format, bool video) {
        Put32(b, Id("LIST"));
        Put32(b, 4 + 8 + 56 + 8 + uint32_t(format.size()));
        Put32(b, Id("strl"));
        Put32(b, Id("strh"));
        Put32(b, 56);
        Put32(b, type);
        Put32(b, handler);
        Put32(b, 0);   // flags
        Put16(b, 0);   // priority
        Put16(b, 0);   // language
        Put32(b, 0);   // initial frames
        Put32(b, scale);
        Put32(b, srate);
        Put32(b, 0);   // start
        Put32(b, length);
        Put32(b, bufferSize);
        Put32(b, 0xFFFFFFFFu);  // quality
        Put32(b, sampleSize);
        Put16(b, 0);
        Put16(b, 0);
        Put16(b, video ? uint16_t(video_.width) : 0);
        Put16(b, video ? uint16_t(video_.height) : 0);
        Put32(b, Id("strf"));
        Put32(b, uint32_t(format.size()));
        b.insert(b.end(), format.begin(), format.end());
    };
    stream(Id("vids"), video_.fourcc, usPerFrame_, rate, frames_, std::max(maxFrame_, video_.frameBytes), 0, vfmt,
           true);
    if (hasAudio_) {
        const uint32_t align = audio_.BlockAlign();
        stream(Id("auds"), 0, align, audio_.AvgBytesPerSec(), audioBytes_ / align, audio_.AvgBytesPerSec(), align,
               afmt, false);
    }
    Set32(b, hdrlSize, uint32_t(b.size() - hdrlSize - 4));
    Put32(b, Id("LIST"));
    Put32(b, 0);  // movi size, patched
    Put32(b, Id("movi"));
    return b;
}

AviWriter::~AviWriter() {
    if (file_) std::fclose(file_);
}

bool AviWriter::Open(const std::string& path, const VideoFormat& video, uint32_t microSecPerFrame,
                     const AudioFormat* audio) {
    if (file_ || video.frameBytes == 0 || microSecPerFrame == 0) return false;
    video_ = video;
    usPerFrame_ = microSecPerFrame;
    hasAudio_ = audio != nullptr;
    if (audio) audio_ = *audio;
    frames_ = audioBytes_ = maxFrame_ = 0;
    failed_ = false;
    index_.clear();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    const std::vector<uint8_t> h = Headers();
    failed_ = std::fwrite(h.data(), 1, h.size(), file_) != h.size();
    position_ = uint32_t(h.size());
    moviStart_ = position_ - 4;
    return !failed_;
}

bool AviWriter::Chunk(uint32_t id, const uint8_t* data, uint32_t size) {
    if (!file_ || failed_) return false;
    // Files stay below 2 GB, as a RIFF file without extension chunks must.
    if (uint64_t(position_) + size + 9 + (index_.size() + 2) * 16 > 0x7FFFFFFFu) return false;
    std::vector<uint8_t> head;
    Put32(head, id);
    Put32(head, size);
    index_.push_back({id, 0x10, position_ - moviStart_, size});
    bool ok = std::fwrite(head.data(), 1, 8, file_) == 8;
    if (size) ok = ok && std::fwrite(data, 1, size, file_) == size;
    if (size & 1) ok = ok && std::fputc(0, file_) != EOF;
    position_ += 8 + size + (size & 1);
    failed_ = !ok;
    return ok;
}

bool AviWriter::AddFrame(const uint8_t* data, uint32_t size) {
    if (!Chunk(Id("00dc"), data, size)) return false;
    ++frames_;
    maxFrame_ = std::max(maxFrame_, size);
    if (!hasAudio_) return true;
    // Sound keeps pace with the pictures: as many whole blocks as the frames' time holds.
    const uint32_t align = audio_.BlockAlign();
    const uint64_t blocks = uint64_t(frames_) * usPerFrame_ * audio_.samplesPerSec / 1000000;
    const uint32_t want = uint32_t(blocks * align);
    if (want <= audioBytes_) return true;
    std::vector<uint8_t> silence(want - audioBytes_, audio_.bitsPerSample == 8 ? 0x80 : 0x00);
    if (!Chunk(Id("01wb"), silence.data(), uint32_t(silence.size()))) return false;
    audioBytes_ = want;
    return true;
}

bool AviWriter::Close() {
    if (!file_) return false;
    bool ok = !failed_;
    const uint32_t moviSize = position_ - moviStart_;
    std::vector<uint8_t> idx;
    Put32(idx, Id("idx1"));
    Put32(idx, uint32_t(index_.size() * 16));
    for (const IndexEntry& e : index_) {
        Put32(idx, e.id);
        Put32(idx, e.flags);
        Put32(idx, e.offset);
        Put32(idx, e.size);
    }
    ok = ok && std::fwrite(idx.data(), 1, idx.size(), file_) == idx.size();
    const uint32_t total = position_ + uint32_t(idx.size());
    std::vector<uint8_t> h = Headers();
    Set32(h, 4, total - 8);
    Set32(h, h.size() - 8, moviSize);
    ok = ok && std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(h.data(), 1, h.size(), file_) == h.size();
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    return ok;
}

}  // namespace capture
