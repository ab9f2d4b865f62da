#include "remote_keys.h"

namespace remctl {

// Row by row as on the handset: power and guide, the tuner keys, the picture keys, the deck.
const RemoteKey kKeys[kKeyCount] = {
    {"SYS_TV_POWER", "電源"},
    {"SYS_GUIDE", "ガイド"},
    {"DOS_POWER", "DOS電源"},
    {"TV_CH_UP", "チャンネル▲"},
    {"TV_CH_DOWN", "チャンネル▼"},
    {"TV_VIDEO", "入力切換"},
    {"TV_MAIN_SUB", "主／副音声"},
    {"TV_SIZE", "画面サイズ"},
    {"VIDEO_FREEZE", "静止"},
    {"CD_PREV", "前へ"},
    {"CD_PLAY", "再生"},
    {"CD_STOP", "停止"},
    {"VIDEO_CAPTURE", "キャプチャ"},
};

namespace {
constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kColumns = 3;
constexpr int kKeyWidth = 100;
constexpr int kKeyHeight = 30;
constexpr int kLineHeight = 24;
constexpr int kStatusHeight = 20;
}  // namespace

RemoteLayout LayOutRemote() {
    RemoteLayout l{};
    for (size_t i = 0; i < kKeyCount; ++i) {
        const int column = static_cast<int>(i) % kColumns, row = static_cast<int>(i) / kColumns;
        const int x = kMargin + column * (kKeyWidth + kGap), y = kMargin + row * (kKeyHeight + kGap);
        l.keys[i] = {x, y, x + kKeyWidth, y + kKeyHeight};
    }
    const int rows = static_cast<int>((kKeyCount + kColumns - 1) / kColumns);
    const int inner = kColumns * kKeyWidth + (kColumns - 1) * kGap;
    int y = kMargin + rows * (kKeyHeight + kGap) + kGap;
    l.send = {kMargin + inner - kKeyWidth, y, kMargin + inner, y + kLineHeight};
    l.edit = {kMargin, y, l.send.left - kGap, y + kLineHeight};
    y += kLineHeight + kGap;
    l.status = {kMargin, y, kMargin + inner, y + kStatusHeight};
    l.width = kMargin + inner + kMargin;
    l.height = l.status.bottom + kMargin;
    return l;
}

}  // namespace remctl
