// Any bytes as a channel's video file: the reader either refuses them or gives frames whose
// planes lie inside the file, and the board scales whatever it gives to a capture size. The
// file is an exact-size copy, so that a read past its end is caught by the sanitizers.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "board_feed.h"
#include "board_picture.h"

using namespace board;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first bytes choose the capture format, size, time and controls.
    if (size < 6) return 0;
    const uint32_t codes[] = {kFourccTy0n, kFourccTy2n, kFourccT565};
    const uint32_t fourcc = codes[data[0] % 3];
    const uint16_t width = uint16_t(1 + data[1] % 200), height = uint16_t(1 + data[2] % 160);
    const uint32_t milliseconds = uint32_t(data[3]) * 997u;
    const int8_t hue = int8_t(data[4]);
    const uint8_t brightness = data[5];
    const std::vector<uint8_t> file(data + 6, data + size);

    Y4mClip clip;
    const FeedError error = clip.Open(file.data(), file.size());
    if ((error == kFeedOk || error == kFeedTruncated) != clip.Playable()) __builtin_trap();

    PictureInput in;
    in.channel = 13;
    in.fed = true;
    in.hue = hue;
    in.brightness = brightness;
    if (clip.Playable()) {
        const FeedPicture p = clip.Picture(clip.FrameAt(milliseconds));
        const size_t planes = size_t(p.width) * p.height + 2 * ((size_t(p.width) + 1) / 2) * ((size_t(p.height) + 1) / 2);
        if (p.y < file.data() || p.y + planes > file.data() + file.size()) __builtin_trap();
        in.picture = p;
    }
    std::vector<uint8_t> out(StoredFrameOf(fourcc, width, height, 0).bytes);
    RenderFrame(in, 0, fourcc, width, height, 0, out.data(), uint32_t(out.size()));
    return 0;
}
