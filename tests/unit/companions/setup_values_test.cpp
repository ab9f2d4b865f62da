#include <gtest/gtest.h>

#include "setup_values.h"

namespace {

TEST(SetupValues, PresetsReadAsTheViewerReadsThem) {
    SetupPreset p = ParseSetupPreset("12,News");
    EXPECT_EQ(12, p.channel);
    EXPECT_EQ("News", p.name);
    p = ParseSetupPreset("70,  Cable");
    EXPECT_EQ(70, p.channel);
    EXPECT_EQ("Cable", p.name);
    for (const char* empty : {"12,", "12,   ", "89,X", "0,Zero", "News", ""})
        EXPECT_EQ(0, ParseSetupPreset(empty).channel) << empty;
    EXPECT_EQ("ABCDEFGHIJKL", ParseSetupPreset("5,ABCDEFGHIJKLMNOP").name);
}

TEST(SetupValues, ChannelFieldsAndTheValuesWritten) {
    EXPECT_EQ(0, ParseChannelField(""));
    EXPECT_EQ(0, ParseChannelField("  "));
    EXPECT_EQ(12, ParseChannelField(" 12 "));
    EXPECT_EQ(70, ParseChannelField("C20"));
    EXPECT_EQ(88, ParseChannelField("c38"));
    for (const char* bad : {"0", "89", "C12", "C39", "1x", "-3", "C", "1234"})
        EXPECT_EQ(-1, ParseChannelField(bad)) << bad;
    EXPECT_EQ("C20", ChannelLabel(70));
    EXPECT_EQ("62", ChannelLabel(62));

    EXPECT_EQ("12,News", FormatSetupPreset(12, "News"));
    EXPECT_EQ("70,C20", FormatSetupPreset(70, "  ")) << "a blank name would empty the preset";
    EXPECT_EQ("", FormatSetupPreset(0, "Gone"));
    EXPECT_EQ("5,ABCDEFGHIJKL", FormatSetupPreset(5, "ABCDEFGHIJKLMN"));
    // Shift-JIS: six double-byte characters fill the 12 bytes; a seventh is not cut in half.
    const std::string kana = "\x83\x65\x83\x8C\x83\x72\x93\x8C\x8B\x9E\x82\xCC";  // 12 bytes
    EXPECT_EQ("4," + kana, FormatSetupPreset(4, kana + "\x82\xA0"));
    EXPECT_EQ("4,A" + kana.substr(0, 10), FormatSetupPreset(4, "A" + kana));
}

TEST(SetupValues, PictureRanges) {
    EXPECT_STREQ("Brightness", kPictureRanges[0].key);
    EXPECT_EQ(-31, ClampPicture(kPictureRanges[0], -40));
    EXPECT_EQ(87, ClampPicture(kPictureRanges[1], 100));
    EXPECT_EQ(1, ClampPicture(kPictureRanges[2], 0));
    EXPECT_EQ(63, ClampPicture(kPictureRanges[3], 63));
}

}  // namespace
