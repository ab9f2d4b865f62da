// kvtun32.dll called by ordinal in this process, as the viewer calls it, checked against the
// requests the virtual board logged and its registers; VANVP.INI as SaveConfig writes it;
// the 16-bit partner's forms of the same operations.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tuner_wine_util.h"

using kivo::wt::Board;
using tunertest::Codes;
using tunertest::TunerLog;
using Seq = std::vector<uint32_t>;
using Bytes = std::vector<uint8_t>;

namespace {

const char* const kNames[28] = {
    "StillTV",       "GetStatusTV",    "SelChannel",       "SelVoiceMode",  "SelInputSrc",
    "GetInputSrc",   "SetBright",      "SetContrast",      "SetColor",      "SetHue",
    "StillTV2",      "SetVoice",       "TrueTo256",        "GetInstance",   "GetUseTuner",
    "SetMute",       "SaveConfig",     "MoveOverLayPos",   "GetOverLayPos", "SetOverLayPos",
    "SetDefOverLayPos", "SetColorMode", "SetWindowPosition", "SetWindowPosition2", "ConvSize",
    "GetPnpAdr",     "UpdateVideo",    "GetPipeLine"};

HMODULE g_library;
uint32_t g_loadMark;  // log total before the load

using Fn0 = LONG(WINAPI*)();
using Fn1 = LONG(WINAPI*)(LONG);
using Fn2 = LONG(WINAPI*)(LONG, LONG);
using Fn3 = LONG(WINAPI*)(LONG, LONG, LONG);
using FnP = LONG(WINAPI*)(void*, void*);

template <typename F>
F Ordinal(int n) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(g_library, MAKEINTRESOURCEA(n))));
}

std::vector<board::LogEntry> Since(uint32_t mark) { return TunerLog(GetCurrentProcessId(), mark); }
Bytes In(const board::LogEntry& e) { return Bytes(e.in, e.in + e.inLength); }

class TunerCalls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        DeleteFileA(tunertest::WindowsFile("VANVP.INI").c_str());
        Board::Reset("[sound]\n1=stereo\n");
        g_loadMark = Board::LogTotal();
        g_library = LoadLibraryA("kvtun32.dll");
    }
    void SetUp() override { ASSERT_NE(nullptr, g_library); }
};

TEST_F(TunerCalls, TheLoadInitialisesTheBoardFromTheDefaults) {
    auto log = Since(g_loadMark);
    ASSERT_EQ((Seq{10, 29, 33, 19, 18, 13, 28, 21, 21, 21, 21, 12, 28, 18}), Codes(log));
    EXPECT_EQ((Bytes{9}), In(log[1]));
    EXPECT_EQ((Bytes{0x10}), In(log[6]));
    EXPECT_EQ((Bytes{154, 0x19}), In(log[7]));
    EXPECT_EQ((Bytes{57, 0x13}), In(log[8]));
    EXPECT_EQ((Bytes{63, 0x12}), In(log[9]));
    EXPECT_EQ((Bytes{0, 0x07}), In(log[10]));
    EXPECT_EQ((Bytes{0x11}), In(log[11]));
    EXPECT_EQ((Bytes{1}), In(log[12]));
    EXPECT_EQ((Bytes{0xFB}), In(log[13]));
    // Calling it again does nothing: the board is initialised.
    uint32_t mark = Board::LogTotal();
    EXPECT_EQ(0, Ordinal<Fn1>(23)(0));
    EXPECT_TRUE(Since(mark).empty());
}

TEST_F(TunerCalls, OrdinalsTwoToTwentyNineAreTheNamedExports) {
    for (int i = 0; i < 28; ++i) {
        FARPROC byOrdinal = GetProcAddress(g_library, MAKEINTRESOURCEA(i + 2));
        ASSERT_NE(nullptr, byOrdinal) << i + 2;
        EXPECT_EQ(byOrdinal, GetProcAddress(g_library, kNames[i])) << kNames[i];
    }
    EXPECT_EQ(nullptr, GetProcAddress(g_library, MAKEINTRESOURCEA(1)));
    EXPECT_EQ(nullptr, GetProcAddress(g_library, MAKEINTRESOURCEA(30)));
    EXPECT_EQ(-1, Ordinal<Fn1>(2)(0));
    EXPECT_EQ(-1, Ordinal<Fn2>(24)(1, 2));
    EXPECT_EQ(-1, Ordinal<Fn2>(25)(1, 2));
    EXPECT_EQ(-1, Ordinal<FnP>(26)(nullptr, nullptr));
    EXPECT_EQ(0, Ordinal<Fn0>(27)());
    EXPECT_EQ(-1, Ordinal<Fn0>(28)());
    EXPECT_EQ(0, Ordinal<Fn0>(29)());
}

TEST_F(TunerCalls, ChannelsAreTunedBetweenMuteAndUnmute) {
    uint32_t mark = Board::LogTotal();
    ASSERT_EQ(0, Ordinal<Fn1>(4)(0x10000 + 38));
    auto log = Since(mark);
    ASSERT_EQ((Seq{19, 18, 16, 19, 18}), Codes(log));
    EXPECT_EQ((Bytes{0x58, 0x00}), In(log[2]));
    EXPECT_EQ(0x08, log[1].in[0] & 0x08);
    EXPECT_EQ(0x00, log[4].in[0] & 0x08);
    EXPECT_EQ(88, Board::Snapshot()->channel);
    EXPECT_EQ(0, Ordinal<Fn0>(16)());

    mark = Board::LogTotal();
    EXPECT_EQ(-1, Ordinal<Fn1>(4)(0x10000 + 12));
    EXPECT_EQ(-1, Ordinal<Fn1>(4)(63));
    EXPECT_EQ(-1, Ordinal<Fn1>(4)(0x20005));
    EXPECT_TRUE(Since(mark).empty());
}

TEST_F(TunerCalls, InputSoundAndStatusFollowTheBoard) {
    ASSERT_EQ(0, Ordinal<Fn1>(6)(0));  // the tuner
    ASSERT_EQ(0, Ordinal<Fn1>(4)(1));  // a stereo station
    EXPECT_EQ(4, Ordinal<Fn0>(3)());
    auto board = Board::Snapshot();
    EXPECT_EQ(0x00, board->decoderInput);
    EXPECT_EQ(0, board->path);

    uint32_t mark = Board::LogTotal();
    ASSERT_EQ(0, Ordinal<Fn1>(5)(3));
    auto log = Since(mark);
    ASSERT_EQ((Seq{19, 18}), Codes(log));
    EXPECT_EQ(2u, log[0].outLength);
    EXPECT_EQ(0, Board::Snapshot()->controlPort & 3);
    ASSERT_EQ(0, Ordinal<Fn1>(5)(0));
    EXPECT_EQ(3, Board::Snapshot()->controlPort & 3);
    EXPECT_EQ(-1, Ordinal<Fn1>(5)(2));

    ASSERT_EQ(0, Ordinal<Fn1>(17)(1));
    EXPECT_EQ(0xF8, Board::Snapshot()->controlPort & 0xF8);
    ASSERT_EQ(0, Ordinal<Fn1>(17)(0));
    EXPECT_EQ(0xF0, Board::Snapshot()->controlPort & 0xF8);
    EXPECT_EQ(-1, Ordinal<Fn1>(17)(2));

    ASSERT_EQ(0, Ordinal<Fn1>(6)(15));
    board = Board::Snapshot();
    EXPECT_EQ(0x21, board->decoderInput);
    EXPECT_EQ(2, board->path);
    EXPECT_EQ(5, Ordinal<Fn0>(3)());  // no broadcast on an external input
    EXPECT_EQ(-1, Ordinal<Fn1>(6)(1));
    // Input status 0x55: bits 6, 4 and 2 set, bit 0 set.
    EXPECT_EQ(0x0E, Ordinal<Fn0>(7)());
}

TEST_F(TunerCalls, PictureControlsWriteTheDecoderRegisters) {
    ASSERT_EQ(0, Ordinal<Fn1>(8)(-32));
    auto board = Board::Snapshot();
    EXPECT_EQ(116, board->decoder[0x19]);
    EXPECT_EQ(57, board->decoder[0x13]);
    ASSERT_EQ(0, Ordinal<Fn1>(8)(0));
    ASSERT_EQ(0, Ordinal<Fn1>(9)(87));
    board = Board::Snapshot();
    EXPECT_EQ(88, board->decoder[0x13]);
    EXPECT_EQ(216, board->decoder[0x19]);
    ASSERT_EQ(0, Ordinal<Fn1>(10)(165));
    EXPECT_EQ(127, Board::Snapshot()->decoder[0x12]);
    ASSERT_EQ(0, Ordinal<Fn1>(11)(-1));
    EXPECT_EQ(0, Board::Snapshot()->decoder[0x07]);
    ASSERT_EQ(0, Ordinal<Fn1>(11)(-64));
    EXPECT_EQ(0xE0, Board::Snapshot()->decoder[0x07]);

    uint32_t mark = Board::LogTotal();
    EXPECT_EQ(-1, Ordinal<Fn1>(8)(32));
    EXPECT_EQ(-1, Ordinal<Fn1>(9)(23));
    EXPECT_EQ(-1, Ordinal<Fn1>(10)(166));
    EXPECT_EQ(-1, Ordinal<Fn1>(11)(64));
    EXPECT_TRUE(Since(mark).empty());
}

TEST_F(TunerCalls, StillPictureFreezesAndReleasesCaptureControl) {
    EXPECT_EQ(-1, Ordinal<Fn1>(12)(0));
    ASSERT_EQ(0, Ordinal<Fn1>(12)(1));
    auto board = Board::Snapshot();
    EXPECT_TRUE(board::Frozen(*board));
    ASSERT_EQ(0, Ordinal<Fn1>(12)(0));
    board = Board::Snapshot();
    EXPECT_FALSE(board::Frozen(*board));
    EXPECT_EQ(0x1F, board->vp[0xB8]);
}

TEST_F(TunerCalls, OverlayWindowIsSetMovedAndRead) {
    EXPECT_EQ(-1, Ordinal<Fn3>(22)(1024, 768, 24));
    ASSERT_EQ(0, Ordinal<Fn3>(22)(1024, 768, 16));
    EXPECT_EQ(125 * 65536 + 855, Ordinal<Fn1>(20)(0));
    EXPECT_EQ(46 * 65536 + 502, Ordinal<Fn1>(20)(1));
    EXPECT_EQ(0, Ordinal<Fn1>(20)(2));
    EXPECT_EQ(0, Ordinal<Fn0>(15)());  // overlay switched off

    const uint32_t prepares = Board::Snapshot()->overlayPrepares;
    for (int i = 0; i < 17; ++i) ASSERT_EQ(0, Ordinal<Fn1>(19)(1));
    EXPECT_EQ(prepares + 16, Board::Snapshot()->overlayPrepares);
    EXPECT_EQ((125 + 32) * 65536 + 855 + 32, Ordinal<Fn1>(20)(0));
    EXPECT_EQ(-1, Ordinal<Fn1>(19)(4));

    ASSERT_EQ(0, Ordinal<Fn2>(21)(1, (40 << 16) | 500));
    EXPECT_EQ((40 << 16) | 500, Ordinal<Fn1>(20)(1));
    EXPECT_EQ(-1, Ordinal<Fn2>(21)(2, 0));

    // Switch the overlay on behind the library's back: the window is a proper one.
    HMODULE device = GetModuleHandleA("ZTUNER.VXD");
    ASSERT_NE(nullptr, device);
    auto control = reinterpret_cast<BOOL(WINAPI*)(DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)>(
        reinterpret_cast<void*>(GetProcAddress(device, "DeviceIoControl")));
    DWORD returned = 0;
    for (BYTE reg : {0x8E, 0x9C}) {
        BYTE write[4] = {0x10, 0, reg, 0};
        control(26, write, 4, nullptr, 0, &returned, nullptr);
    }
    EXPECT_EQ(1, Ordinal<Fn0>(15)());
    ASSERT_EQ(0, Ordinal<Fn2>(21)(1, (40 << 16) | 41));
    ASSERT_EQ(0, Ordinal<Fn2>(21)(0, (40 << 16) | 41));
    EXPECT_EQ(0, Ordinal<Fn0>(15)());
}

TEST_F(TunerCalls, SetVoiceSwitchesTheBoardMixersMute) {
    EXPECT_EQ(0, Ordinal<Fn1>(13)(0));
    EXPECT_EQ(1, Board::Snapshot()->mixer[1].values[0]);
    EXPECT_EQ(0, Ordinal<Fn1>(13)(1));
    EXPECT_EQ(0, Board::Snapshot()->mixer[1].values[0]);
    EXPECT_EQ(0, Board::Snapshot()->mixerOpen);
}

TEST_F(TunerCalls, SaveConfigWritesVanvpIniInTheWindowsDirectory) {
    const std::string file = tunertest::WindowsFile("VANVP.INI");
    DeleteFileA(file.c_str());
    ASSERT_EQ(0, Ordinal<Fn3>(22)(640, 480, 8));  // offsets back to 0
    ASSERT_EQ(0, Ordinal<Fn1>(19)(0));             // X -2
    ASSERT_EQ(0, Ordinal<Fn1>(19)(3));             // Y +2
    ASSERT_EQ(0, Ordinal<Fn1>(8)(-32));
    ASSERT_EQ(0, Ordinal<Fn1>(9)(56));
    ASSERT_EQ(0, Ordinal<Fn1>(10)(0));
    ASSERT_EQ(0, Ordinal<Fn1>(11)(-64));
    ASSERT_EQ(0, Ordinal<Fn1>(6)(15));
    ASSERT_EQ(0, Ordinal<Fn0>(18)());
    std::string text = kivo::wt::ReadFile(file);
    using tunertest::IniValue;
    EXPECT_EQ("116", IniValue(text, "SAA7110", "Brightness")) << text;
    EXPECT_EQ("57", IniValue(text, "SAA7110", "Contrast"));
    EXPECT_EQ("0", IniValue(text, "SAA7110", "Saturation"));
    EXPECT_EQ("-32", IniValue(text, "SAA7110", "Hue"));
    EXPECT_EQ("2", IniValue(text, "SAA7110", "Video_Source"));
    EXPECT_EQ("-2", IniValue(text, "NTSC - 640X480", "X Offset"));
    EXPECT_EQ("2", IniValue(text, "NTSC - 640X480", "Y Offset"));

    ASSERT_EQ(0, Ordinal<Fn1>(6)(0));
    ASSERT_EQ(0, Ordinal<Fn0>(18)());
    EXPECT_EQ("0", IniValue(kivo::wt::ReadFile(file), "SAA7110", "Video_Source"));

    // An explicit window position drops the unsaved shifts: the file's come back.
    ASSERT_EQ(0, Ordinal<Fn1>(19)(1));
    ASSERT_EQ(0, Ordinal<Fn1>(19)(1));  // X +2 twice: 2, unsaved
    ASSERT_EQ(0, Ordinal<Fn2>(21)(0, (125 << 16) | 855));
    ASSERT_EQ(0, Ordinal<Fn0>(18)());
    EXPECT_EQ("-2", IniValue(kivo::wt::ReadFile(file), "NTSC - 640X480", "X Offset"));
    DeleteFileA(file.c_str());
}

// A 2 x 2 frame: black, the grey cube entry, a dark grey that gives black, full blue.
std::vector<uint8_t> SmallFrame() {
    std::vector<uint8_t> f(40 + 2 * 8, 0);
    f[0] = 40;
    f[4] = 2;
    f[8] = 2;
    f[12] = 1;
    f[14] = 24;
    const uint8_t pixels[2][6] = {{0, 0, 0, 51, 51, 51}, {20, 20, 20, 255, 0, 0}};
    std::memcpy(&f[40], pixels[0], 6);
    std::memcpy(&f[48], pixels[1], 6);
    return f;
}

TEST_F(TunerCalls, TrueTo256ByOrdinalReducesAFrame) {
    auto source = SmallFrame();
    std::vector<uint8_t> destination(1064 + 4 * 2, 0xEE);
    ASSERT_EQ(0, Ordinal<FnP>(14)(source.data(), destination.data()));
    EXPECT_EQ(8, destination[14]);
    EXPECT_EQ(16u, source[20] | source[21] << 8);
    EXPECT_EQ(0, destination[1064]);
    EXPECT_EQ(83, destination[1065]);
    EXPECT_EQ(0, destination[1068]);
    EXPECT_EQ(45, destination[1069]);
    EXPECT_EQ(-1, Ordinal<FnP>(14)(nullptr, destination.data()));
}

TEST_F(TunerCalls, ThePartnerOffersTheOperationsWithSixteenBitForms) {
    HMODULE partner = GetModuleHandleA("KVTU3216.DLL");
    ASSERT_NE(nullptr, partner);
    auto fn = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(partner, name)); };
    for (const char* name : kNames) EXPECT_NE(nullptr, fn(name)) << name;
    auto setHue = reinterpret_cast<LONG(WINAPI*)(SHORT)>(fn("SetHue"));
    auto setColor = reinterpret_cast<LONG(WINAPI*)(WORD)>(fn("SetColor"));
    auto setBright = reinterpret_cast<LONG(WINAPI*)(SHORT)>(fn("SetBright"));
    auto selChannel = reinterpret_cast<LONG(WINAPI*)(DWORD)>(fn("SelChannel"));
    auto getOverLayPos = reinterpret_cast<LONG(WINAPI*)(SHORT)>(fn("GetOverLayPos"));
    auto setDef = reinterpret_cast<LONG(WINAPI*)(SHORT, SHORT, SHORT)>(fn("SetDefOverLayPos"));
    auto trueTo256 = reinterpret_cast<LONG(WINAPI*)(DWORD, DWORD)>(fn("TrueTo256"));
    auto allocSelector = reinterpret_cast<WORD(WINAPI*)(LPVOID, DWORD)>(fn("AllocFlatSelector"));
    auto freeSelector = reinterpret_cast<BOOL(WINAPI*)(WORD)>(fn("FreeFlatSelector"));

    ASSERT_EQ(0, setHue(40));
    EXPECT_EQ(20, Board::Snapshot()->decoder[0x07]);
    ASSERT_EQ(0, setHue(static_cast<SHORT>(-1)));  // arrives as -1, not 65535
    EXPECT_EQ(0, Board::Snapshot()->decoder[0x07]);
    EXPECT_EQ(-1, setColor(0xFFFF));               // 65535, not -1
    ASSERT_EQ(0, setBright(-32));
    EXPECT_EQ(116, Board::Snapshot()->decoder[0x19]);
    ASSERT_EQ(0, selChannel(0x10000 + 13));
    EXPECT_EQ(63, Board::Snapshot()->channel);
    ASSERT_EQ(0, setDef(800, 600, 24));
    EXPECT_EQ(125 * 65536 + 855, getOverLayPos(0));  // the high word comes back whole

    auto source = SmallFrame();
    std::vector<uint8_t> viaPartner(1064 + 8, 0xEE), direct(1064 + 8, 0xEE);
    WORD s = allocSelector(source.data(), static_cast<DWORD>(source.size()));
    WORD d = allocSelector(viaPartner.data(), static_cast<DWORD>(viaPartner.size()));
    ASSERT_NE(0, s);
    ASSERT_NE(0, d);
    ASSERT_EQ(0, trueTo256(MAKELONG(0, s), MAKELONG(0, d)));
    auto again = SmallFrame();
    ASSERT_EQ(0, Ordinal<FnP>(14)(again.data(), direct.data()));
    EXPECT_EQ(direct, viaPartner);
    // A null far pointer or an unknown selector maps to nothing, which the library refuses.
    EXPECT_EQ(-1, trueTo256(0, MAKELONG(0, d)));
    EXPECT_EQ(-1, trueTo256(MAKELONG(0, 0x7FF), MAKELONG(0, d)));
    // Every mapping was released.
    EXPECT_TRUE(freeSelector(s));
    EXPECT_TRUE(freeSelector(d));
    EXPECT_FALSE(freeSelector(d));
}

}  // namespace
