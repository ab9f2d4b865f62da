// The viewer's tuner state over the real ZORTV.INI and kvtun32.dll on the virtual board: what
// lands in the settings file and which channel codes reach the tuner driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "winetest.h"

using kivo::wt::Board;
using kivo::wt::ChildProcess;
using kivo::wt::ScratchFolder;

namespace {

constexpr uint32_t kTuneRequest = 16;

struct ProbeRun {
    long exitCode;
    std::vector<unsigned> tunedCodes;  // channel codes of the tune requests, in order
    std::string ini;
};

// Runs the probe in a fresh program folder holding ini (none when empty).
ProbeRun RunProbe(const std::string& ini, const std::string& steps) {
    ScratchFolder folder("tstate", {"tstate_probe.exe", "kvtun32.dll", "KVTU3216.DLL", "ZTUNER.VXD",
                                    "KVBOARD.DLL", "BOARDMIX.DRV"});
    if (!ini.empty()) folder.Write("ZORTV.INI", ini);
    Board::Reset();
    ProbeRun run{-1, {}, ""};
    ChildProcess probe;
    if (!probe.Start("\"" + folder.File("tstate_probe.exe") + "\" " + steps, folder.Path())) return run;
    run.exitCode = probe.Wait(20000);
    for (const auto& e : Board::Log(board::kZtuner))
        if (e.process == probe.Id() && e.code == kTuneRequest && e.inLength == 2)
            run.tunedCodes.push_back(e.in[0] | (e.in[1] << 8));
    run.ini = kivo::wt::ReadFile(folder.File("ZORTV.INI"));
    return run;
}

TEST(TunerStateOnTheBoard, WithoutASettingsFileTheDefaultsAreSaved) {
    ProbeRun run = RunProbe("", "");
    EXPECT_EQ(0, run.exitCode);
    EXPECT_TRUE(run.tunedCodes.empty());  // no preset holds a channel
    EXPECT_EQ("[ZORTV]\r\nCurrentPreset=0\r\nCurrentCableTVChannel=13\r\nSource=0\r\nVoice=2\r\n",
              run.ini);
}

TEST(TunerStateOnTheBoard, PresetsAreTunedAndTheSelectionIsSaved) {
    const std::string ini =
        "[ZORTV]\r\nChannel1=4,NHK\r\nChannel3=70,Cable\r\nChannel4=12,\r\nCurrentPreset=9\r\n"
        "Brightness=-6\r\n";
    // Start-up tunes preset 0 (the first valid one), then preset 2 is selected: C20.
    ProbeRun run = RunProbe(ini, "2");
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ((std::vector<unsigned>{4, 70}), run.tunedCodes);
    EXPECT_EQ("[ZORTV]\r\nChannel1=4,NHK\r\nChannel3=70,Cable\r\nChannel4=12,\r\nCurrentPreset=2\r\n"
              "Brightness=-6\r\nCurrentCableTVChannel=13\r\nSource=0\r\nVoice=2\r\n",
              run.ini);

    // Channel up from 0 skips the empty presets; an empty preset is refused.
    run = RunProbe(ini, "up 3");
    EXPECT_EQ(2, run.exitCode);
    EXPECT_EQ((std::vector<unsigned>{4, 70}), run.tunedCodes);
    EXPECT_NE(std::string::npos, run.ini.find("CurrentPreset=2\r\n"));
}

TEST(TunerStateOnTheBoard, CableChannelsWrapAndAreSavedAsShown) {
    ProbeRun run = RunProbe("[ZORTV]\r\nUseCableTV=1\r\nSource=1\r\nCurrentCableTVChannel=38\r\nVoice=3\r\n",
                       "up");
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ((std::vector<unsigned>{88, 63}), run.tunedCodes);
    EXPECT_EQ("[ZORTV]\r\nUseCableTV=1\r\nSource=1\r\nCurrentCableTVChannel=13\r\nVoice=3\r\n"
              "CurrentPreset=0\r\n",
              run.ini);
}

}  // namespace
