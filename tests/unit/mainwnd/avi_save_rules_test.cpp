#include <gtest/gtest.h>

#include "avi_save_rules.h"

namespace {

constexpr uint32_t Fcc(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

TEST(AviSaveRules, TheCompressorOfferedFirst) {
    EXPECT_EQ(kNoRecompression, PreferredHandler("!!!!"));
    EXPECT_EQ(Fcc("cv  "), PreferredHandler("cv")) << "blanks after a short value";
    EXPECT_EQ(Fcc("    "), PreferredHandler(""));
    EXPECT_EQ(Fcc("IV50"), PreferredHandler("IV50 and more text beyond thirty-one characters"));

    std::vector<CompressorEntry> list = {{kNoRecompression, "none"}, {Fcc("cvid"), "Cinepak"},
                                         {Fcc("msvc"), "MICORSOFT VIDEO 1"}};
    EXPECT_EQ(2, ChooseCompressor(list, kNoRecompression + 1)) << "the misspelt name, any case";
    EXPECT_EQ(0, ChooseCompressor(list, kNoRecompression)) << "the preferred \"!!!!\" wins";
    EXPECT_EQ(1, ChooseCompressor(list, Fcc("cvid")));
    list.pop_back();
    EXPECT_EQ(0, ChooseCompressor(list, Fcc("xxxx"))) << "else do not recompress";
}

TEST(AviSaveRules, TheProgressBarAndTheMessages) {
    BarRect half = ProgressFill(50);
    EXPECT_EQ(13, half.left);
    EXPECT_EQ(41, half.top);
    EXPECT_EQ(13 + 103, half.right) << "the left half of (13, 41) to (219, 63)";
    EXPECT_EQ(63, half.bottom);
    EXPECT_EQ(219, ProgressFill(100).right);
    EXPECT_EQ(13, ProgressFill(0).right);

    EXPECT_EQ("", SaveFailureMessage(kAviErrUserAbort)) << "a cancel shows nothing";
    EXPECT_EQ("ＡＶＩファイルの保存ができません。(80044073h)", SaveFailureMessage(0x80044073));
    EXPECT_EQ("ＡＶＩファイルの保存ができません。\nディスクがいっぱいです。", SaveFailureMessage(0x8004406E));
    for (uint32_t r : {0x80044070u, 0x80044071u, 0x80044075u})
        EXPECT_EQ("ＡＶＩファイルの保存ができません。\n圧縮方式が使用できない可能性があります。", SaveFailureMessage(r));
    EXPECT_EQ("ＡＶＩファイルの保存ができません。\nファイルは読み出し専用です。", SaveFailureMessage(0x80044072));
}

}  // namespace
