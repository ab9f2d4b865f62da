#include "avi_save_rules.h"

#include <cstdio>
#include <cstring>

uint32_t PreferredHandler(const char* setting) {
    char text[40] = {};
    std::snprintf(text, sizeof text, "%.31s    ", setting ? setting : "");
    return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 | uint32_t(uint8_t(text[2])) << 16 |
           uint32_t(uint8_t(text[3])) << 24;
}

int32_t ChooseCompressor(const std::vector<CompressorEntry>& entries, uint32_t preferred) {
    int32_t chosen = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].handler == preferred) return int32_t(i);
        if (chosen < 0 && i > 0) {
            const std::string& n = entries[i].name;
            const char* want = "micorsoft video 1";
            bool same = n.size() == std::strlen(want);
            for (size_t k = 0; same && k < n.size(); ++k) {
                char c = n[k];
                if (c >= 'A' && c <= 'Z') c = char(c + 32);
                same = c == want[k];
            }
            if (same) chosen = int32_t(i);
        }
    }
    return chosen < 0 ? 0 : chosen;
}

BarRect ProgressFill(int32_t percent) {
    const BarRect inner{kProgressFrame.left + 1, kProgressFrame.top + 1, kProgressFrame.right - 1,
                        kProgressFrame.bottom - 1};
    return BarRect{inner.left, inner.top, inner.left + (inner.right - inner.left) * percent / 100, inner.bottom};
}

std::string SaveFailureMessage(uint32_t result) {
    if (result == kAviErrUserAbort) return "";
    std::string text = "ＡＶＩファイルの保存ができません。";
    switch (result) {
    case 0x8004406E: return text + "\nディスクがいっぱいです。";
    case 0x80044070:
    case 0x80044071:
    case 0x80044075: return text + "\n圧縮方式が使用できない可能性があります。";
    case 0x80044072: return text + "\nファイルは読み出し専用です。";
    default: {
        char detail[24];
        std::snprintf(detail, sizeof detail, "(%lXh)", static_cast<unsigned long>(result));
        return text + detail;
    }
    }
}
