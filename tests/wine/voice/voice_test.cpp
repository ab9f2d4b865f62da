// The viewer registers with the voice-command service KVCMD32 while it runs, voice words reach
// its receiver over the remote-control link, and it switches the service off when it ends.
#include <gtest/gtest.h>

#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

// KVCMD32.DLL of the viewer's program folder: the same shared record the viewer writes.
template <typename F>
F Service(const char* name) {
    static HMODULE module = LoadLibraryA(ViewerFolder().File("KVCMD32.DLL").c_str());
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string ServiceCalls() {
    auto log = Service<int(WINAPI*)(char*, int)>("KvcmdCallLog");
    if (!log) return "no KVCMD32";
    char buffer[4096] = {};
    log(buffer, sizeof buffer);
    return buffer;
}

// Waits until the service has seen exactly these calls.
std::string WaitForCalls(const std::string& expected, DWORD ms = 10000) {
    std::string calls;
    for (DWORD waited = 0; waited < ms; waited += 50) {
        calls = ServiceCalls();
        if (calls == expected) break;
        wt::PumpMessages(50);
    }
    return calls;
}

class Voice : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewerVersion("win98");
        wt::Board::Reset();
        ASSERT_NE(nullptr, Service<void(WINAPI*)()>("KvcmdResetLog"));
        Service<void(WINAPI*)()>("KvcmdResetLog")();
    }
    void TearDown() override {
        if (viewer.Running()) CloseViewer(viewer);
        if (remote.Running()) {
            wt::ChildProcess quit;
            if (quit.Start(Remote("/quit"))) quit.Wait(10000);
        }
        Service<void(WINAPI*)()>("KvcmdResetLog")();
    }
    std::string Remote(const std::string& args) {
        return "\"" + ViewerFolder().File("REMCTL.EXE") + "\"" + (args.empty() ? "" : " " + args);
    }
    void StartRemote() {
        ASSERT_TRUE(ViewerFolder().Copy("REMCTL.EXE"));
        ASSERT_TRUE(remote.Start(Remote("")));
        ASSERT_NE(nullptr, wt::WaitForWindow("KivoRemote", nullptr, 10000));
    }
    bool Send(const char* name) {
        wt::ChildProcess send;
        if (!send.Start(Remote(std::string("/send ") + name))) return false;
        bool taken = send.Wait(10000) == 0;
        wt::PumpMessages(500);
        return taken;
    }
    int ListeningId() { return Service<int(WINAPI*)()>("KvcmdListeningId")(); }

    wt::ChildProcess remote, viewer;
};

TEST_F(Voice, TheViewerRegistersAtStartAndSwitchesTheServiceOffAtItsEnd) {
    ASSERT_TRUE(StartViewer(viewer));
    ASSERT_NE(nullptr, WaitUntilStarted(viewer));
    EXPECT_EQ("Register(KIVO)=1\nEnable(1,1)\n", WaitForCalls("Register(KIVO)=1\nEnable(1,1)\n"));
    EXPECT_EQ(1, ListeningId());

    ASSERT_TRUE(CloseViewer(viewer));
    EXPECT_EQ("Register(KIVO)=1\nEnable(1,1)\nEnable(0,0)\n", ServiceCalls());
    EXPECT_EQ(0, ListeningId());
}

TEST_F(Voice, AWordFromTheRemoteLinkMakesARefusedViewerRegisterAgain) {
    Service<int(WINAPI*)(int)>("KvcmdSetRefuse")(1);
    ASSERT_NO_FATAL_FAILURE(StartRemote());
    ASSERT_TRUE(StartViewer(viewer));
    HWND control = WaitUntilStarted(viewer);
    ASSERT_NE(nullptr, control);
    EXPECT_EQ("Register(KIVO) refused\n", WaitForCalls("Register(KIVO) refused\n"));
    EXPECT_EQ(0, ListeningId());

    // The service answers now; the next word the receiver runs registers the viewer.
    Service<int(WINAPI*)(int)>("KvcmdSetRefuse")(0);
    SetForegroundWindow(control);
    wt::PumpMessages(200);
    ASSERT_TRUE(Send("VCMD_TV_RED"));
    const char registered[] = "Register(KIVO) refused\nRegister(KIVO)=1\nEnable(1,1)\n";
    EXPECT_EQ(registered, WaitForCalls(registered));
    EXPECT_EQ(1, ListeningId());

    // The word left nothing queued: the power key still ends the viewer, which switches off.
    ASSERT_TRUE(Send("DOS_POWER"));
    EXPECT_GE(viewer.Wait(15000), 0) << "the viewer still runs";
    EXPECT_EQ(std::string(registered) + "Enable(0,0)\n", ServiceCalls());
}

}  // namespace
