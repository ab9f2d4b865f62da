#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board_state.h"

namespace {

using namespace board;

Settings Parse(const char* text) { return ParseSettings(text, std::strlen(text), DefaultSettings()); }

TEST(BoardSettings, ReadsEverySection) {
    Settings s = Parse(
        "; a faulty board\n"
        "[Board]\n present = 1\nprobe=0\nidentify=0x20\nstatus=0\ninput_status=0x11\nmixer=0\n"
        "[sound]\n1=mono\n5 = Stereo ; comment\n63=bilingual\n88=sub\n2=none\n"
        "[mixer]\n33=1024\n0=3\n35=0\n"
        "[spkd]\npresent=0\nos_ready=0\nid_check=1\nmachine_id=0x1234\nrequest=0\n"
        "[remote]\npresent=0\n");
    EXPECT_EQ(1, s.present);
    EXPECT_EQ(0u, s.probeWord);
    EXPECT_EQ(0x20, s.identify);
    EXPECT_EQ(0, s.boardStatus);
    EXPECT_EQ(0x11, s.inputStatus);
    EXPECT_EQ(0, s.mixerPresent);
    EXPECT_EQ(kSoundMono, s.sound[1]);
    EXPECT_EQ(kSoundStereo, s.sound[5]);
    EXPECT_EQ(kSoundBilingual, s.sound[63]);
    EXPECT_EQ(kSoundSub, s.sound[88]);
    EXPECT_EQ(kSoundNone, s.sound[2]);
    EXPECT_EQ(1024, s.mixerInitial[0]);
    EXPECT_EQ(0, s.mixerInitial[1]);
    EXPECT_EQ(3, s.mixerInitial[4]);
    EXPECT_EQ(0, s.spkdPresent);
    EXPECT_EQ(0, s.spkdOsReady);
    EXPECT_EQ(1, s.spkdIdCheck);
    EXPECT_EQ(0x1234, s.spkdMachineId);
    EXPECT_EQ(0, s.spkdRequestOk);
    EXPECT_EQ(0, s.dazidavPresent);
}

TEST(BoardSettings, MalformedValuesKeepTheDefaults) {
    Settings d = DefaultSettings();
    Settings s = Parse("[board]\npresent=yes\nprobe=-1\nidentify=0x121\n[sound]\n0=stereo\n89=stereo\n"
                       "x=mono\n4=loud\n[mixer]\n99=5\n33=abc\n[spkd]\nmachine_id=0x10000\nnot a line\n[");
    EXPECT_EQ(d.present, s.present);
    EXPECT_EQ(d.probeWord, s.probeWord);
    EXPECT_EQ(d.identify, s.identify);
    EXPECT_EQ(0, std::memcmp(d.sound, s.sound, sizeof d.sound));
    EXPECT_EQ(0, std::memcmp(d.mixerInitial, s.mixerInitial, sizeof d.mixerInitial));
    EXPECT_EQ(d.spkdMachineId, s.spkdMachineId);
}

TEST(BoardSettings, KeysOutsideASectionAndWindowsLineEndsAreHandled) {
    Settings s = Parse("present=0\r\n[board]\r\npresent=0\r\n");
    EXPECT_EQ(0, s.present);
    Settings t = Parse("present=0\n");
    EXPECT_EQ(1, t.present);
}

TEST(BoardSettings, VideoFilesPerChannelResolvedUnderTheBoardsFolder) {
    const std::string tooLong(kVideoPathLength, 'a');
    Settings s = Parse(("[video]\n13=clips\\bars.y4m ; the sample\n1 = \"C:\\My Clips\\a.y4m\"\n"
                        "2=/tmp/b.y4m\n3=\\\\server\\c.y4m\n4=x.y4m\n4=\n0=zero.y4m\n89=past.y4m\nx=y.y4m\n"
                        "5=" + tooLong + "\n6=" + tooLong.substr(0, 255) + "\n").c_str());
    EXPECT_STREQ("clips\\bars.y4m", s.video[13]);
    EXPECT_STREQ("C:\\My Clips\\a.y4m", s.video[1]);
    EXPECT_STREQ("", s.video[4]);  // an empty value takes the file away again
    EXPECT_STREQ("", s.video[0]);
    EXPECT_STREQ("", s.video[5]);  // refused, not cut to another name
    for (const auto& path : DefaultSettings().video) EXPECT_STREQ("", path);

    ResolveVideoPaths(s, "C:\\KIVO");
    EXPECT_STREQ("C:\\KIVO\\clips\\bars.y4m", s.video[13]);
    EXPECT_STREQ("C:\\My Clips\\a.y4m", s.video[1]);
    EXPECT_STREQ("/tmp/b.y4m", s.video[2]);
    EXPECT_STREQ("\\\\server\\c.y4m", s.video[3]);
    EXPECT_STREQ("", s.video[6]);  // fits alone, not under the folder
    EXPECT_STREQ("", s.video[7]);
    Settings t = Parse("[video]\n8=a.y4m\n");
    ResolveVideoPaths(t, "C:\\KIVO\\");
    EXPECT_STREQ("C:\\KIVO\\a.y4m", t.video[8]);
}

}  // namespace
