// vddusr32 against the test DirectDraw: a driver program in a scratch program folder holds
// the helper, its partner and the test "ddraw.dll" (preferred as native, then builtin) and runs a script
// of calls; the test DirectDraw's shared control sets what DirectDraw answers and logs what
// the helper asked of it.
#include <gtest/gtest.h>
#include <ddraw.h>

#include <sstream>
#include <string>
#include <vector>

#include "test_ddraw_control.h"
#include "winetest.h"

namespace {

using Lines = std::vector<std::string>;
using testddraw::Call;
using testddraw::Control;

constexpr uint32_t kPrimaryBytes = 640 * 480 * 2;
constexpr uint32_t kVideoMemory = 4u << 20;

Control* Ctl() { return testddraw::OpenControl(); }

// The test DirectDraw hands out its video memory in pages.
constexpr uint32_t Pages(uint32_t bytes) { return (bytes + 4095) & ~4095u; }
constexpr uint32_t kOverlay320x240 = Pages(640 * 240);

// A program folder holding the driver, the helper and (unless told otherwise) its partner
// and the test DirectDraw.
class Folder {
public:
    explicit Folder(const std::string& name, bool partner = true, bool testDirectDraw = true)
        : folder_(name, {"surface_driver.exe", "vddusr32.dll"}) {
        if (partner) folder_.Copy("VDDUSR16.DLL");
        if (testDirectDraw) {
            CopyFileA(kivo::wt::InProgramFolder("testddraw\\ddraw.dll").c_str(), folder_.File("ddraw.dll").c_str(),
                      FALSE);
        }
    }

    // Starts a driver with the commands; its results go to `results`.
    bool Start(kivo::wt::ChildProcess& child, const std::string& results, const Lines& commands) const {
        DeleteFileA(folder_.File(results).c_str());
        std::string line = "\"" + folder_.File("surface_driver.exe") + "\" \"" + folder_.File(results) + "\"";
        for (const auto& c : commands) line += " " + c;
        return child.Start(line, folder_.Path());
    }

    Lines Results(const std::string& results) const {
        Lines lines;
        std::istringstream in(kivo::wt::ReadFile(folder_.File(results)));
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        return lines;
    }

    // Runs a driver to its end and gives one line per command.
    Lines Run(const Lines& commands) const {
        kivo::wt::ChildProcess child;
        if (!Start(child, "results.txt", commands)) return {"no driver"};
        last_process_ = child.Id();
        if (child.Wait(60000) != 0) return {"driver did not end"};
        return Results("results.txt");
    }

    DWORD LastProcess() const { return last_process_; }

private:
    kivo::wt::ScratchFolder folder_;
    mutable DWORD last_process_ = 0;
};

// The logged calls of one method, of one process when given.
std::vector<Call> Calls(uint32_t method, DWORD process = 0) {
    std::vector<Call> calls;
    const Control* c = Ctl();
    uint32_t total = c->calls;
    uint32_t first = total > testddraw::kLogSize ? total - testddraw::kLogSize : 0;
    for (uint32_t seq = first; seq < total; ++seq) {
        const Call& call = c->log[seq % testddraw::kLogSize];
        if (call.method == method && (process == 0 || call.process == process)) calls.push_back(call);
    }
    return calls;
}

class SurfaceHelper : public ::testing::Test {
protected:
    // The drivers prefer the test DirectDraw in their folder over the system's. Under this
    // Wine a WINEDLLOVERRIDES set here does not reach the children; the per-program key does.
    static constexpr char kOverrides[] = "Software\\Wine\\AppDefaults\\surface_driver.exe\\DllOverrides";
    static void SetUpTestSuite() {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE,
                                                 nullptr, &key, nullptr));
        static const char order[] = "native,builtin";
        RegSetValueExA(key, "ddraw", 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
        RegCloseKey(key);
    }
    static void TearDownTestSuite() {
        RegDeleteKeyA(HKEY_CURRENT_USER, kOverrides);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\surface_driver.exe");
    }
    void SetUp() override {
        ASSERT_NE(nullptr, Ctl());
        testddraw::SetDefaults(Ctl());
    }
    void TearDown() override {
        // Whatever a driver made, it released when it ended or unloaded the helper.
        EXPECT_EQ(0u, Ctl()->shownOverlays);
    }
    Folder folder_{"surface"};
};

TEST_F(SurfaceHelper, LoadSetsUpDirectDrawOnTheDesktopWithThePrimarySurface) {
    Lines r = folder_.Run({"load", "exports", "call", "mode", "size"});
    EXPECT_EQ((Lines{"ok", "8", "1", "1", std::to_string(kVideoMemory - kPrimaryBytes)}), r);
    const DWORD driver = folder_.LastProcess();

    auto create = Calls(testddraw::kDirectDrawCreate, driver);
    ASSERT_EQ(1u, create.size());
    EXPECT_EQ(0u, create[0].arg[0]);  // the default device
    auto cooperative = Calls(testddraw::kSetCooperativeLevel, driver);
    ASSERT_EQ(1u, cooperative.size());
    EXPECT_EQ(1u, cooperative[0].arg[0]);               // the desktop window
    EXPECT_EQ(static_cast<uint32_t>(DDSCL_NORMAL), cooperative[0].arg[1]);
    auto surfaces = Calls(testddraw::kCreateSurface, driver);
    ASSERT_EQ(1u, surfaces.size());
    EXPECT_EQ(sizeof(DDSURFACEDESC), surfaces[0].arg[0]);
    EXPECT_EQ(static_cast<uint32_t>(DDSD_CAPS), surfaces[0].arg[1]);
    EXPECT_EQ(static_cast<uint32_t>(DDSCAPS_PRIMARYSURFACE), surfaces[0].arg[4]);
    auto caps = Calls(testddraw::kGetCaps, driver);
    ASSERT_FALSE(caps.empty());
    EXPECT_EQ(316u, caps[0].arg[0]);
    EXPECT_EQ(316u, caps[0].arg[1]);
    // The process ended without unloading: nothing was called at its end.
    EXPECT_TRUE(Calls(testddraw::kReleaseDirectDraw, driver).empty());
}

TEST_F(SurfaceHelper, ReserveShowsAOnePixelOverlayAndTellsWhereItLies) {
    Lines r = folder_.Run({"load", "add 320 240 YUY2 0", "offset 0", "stride 0", "size", "count",
                           "add 320 240 YUY2 0", "release 0", "release 0", "count", "unload"});
    EXPECT_EQ((Lines{"ok", "0", std::to_string(kPrimaryBytes), "640",
                     std::to_string(kVideoMemory - kPrimaryBytes - kOverlay320x240), "1", "-1", "1", "0", "0", "ok"}),
              r);
    const DWORD driver = folder_.LastProcess();

    // The probe's 10 x 10 overlay, then the reserved one, each shown at (0,0)-(1,1) on the primary.
    auto surfaces = Calls(testddraw::kCreateSurface, driver);
    ASSERT_EQ(4u, surfaces.size());  // primary, probe, reserve, probe of the last count
    EXPECT_EQ(10u, surfaces[1].arg[2]);
    EXPECT_EQ(10u, surfaces[1].arg[3]);
    EXPECT_EQ(320u, surfaces[2].arg[2]);
    EXPECT_EQ(240u, surfaces[2].arg[3]);
    auto updates = Calls(testddraw::kUpdateOverlay, driver);
    ASSERT_EQ(3u, updates.size());
    for (const Call& u : updates) {
        EXPECT_EQ((std::vector<uint32_t>{0, 0, 1, 1, 0, 0, 1, 1}), std::vector<uint32_t>(u.arg, u.arg + 8));
        EXPECT_EQ(static_cast<uint32_t>(DDOVER_SHOW), u.arg[8]);
        EXPECT_EQ(0u, u.arg[9]);              // no effects
        EXPECT_EQ(surfaces[0].surface, u.arg[10]);  // onto the primary surface
        EXPECT_EQ(0, u.result);
    }
    // Unloading released every surface and the DirectDraw object.
    EXPECT_EQ(0u, Ctl()->liveOverlays);
    EXPECT_EQ(0u, Ctl()->livePrimaries);
    EXPECT_EQ(0u, Ctl()->liveObjects);
    EXPECT_EQ(1u, Calls(testddraw::kReleaseDirectDraw, driver).size());
}

TEST_F(SurfaceHelper, OverlayDescriptionOfEachFourCC) {
    struct Case {
        const char* code;
        uint32_t flags;
        uint32_t fourcc;
        uint32_t bits;
    };
    const Case cases[] = {
        {"YUY2", DDPF_FOURCC | DDPF_YUV, MAKEFOURCC('Y', 'U', 'Y', '2'), 16},
        {"R555", DDPF_RGB, 0, 16},
        {"R565", DDPF_FOURCC | DDPF_YUV, MAKEFOURCC('R', '5', '6', '5'), 16},
        {"RGB8", DDPF_FOURCC | DDPF_YUV, MAKEFOURCC('R', 'G', 'B', '8'), 16},
        {"YVU9", DDPF_FOURCC | DDPF_YUV, MAKEFOURCC('Y', 'V', 'U', '9'), 9},
        {"YVUB", DDPF_FOURCC | DDPF_YUV, MAKEFOURCC('Y', 'V', 'U', 'B'), 12},
    };
    Lines script = {"load"};
    for (const Case& c : cases) {
        script.push_back(std::string("add 160 120 ") + c.code + " 0");
        script.push_back("stride 0");
        script.push_back("release 0");
    }
    // A code the helper does not know asks for 0 bits, which this DirectDraw refuses.
    script.push_back("add 160 120 UYVY 0");
    Lines r = folder_.Run(script);
    Lines expected = {"ok"};
    for (const Case& c : cases) {
        expected.push_back("0");
        expected.push_back(std::to_string(((160 * c.bits + 7) / 8 + 15) & ~15u));
        expected.push_back("1");
    }
    expected.push_back("-1");
    EXPECT_EQ(expected, r);

    std::vector<Call> reserved;
    for (const Call& c : Calls(testddraw::kCreateSurface, folder_.LastProcess()))
        if (c.arg[2] == 160) reserved.push_back(c);
    ASSERT_EQ(std::size(cases) + 1, reserved.size());
    for (size_t i = 0; i < reserved.size(); ++i) {
        const Call& c = reserved[i];
        SCOPED_TRACE(i < std::size(cases) ? cases[i].code : "UYVY");
        EXPECT_EQ(sizeof(DDSURFACEDESC), c.arg[0]);
        EXPECT_EQ(static_cast<uint32_t>(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT), c.arg[1]);
        EXPECT_EQ(120u, c.arg[3]);
        EXPECT_EQ(static_cast<uint32_t>(DDSCAPS_OVERLAY | DDSCAPS_VIDEOMEMORY), c.arg[4]);
        EXPECT_EQ(32u, c.arg[5]);
        EXPECT_EQ(0x7C00u, c.arg[9]);
        EXPECT_EQ(0x03E0u, c.arg[10]);
        EXPECT_EQ(0x001Fu, c.arg[11]);
        EXPECT_EQ(0x8000u, c.arg[12]);
        if (i < std::size(cases)) {
            EXPECT_EQ(cases[i].flags, c.arg[6]);
            EXPECT_EQ(cases[i].fourcc, c.arg[7]);
            EXPECT_EQ(cases[i].bits, c.arg[8]);
        } else {
            EXPECT_EQ(static_cast<uint32_t>(DDPF_FOURCC | DDPF_YUV), c.arg[6]);
            EXPECT_EQ(0u, c.arg[8]);
            EXPECT_EQ(static_cast<int32_t>(DDERR_INVALIDPIXELFORMAT), c.result);
        }
    }
}

TEST_F(SurfaceHelper, AnOverlayOfAnotherProgramMakesTheProbeOneAndTheReserveBusy) {
    Ctl()->heldByOthers = 1;
    EXPECT_EQ((Lines{"ok", "1", "-1", "1", "0"}),
              folder_.Run({"load", "count", "add 320 240 YUY2 0", "count", "release 0"}));
    EXPECT_EQ(0u, Ctl()->liveOverlays);

    // Another process holding the helper's reservation.
    Ctl()->heldByOthers = 0;
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, "KivoSurfaceHolderGo");
    ASSERT_NE(nullptr, go);
    kivo::wt::ChildProcess holder;
    ASSERT_TRUE(folder_.Start(holder, "holder.txt", {"load", "add 320 240 YUY2 0", "wait KivoSurfaceHolderGo",
                                                     "release 0", "count"}));
    for (int i = 0; i < 500 && folder_.Results("holder.txt").size() < 2; ++i) Sleep(20);
    ASSERT_EQ((Lines{"ok", "0"}), folder_.Results("holder.txt"));
    EXPECT_EQ(1u, Ctl()->shownOverlays);

    EXPECT_EQ((Lines{"ok", "1", "-1", "1"}), folder_.Run({"load", "count", "add 320 240 YUY2 0", "count"}));
    EXPECT_EQ(1u, Ctl()->liveOverlays);  // the holder's only

    SetEvent(go);
    EXPECT_EQ(0, holder.Wait(30000));
    EXPECT_EQ((Lines{"ok", "0", "ok", "1", "0"}), folder_.Results("holder.txt"));
    CloseHandle(go);
    EXPECT_EQ((Lines{"ok", "0", "0"}), folder_.Run({"load", "count", "add 320 240 YUY2 0"}));
}

TEST_F(SurfaceHelper, TheProbeOfAFreeOverlayLeavesNoSurfaceBehind) {
    EXPECT_EQ((Lines{"ok", "0", "0", "0"}), folder_.Run({"load", "count", "count", "count"}));
    const DWORD driver = folder_.LastProcess();
    auto surfaces = Calls(testddraw::kCreateSurface, driver);
    ASSERT_EQ(4u, surfaces.size());
    auto released = Calls(testddraw::kReleaseSurface, driver);
    ASSERT_EQ(3u, released.size());
    for (size_t i = 0; i < released.size(); ++i) EXPECT_EQ(surfaces[i + 1].surface, released[i].surface);
    EXPECT_EQ(0u, Ctl()->liveOverlays);
}

TEST_F(SurfaceHelper, EmptySlotsAnswerWithoutChangingTheCount) {
    EXPECT_EQ((Lines{"ok", "-1", "0", "0", "-1", "0", "0", "0", "0", "0", "1", "0", "1", "1", "-1", "0"}),
              folder_.Run({"load", "stride 0", "offset 0", "release 0", "stride 1", "offset 1", "release 1",
                           "release 2", "count", "add 64 48 YUY2 0", "count", "release 1", "count",
                           "release 65536", "stride 0", "count"}));
}

TEST_F(SurfaceHelper, ABlockedPrimaryIsCreatedAgainOnTheNextReserve) {
    Ctl()->primaryResult = DDERR_NOEXCLUSIVEMODE;
    EXPECT_EQ((Lines{"ok", "0", "-1", "-1", "ok", "0", "1", "1", std::to_string(kPrimaryBytes)}),
              folder_.Run({"load", "mode", "count", "add 320 240 YUY2 0", "set primaryResult 0",
                           "add 320 240 YUY2 0", "mode", "count", "offset 0"}));
    // The primary at load, again at the blocked reserve, and at the next one with the probe and overlay.
    auto surfaces = Calls(testddraw::kCreateSurface, folder_.LastProcess());
    ASSERT_EQ(5u, surfaces.size());
    EXPECT_EQ(static_cast<int32_t>(DDERR_NOEXCLUSIVEMODE), surfaces[0].result);
    EXPECT_EQ(static_cast<int32_t>(DDERR_NOEXCLUSIVEMODE), surfaces[1].result);
    EXPECT_EQ(static_cast<uint32_t>(DDSCAPS_PRIMARYSURFACE), surfaces[2].arg[4]);
    EXPECT_EQ(0, surfaces[2].result);

    // Another failure of the primary is not retried: the helper stays unusable.
    testddraw::SetDefaults(Ctl());
    Ctl()->primaryResult = DDERR_GENERIC;
    EXPECT_EQ((Lines{"ok", "ok", "-2", "-1", "0"}),
              folder_.Run({"load", "set primaryResult 0", "add 320 240 YUY2 0", "count", "mode"}));
}

TEST_F(SurfaceHelper, ALostPrimaryIsRestoredByTheModeQueryAndTheNextReserve) {
    Lines r = folder_.Run({"load", "lose", "set restoreResult 0x887600E1", "mode", "mode", "set restoreResult 0",
                           "mode", "lose", "add 320 240 YUY2 0", "release 0", "lose", "set restoreResult 0x80004005",
                           "add 320 240 YUY2 0", "mode", "offset 0"});
    EXPECT_EQ((Lines{"ok", "ok", "ok", "2", "2", "ok", "1", "ok", "0", "1", "ok", "ok", "0", "1",
                     std::to_string(kPrimaryBytes)}),
              r);
    const DWORD driver = folder_.LastProcess();
    // The restore that failed gave way to a new primary surface.
    int primaries = 0;
    for (const Call& c : Calls(testddraw::kCreateSurface, driver)) primaries += c.arg[4] == DDSCAPS_PRIMARYSURFACE;
    EXPECT_EQ(2, primaries);
    EXPECT_EQ(5u, Calls(testddraw::kRestore, driver).size());
}

TEST_F(SurfaceHelper, WithoutFourCCCodesTheHelperIsUnusable) {
    Ctl()->fourccCodes = 0;
    EXPECT_EQ((Lines{"ok", "-2", "-1", "1", std::to_string(kVideoMemory - kPrimaryBytes)}),
              folder_.Run({"load", "add 320 240 YUY2 0", "count", "mode", "size"}));
    EXPECT_EQ(0u, Ctl()->liveOverlays);
}

TEST_F(SurfaceHelper, WithoutDirectDrawEveryCallAnswersUnusable) {
    const Lines unusable = {"ok", "1", "-2", "-1", "-1", "0", "0", "-1", "0"};
    const Lines calls = {"load", "call", "add 320 240 YUY2 0", "count", "size", "mode", "offset 0", "stride 0",
                         "release 0"};
    Ctl()->createResult = DDERR_GENERIC;
    EXPECT_EQ(unusable, folder_.Run(calls));
    EXPECT_EQ(0u, Ctl()->liveObjects);

    // The object was made but refused the cooperative level: it was released again.
    testddraw::SetDefaults(Ctl());
    Ctl()->cooperativeResult = DDERR_INVALIDPARAMS;
    EXPECT_EQ(unusable, folder_.Run(calls));
    EXPECT_EQ(1u, Calls(testddraw::kReleaseDirectDraw, folder_.LastProcess()).size());
    EXPECT_EQ(0u, Ctl()->liveObjects);
    EXPECT_TRUE(Calls(testddraw::kCreateSurface, folder_.LastProcess()).empty());
}

TEST_F(SurfaceHelper, FailuresOfTheDriverReachTheCaller) {
    Ctl()->capsResult = DDERR_GENERIC;
    Lines r = folder_.Run({"load", "size", "add 320 240 YUY2 0", "count"});
    ASSERT_EQ(4u, r.size());
    EXPECT_EQ(static_cast<long>(DDERR_GENERIC), std::stol(r[1]));
    EXPECT_EQ("-2", r[2]);
    EXPECT_EQ("-1", r[3]);

    // UpdateOverlay refused: the new surface is released and the reserve refused.
    testddraw::SetDefaults(Ctl());
    Ctl()->updateResult = DDERR_OUTOFCAPS;
    EXPECT_EQ((Lines{"ok", "-1", "1", "0"}), folder_.Run({"load", "add 320 240 YUY2 0", "count", "release 0"}));
    EXPECT_EQ(0u, Ctl()->liveOverlays);

    // A lock that is still drawing is asked again; a description that cannot be read has no stride.
    testddraw::SetDefaults(Ctl());
    EXPECT_EQ((Lines{"ok", "0", "ok", std::to_string(kPrimaryBytes), "ok", "0", "ok", "0"}),
              folder_.Run({"load", "add 320 240 YUY2 0", "set stillDrawingLocks 3", "offset 0",
                           "set describeResult 0x80004005", "stride 0", "set lockResult 0x80004005", "offset 0"}));
    auto locks = Calls(testddraw::kLock, folder_.LastProcess());
    ASSERT_GE(locks.size(), 5u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(static_cast<int32_t>(DDERR_WASSTILLDRAWING), locks[i].result);
    EXPECT_EQ(0, locks[3].result);
    EXPECT_EQ(0u, locks[3].arg[0]);  // the whole surface
    EXPECT_EQ(0u, locks[3].arg[1]);  // flags 0
}

TEST_F(SurfaceHelper, ThePairFlagWithOneSlotReservesSlotZeroOnly) {
    Ctl()->maxOverlays = 2;
    EXPECT_EQ((Lines{"ok", "0", "1", "-1", "1", "0"}),
              folder_.Run({"load", "add 320 240 YUY2 1", "count", "stride 1", "release 0", "count"}));
    int overlays = 0;
    for (const Call& c : Calls(testddraw::kCreateSurface, folder_.LastProcess()))
        overlays += c.arg[4] != DDSCAPS_PRIMARYSURFACE && c.arg[2] != 10;
    EXPECT_EQ(1, overlays);
    EXPECT_EQ(0u, Ctl()->liveOverlays);
}

TEST_F(SurfaceHelper, ThePartnerPassesTheSameArgumentsAndResults) {
    const Lines calls = {"count", "add 320 240 YUY2 0", "add 320 240 YUY2 0", "offset 0", "stride 0", "stride 1",
                         "offset 1", "size", "mode", "release 1", "release 0", "release 0", "count", "call"};
    Lines script = {"load"};
    for (const auto& c : calls) script.push_back(c);
    Lines direct = folder_.Run(script);
    script = {"load16"};
    for (const auto& c : calls) script.push_back("16:" + c);
    Lines through = folder_.Run(script);
    EXPECT_EQ(direct, through);
    EXPECT_EQ((Lines{"ok", "0", "0", "-1", std::to_string(kPrimaryBytes), "640", "-1", "0",
                     std::to_string(kVideoMemory - kPrimaryBytes - kOverlay320x240), "1", "0", "1", "0", "0", "1"}),
              through);

    // The partner takes slot indexes and sizes as words: only the low word reaches the helper.
    EXPECT_EQ((Lines{"ok", "0", "1", "0"}),
              folder_.Run({"load16", "16:add 65856 240 YUY2 0", "16:release 65536", "16:count"}));
    auto reserved = Calls(testddraw::kCreateSurface, folder_.LastProcess());
    ASSERT_GE(reserved.size(), 3u);
    EXPECT_EQ(320u, reserved[2].arg[2]);
}

TEST_F(SurfaceHelper, AMissingPartnerRefusesTheLoad) {
    Folder alone("surface-alone", false, true);
    EXPECT_EQ((Lines{"fail", "missing"}), alone.Run({"load", "call"}));
    EXPECT_TRUE(Calls(testddraw::kDirectDrawCreate, alone.LastProcess()).empty());
}

}  // namespace
