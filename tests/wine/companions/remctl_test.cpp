// REMCTL.EXE, the resident remote-control program, seen from a DDE client made the way the
// viewer makes its own: names handed over with "/send" or by the remote's keys arrive one per
// advise, in order and byte for byte; one resident program at a time; "/quit" ends it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remote_keys.h"
#include "winetest.h"

#include <ddeml.h>

namespace wt = kivo::wt;

namespace {

std::string Remctl(const std::string& args = "") {
    return "\"" + wt::InProgramFolder("REMCTL.EXE") + "\"" + (args.empty() ? "" : " " + args);
}

long RunRemctl(const std::string& args) {
    wt::ChildProcess p;
    if (!p.Start(Remctl(args))) return -2;
    return p.Wait(15000);
}

// A client of service "remctl", topic "infoctl", with a hot advise loop on "control".
class AdviseClient {
public:
    ~AdviseClient() { Close(); }

    bool Open(DWORD ms) {
        current_ = this;
        if (DdeInitializeA(&instance_, Callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
        HSZ service = DdeCreateStringHandleA(instance_, "remctl", CP_WINANSI);
        HSZ topic = DdeCreateStringHandleA(instance_, "infoctl", CP_WINANSI);
        item_ = DdeCreateStringHandleA(instance_, "control", CP_WINANSI);
        // The server takes a moment after its start before it answers.
        const DWORD start = GetTickCount();
        while (!(conversation_ = DdeConnect(instance_, service, topic, nullptr)) && GetTickCount() - start < ms)
            wt::PumpMessages(100);
        DdeFreeStringHandle(instance_, service);
        DdeFreeStringHandle(instance_, topic);
        if (!conversation_) return false;
        DWORD result = 0;
        if (!DdeClientTransaction(nullptr, 0, conversation_, item_, CF_TEXT, XTYP_ADVSTART | XTYPF_ACKREQ,
                                  TIMEOUT_ASYNC, &result))
            return false;
        while (!adviseStarted_ && GetTickCount() - start < ms) wt::PumpMessages(20);
        return adviseStarted_;
    }

    void Close() {
        if (conversation_) DdeDisconnect(conversation_);
        conversation_ = nullptr;
        if (instance_) {
            if (item_) DdeFreeStringHandle(instance_, item_);
            DdeUninitialize(instance_);
        }
        instance_ = 0;
        item_ = nullptr;
        if (current_ == this) current_ = nullptr;
    }

    // Every advise received so far, once count have come or ms have passed.
    const std::vector<std::string>& WaitFor(size_t count, DWORD ms) {
        const DWORD start = GetTickCount();
        while (data_.size() < count && GetTickCount() - start < ms) wt::PumpMessages(20);
        return data_;
    }
    std::vector<std::string> Take(size_t count, DWORD ms = 5000) {
        WaitFor(count, ms);
        std::vector<std::string> taken;
        taken.swap(data_);
        return taken;
    }
    // Told by the server that the conversation ended (Wine's DDE manager marks the conversation
    // rather than calling back with XTYP_DISCONNECT).
    bool Disconnected() const {
        if (disconnected_) return true;
        CONVINFO info = {};
        info.cb = sizeof info;
        return !conversation_ || !DdeQueryConvInfo(conversation_, QID_SYNC, &info) ||
               !(info.wStatus & ST_CONNECTED);
    }

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
        AdviseClient* self = current_;
        if (!self) return nullptr;
        switch (type) {
        case XTYP_XACT_COMPLETE:
            self->adviseStarted_ = true;
            return nullptr;
        case XTYP_DISCONNECT:
            self->disconnected_ = true;
            return nullptr;
        case XTYP_ADVDATA: {
            // Kept whole, terminating NUL included, so that the test sees exactly what came.
            const DWORD n = DdeGetData(data, nullptr, 0, 0);
            std::string bytes(n, '\0');
            if (n) DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), n, 0);
            self->data_.push_back(bytes);
            return reinterpret_cast<HDDEDATA>(DDE_FACK);
        }
        default:
            return nullptr;
        }
    }

    static inline AdviseClient* current_ = nullptr;
    DWORD instance_ = 0;
    HCONV conversation_ = nullptr;
    HSZ item_ = nullptr;
    bool adviseStarted_ = false;
    bool disconnected_ = false;
    std::vector<std::string> data_;
};

// What a client receives for a name: its bytes and the NUL.
std::string Advised(const std::string& name) { return name + std::string(1, '\0'); }

class ResidentRemote : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(wt::WaitForNoWindow("KivoRemote", nullptr, 5000)) << "a remote of another test still runs";
        ASSERT_TRUE(resident_.Start(Remctl()));
        remote_ = wt::WaitForWindow("KivoRemote", nullptr, 10000);
        ASSERT_NE(nullptr, remote_);
        ASSERT_TRUE(client_.Open(10000));
    }
    void TearDown() override {
        client_.Close();
        if (resident_.Running()) {
            RunRemctl("/quit");
            resident_.Wait(5000);
        }
    }

    wt::ChildProcess resident_;
    HWND remote_ = nullptr;
    AdviseClient client_;
};

TEST_F(ResidentRemote, AdvisesEverySentNameOnceInOrderByteForByte) {
    std::string longName = "VCMD_";
    while (longName.size() < 300) longName += static_cast<char>('A' + longName.size() % 26);
    // Voice words: "チャンネル", and "表示" whose second byte of 表 is 0x5C, the ASCII backslash.
    const std::string channel = "\x83\x60\x83\x83\x83\x93\x83\x6C\x83\x8B";
    const std::string display = "\x95\x5C\x8E\xA6";
    ASSERT_EQ(channel, "チャンネル");
    const std::vector<std::string> names = {"TV_CH_UP", "TV_SIZE", longName, channel, "VEXT,CH3",
                                            display, "SYS_TV_POWER", "TV_CH_UP"};
    for (const auto& name : names) ASSERT_EQ(0, RunRemctl("/send " + name)) << name;

    const auto received = client_.Take(names.size());
    ASSERT_EQ(names.size(), received.size());
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(Advised(names[i]), received[i]) << i;
    EXPECT_EQ(301u, received[2].size());

    // Quotes keep blanks inside a name; nothing more arrives than was sent.
    ASSERT_EQ(0, RunRemctl("/send \"VEXT,CH 1\""));
    const auto more = client_.Take(2, 1000);
    ASSERT_EQ(1u, more.size());
    EXPECT_EQ(Advised("VEXT,CH 1"), more[0]);
}

TEST_F(ResidentRemote, RefusesNamesItDoesNotTake) {
    EXPECT_EQ(2, RunRemctl("/send " + std::string(1025, 'X')));
    EXPECT_EQ(2, RunRemctl("/send"));
    EXPECT_EQ(2, RunRemctl("/bogus"));
    ASSERT_EQ(0, RunRemctl("/send " + std::string(1024, 'X')));
    const auto received = client_.Take(2, 1000);
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(1025u, received[0].size());
}

TEST_F(ResidentRemote, EachKeyOfTheRemoteSendsItsNameWithoutTakingActivation) {
    const std::vector<std::string> expected = {
        "SYS_TV_POWER", "SYS_GUIDE", "DOS_POWER", "TV_CH_UP", "TV_CH_DOWN", "TV_VIDEO", "TV_MAIN_SUB",
        "TV_SIZE", "VIDEO_FREEZE", "CD_PREV", "CD_PLAY", "CD_STOP", "VIDEO_CAPTURE"};
    ASSERT_EQ(expected.size(), remctl::kKeyCount);
    HWND before = GetForegroundWindow();
    for (size_t i = 0; i < expected.size(); ++i) {
        HWND key = GetDlgItem(remote_, 100 + static_cast<int>(i));
        ASSERT_NE(nullptr, key) << i;
        char label[64] = {};
        GetWindowTextA(key, label, sizeof label);
        EXPECT_STREQ(remctl::kKeys[i].label, label) << i;
        SendMessageA(key, BM_CLICK, 0, 0);
        const auto received = client_.Take(1);
        ASSERT_EQ(1u, received.size()) << expected[i];
        EXPECT_EQ(Advised(expected[i]), received[0]);
    }
    EXPECT_NE(remote_, GetForegroundWindow());
    EXPECT_EQ(before, GetForegroundWindow());
    EXPECT_NE(remote_, GetForegroundWindow());

    // A key held down and released outside sends nothing.
    HWND power = GetDlgItem(remote_, 100);
    SendMessageA(power, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(power, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    EXPECT_TRUE(client_.Take(1, 500).empty());
}

TEST_F(ResidentRemote, TheEditLineSendsATypedWord) {
    HWND edit = GetDlgItem(remote_, 200);
    HWND send = GetDlgItem(remote_, 201);
    ASSERT_NE(nullptr, edit);
    ASSERT_NE(nullptr, send);
    SetWindowTextA(edit, "  VCMD_TV_RED  ");
    SendMessageA(send, BM_CLICK, 0, 0);
    SetWindowTextA(edit, "音量");
    SendMessageA(send, BM_CLICK, 0, 0);
    SetWindowTextA(edit, "   ");
    SendMessageA(send, BM_CLICK, 0, 0);
    const auto received = client_.Take(3, 2000);
    ASSERT_EQ(2u, received.size());
    EXPECT_EQ(Advised("VCMD_TV_RED"), received[0]);
    EXPECT_EQ(Advised("\x89\xB9\x97\xCA"), received[1]);
}

TEST_F(ResidentRemote, ASecondResidentStartEndsAtOnce) {
    wt::ChildProcess second;
    ASSERT_TRUE(second.Start(Remctl()));
    EXPECT_EQ(3, second.Wait(5000));
    ASSERT_EQ(0, RunRemctl("/send TV_VIDEO"));
    const auto received = client_.Take(1);
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(Advised("TV_VIDEO"), received[0]);
}

TEST_F(ResidentRemote, QuitEndsItAndItsClientsAreToldSo) {
    EXPECT_FALSE(client_.Disconnected());
    ASSERT_EQ(0, RunRemctl("/quit"));
    EXPECT_EQ(0, resident_.Wait(5000));
    EXPECT_TRUE(wt::WaitForNoWindow("KivoRemote", nullptr, 2000));
    const DWORD start = GetTickCount();
    while (!client_.Disconnected() && GetTickCount() - start < 3000) wt::PumpMessages(20);
    EXPECT_TRUE(client_.Disconnected());
    EXPECT_EQ(1, RunRemctl("/send TV_CH_UP"));
    EXPECT_EQ(1, RunRemctl("/quit"));
    // A new resident program can start at once.
    wt::ChildProcess again;
    ASSERT_TRUE(again.Start(Remctl()));
    EXPECT_NE(nullptr, wt::WaitForWindow("KivoRemote", nullptr, 10000));
    EXPECT_EQ(0, RunRemctl("/quit"));
    EXPECT_EQ(0, again.Wait(5000));
}

TEST(NoResidentRemote, SendAndQuitAnswerOne) {
    ASSERT_TRUE(wt::WaitForNoWindow("KivoRemote", nullptr, 5000));
    EXPECT_EQ(1, RunRemctl("/send TV_CH_UP"));
    EXPECT_EQ(1, RunRemctl("/quit"));
}

}  // namespace
