// VANVP.INI: numbers as the file holds them, defaults, the order and texts of the writes.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "tuner_core.h"
#include "vanvp_ini.h"

namespace kvtun::test {
namespace {

TEST(VanvpNumbers, SignedDecimalsWithTheirLeadingDigitsOnly) {
    const std::pair<const char*, int32_t> good[] = {
        {"0", 0},     {"-32", -32},         {"  17", 17},          {"+5", 5},
        {"12abc", 12}, {"0x10", 0},         {"154 ", 154},         {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN}, {"-0", 0}, {"007", 7}};
    for (auto [text, value] : good) {
        auto v = ParseSettingInt(text);
        ASSERT_TRUE(v.has_value()) << text;
        EXPECT_EQ(value, *v) << text;
    }
    for (const char* bad : {"", "abc", "-", " + 3", "2147483648", "99999999999", "-2147483649"})
        EXPECT_FALSE(ParseSettingInt(bad).has_value()) << bad;
    EXPECT_EQ("-32", FormatSettingInt(-32));
    EXPECT_EQ("154", FormatSettingInt(154));
}

TEST(VanvpRead, MissingKeysGiveTheDefaultsAndPresentOnesTheirValues) {
    FakeHost host;
    TunerLibState s;
    s.offsetX = 9;
    s.decoderSaturation = 1;
    ReadVanvp(host, s);
    EXPECT_EQ(0, s.offsetX);
    EXPECT_EQ(0, s.offsetY);
    EXPECT_EQ(154u, s.decoderBrightness);
    EXPECT_EQ(57u, s.decoderContrast);
    EXPECT_EQ(63u, s.decoderSaturation);
    EXPECT_EQ(0, s.decoderHue);
    EXPECT_EQ(0, s.inputSource);

    host.settings = {{"NTSC - 640X480/X Offset", "-6"}, {"NTSC - 640X480/Y Offset", "32"},
                     {"SAA7110/Brightness", "200"},     {"SAA7110/Contrast", "junk"},
                     {"SAA7110/Saturation", ""},        {"SAA7110/Hue", "-32"},
                     {"SAA7110/Video_Source", "2"}};
    ReadVanvp(host, s);
    EXPECT_EQ(-6, s.offsetX);
    EXPECT_EQ(32, s.offsetY);
    EXPECT_EQ(200u, s.decoderBrightness);
    EXPECT_EQ(57u, s.decoderContrast);    // unreadable: default
    EXPECT_EQ(63u, s.decoderSaturation);  // empty: default
    EXPECT_EQ(-32, s.decoderHue);
    EXPECT_EQ(2, s.inputSource);
}

TEST(VanvpWrite, SaveConfigWritesInOrderWithTheSignedHue) {
    FakeHost host;
    TunerLibState s;
    Tuner tuner(s, host);
    ASSERT_EQ(0, tuner.SetHue(-64));
    s.offsetX = -4;
    ASSERT_EQ(0, tuner.SaveConfig());
    EXPECT_EQ((std::vector<std::string>{
                  "SAA7110/Brightness=154", "SAA7110/Contrast=57", "SAA7110/Saturation=64",
                  "SAA7110/Hue=-32", "NTSC - 640X480/X Offset=-4", "NTSC - 640X480/Y Offset=0",
                  "SAA7110/Video_Source=0"}),
              host.writes);
}

TEST(VanvpWrite, VideoSourceIsTranslatedOrLeftAlone) {
    const std::pair<uint16_t, const char*> cases[] = {
        {0, "0"}, {5, "0"}, {10, "0"}, {15, "2"}, {1, nullptr}, {2, nullptr}, {7, nullptr}};
    for (auto [source, text] : cases) {
        FakeHost host;
        host.settings["SAA7110/Video_Source"] = "1";
        TunerLibState s;
        s.inputSource = source;
        WriteVanvp(host, s);
        EXPECT_EQ(text ? text : "1", host.settings["SAA7110/Video_Source"]) << source;
        EXPECT_EQ(text ? 7u : 6u, host.writes.size()) << source;
    }
}

TEST(VanvpWrite, SelectedInputsRoundTripThroughSaveConfig) {
    FakeHost host;
    TunerLibState s;
    Tuner tuner(s, host);
    ASSERT_EQ(0, tuner.SelInputSrc(15));
    tuner.SaveConfig();
    EXPECT_EQ("2", host.settings["SAA7110/Video_Source"]);
    ASSERT_EQ(0, tuner.SelInputSrc(0));
    tuner.SaveConfig();
    EXPECT_EQ("0", host.settings["SAA7110/Video_Source"]);
}

}  // namespace
}  // namespace kvtun::test
