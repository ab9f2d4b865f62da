// support.exe as a user or an administrator meets it: the message boxes it shows, the kit's
// "Installed" value in the registry, and whether the kit's installer command ran.
//
// Wine's keyboard never tells its type, so every run first spends about ten seconds asking
// (and then counts as the newer series). The cases therefore run side by side, in three
// rounds: one per WIN.INI and board setting.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "winetest.h"

using kivo::wt::Board;
using kivo::wt::ChildProcess;
using kivo::wt::ScratchFolder;

namespace {

const char kCaption[] = "ZOR PCサポートキット for Windows(R) 98";
const char kBase[] = "SOFTWARE\\ZOR\\SUPPORTKIT\\WIN95UPG\\";

const char kNoMachineInfo[] = "機種情報の取得に失敗しました。\nモジュールの置換を終了します。";
const char kOsNotReady[] = "Windows(R) 98にアップグレード後、\n再度モジュール置換を行ってください。";
const char kNoKitFile[] = "置換に必要な Infファイルが存在しません。\nモジュールの置換を終了します。";
const char kForOlder[] =
    "この置換モジュールは QX-7000シリーズ用です。\n正しいモジュールを選択後、再度モジュール置換を行ってください。";
const char kNoRegistryKey[] = "レジストリキーの設定が有りません。\nモジュールの置換を終了します。";
const char kModulesMissing[] = "置換するモジュールが存在しません。\n強制的にモジュールを置換しますか？";
const char kAlreadyReplaced[] = "モジュールはすでに置換されています。\n再度、モジュールを置換しますか？";
const char kInstallFailed[] = "インストールに失敗しました\nモジュールの置換を終了します。";
const char kRestart[] = "新しい設定を有効にするにはコンピュータを再起動してください。";
const char kFinished[] = "モジュールの置換が終了しました。";

std::string KitKey(const std::string& name) {
    return "KIVOTEST" + std::to_string(GetCurrentProcessId()) + name;
}

// The kit's "Installed" value: nullopt without the key, "unset" without the value.
std::optional<std::string> Installed(const std::string& kit) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kBase + kit).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char value[64] = {};
    DWORD type = 0, size = sizeof value - 1;
    std::string result = "unset";
    if (RegQueryValueExA(key, "Installed", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
        ERROR_SUCCESS) {
        // Written as a one-character string with its terminator.
        result = type == REG_SZ && size == 2 ? std::string(value) : "bad:" + std::to_string(size);
    }
    RegCloseKey(key);
    return result;
}

void SetInstalled(const std::string& kit, const char* value) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kBase + kit).c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, "Installed", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), 2);
    RegCloseKey(key);
}

// WIN.INI belongs to the whole prefix: the settings of the section are put back afterwards.
class WinIniSupportKit {
public:
    WinIniSupportKit() {
        char section[4096];
        existed_ = GetProfileSectionA("support kit", section, sizeof section) > 0;
        for (const char* key : {"message", "idcheck"}) {
            char value[256];
            GetProfileStringA("support kit", key, "\x01", value, sizeof value);
            saved_.push_back(value[0] == '\x01' ? std::nullopt : std::optional<std::string>(value));
        }
    }
    ~WinIniSupportKit() {
        const char* keys[] = {"message", "idcheck"};
        for (size_t i = 0; i < 2; ++i)
            WriteProfileStringA("support kit", keys[i], saved_[i] ? saved_[i]->c_str() : nullptr);
        if (!existed_) WriteProfileStringA("support kit", nullptr, nullptr);
        WriteProfileStringA(nullptr, nullptr, nullptr);  // flush
    }
    void Set(const char* message, const char* idcheck) {
        WriteProfileStringA("support kit", "message", message);
        WriteProfileStringA("support kit", "idcheck", idcheck);
        WriteProfileStringA(nullptr, nullptr, nullptr);
    }

private:
    bool existed_ = false;
    std::vector<std::optional<std::string>> saved_;
};

struct Box {
    std::string text;
    bool ok, yes, no;  // the buttons it offers
};

// One run of support.exe in a folder of its own.
struct KitRun {
    KitRun(const std::string& name, bool withDriver = true)
        : kit(KitKey(name)),
          folder("support-" + name,
                 withDriver ? std::vector<std::string>{"support.exe", "VZORSPKD.VXD", "KVBOARD.DLL",
                                                       "kit_installer.exe"}
                            : std::vector<std::string>{"support.exe", "kit_installer.exe"}) {}

    // The kit file with its [information] section and any further sections.
    void Inf(const std::string& information, const std::string& more = "") {
        folder.Write("SpKit.inf", "[information]\r\n" + information + more);
    }
    // The installer command that records the registry state it found.
    std::string Installer() const { return "infname=kit_installer.exe " + kit + "\r\n"; }
    std::string RegKey() const { return "regkey=" + kit + "\r\n"; }
    std::string InstallerSaw() const { return kivo::wt::ReadFile(folder.File("installer.txt")); }

    std::string kit;
    ScratchFolder folder;
    // Answers in order (IDOK, IDYES, IDNO), and something to look at before each answer.
    std::vector<int> answers;
    std::function<void(size_t)> beforeAnswer;

    ChildProcess process;
    std::vector<Box> boxes;
    std::vector<HWND> answered;
    long exitCode = -1;
};

struct BoxSearch {
    DWORD process;
    HWND found;
};

// A named CALLBACK, not a lambda: on i686 a lambda converts to a cdecl pointer, and
// EnumWindows calls a stdcall one.
BOOL CALLBACK FindBox(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<BoxSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    char cls[32] = {}, title[128] = {};
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, title, sizeof title);
    if (owner == s->process && IsWindowVisible(w) && std::string(cls) == "#32770" &&
        std::string(title) == kCaption) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND BoxOf(DWORD process) {
    BoxSearch search{process, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Shown(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    return button && IsWindowVisible(button);
}

// Starts every run, answers their boxes as they come, and waits until all have ended.
void RunAll(const std::vector<KitRun*>& runs) {
    for (KitRun* r : runs)
        ASSERT_TRUE(r->process.Start("\"" + r->folder.File("support.exe") + "\"", r->folder.Path()));
    DWORD start = GetTickCount();
    for (;;) {
        bool running = false;
        for (KitRun* r : runs) {
            if (!r->process.Running()) continue;
            running = true;
            HWND box = BoxOf(r->process.Id());
            if (!box) continue;
            // An answer that reached the box before its modal loop ran may be lost: a box
            // still there is answered again, but counted once.
            bool known = !r->answered.empty() && r->answered.back() == box;
            if (!known) {
                Sleep(100);  // let it finish setting itself up
                r->answered.push_back(box);
                Box seen{kivo::wt::MessageBoxText(box), Shown(box, IDOK), Shown(box, IDYES),
                         Shown(box, IDNO)};
                r->boxes.push_back(seen);
                r->answers.resize(std::max(r->answers.size(), r->boxes.size()),
                                  seen.no ? IDNO : IDOK);
                if (r->beforeAnswer) r->beforeAnswer(r->boxes.size() - 1);
            }
            kivo::wt::AnswerMessageBox(box, r->answers[r->boxes.size() - 1]);
            for (int i = 0; i < 50 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(20);
        }
        if (!running) break;
        if (GetTickCount() - start > 90000) {
            ADD_FAILURE() << "support.exe did not end";
            break;
        }
        Sleep(50);
    }
    for (KitRun* r : runs) r->exitCode = r->process.Wait(5000);
}

void ExpectInform(const KitRun& r, const char* text) {
    ASSERT_EQ(1u, r.boxes.size()) << r.kit << ": " << r.boxes.back().text;
    EXPECT_EQ(text, r.boxes[0].text) << r.kit;
    EXPECT_TRUE(r.boxes[0].ok && !r.boxes[0].yes && !r.boxes[0].no) << r.kit;
}

void ExpectQuestion(const Box& box, const char* text) {
    EXPECT_EQ(text, box.text);
    EXPECT_TRUE(box.yes && box.no && !box.ok);
}

class SupportKit : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* name : {"sequence", "declined", "again", "restart", "silent", "nodriver",
                                 "noinf", "series", "failed", "osready", "quietdone", "quietmissing",
                                 "quietok", "quietnoinf"})
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kBase + KitKey(name)).c_str());
        // The kit's parent keys go too once empty (a key with subkeys is not deleted).
        for (const char* parent : {"SOFTWARE\\ZOR\\SUPPORTKIT\\WIN95UPG", "SOFTWARE\\ZOR\\SUPPORTKIT",
                                   "SOFTWARE\\ZOR"})
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, parent);
    }
    WinIniSupportKit winIni;
};

TEST_F(SupportKit, RunsTheInstallerWhenItFitsAndAsksOrRefusesOtherwise) {
    winIni.Set("0", "0");
    Board::Reset();
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string onWindowsDrive = std::string(windows).substr(2);  // "\windows"

    // 0 -> 1 -> 2: the key is made with "0", the missing module is forced, the installer sees "1".
    KitRun sequence("sequence");
    sequence.Inf(sequence.Installer() + sequence.RegKey() + "machine=1\r\n",
                 "[searchfile]\r\n; the module of the first release\r\nA,\\KIVONONE\\QX.VXD,0,\r\n");
    sequence.answers = {IDYES, IDOK};
    std::optional<std::string> whileAsked;
    bool installerBeforeAnswer = true;
    sequence.beforeAnswer = [&](size_t i) {
        if (i != 0) return;
        whileAsked = Installed(sequence.kit);
        installerBeforeAnswer = kivo::wt::FileExists(sequence.folder.File("installer.txt"));
    };

    KitRun declined("declined");
    declined.Inf(declined.Installer() + declined.RegKey() + "machine=2\r\n",
                 "[searchfile]\r\nO,\\KIVONONE\\QX.VXD,0,\r\nO,\\KIVONONE\\QX.DRV,0,\r\n");
    declined.answers = {IDNO};

    KitRun again("again");  // replaced before; the user agrees to do it again
    again.Inf(again.Installer() + again.RegKey() + "machine=1\r\nreboot=0\r\n");
    SetInstalled(again.kit, "2");
    again.answers = {IDYES, IDOK};

    // Met file conditions: a module of the right size (the size followed by a comment) and an
    // alternative on the Windows drive whose size does not matter.
    KitRun restart("restart");
    restart.folder.Write("QX.VXD", "12345");
    restart.Inf(restart.Installer() + restart.RegKey() + "machine=2\r\nreboot=1\r\n",
                "[searchfile]\r\nA," + restart.folder.File("QX.VXD") + ",5;the 1998 module\r\n" +
                    "O,\\KIVONONE\\QX.DRV,0,\r\nO," + onWindowsDrive + "\\win.ini,0,\r\n");
    KitRun silent("silent");
    silent.Inf(silent.Installer() + silent.RegKey() + "machine=1\r\nreboot=2\r\n");

    KitRun noDriver("nodriver", false);
    noDriver.Inf(noDriver.Installer() + noDriver.RegKey() + "machine=2\r\n");
    KitRun noInf("noinf");
    KitRun series("series");
    series.Inf(series.Installer() + series.RegKey() + "machine=0\r\n");
    KitRun noKey("nokey");
    noKey.Inf(noKey.Installer() + "machine=1\r\n");
    KitRun failed("failed");
    failed.Inf("infname=kivo_no_such_installer.exe\r\n" + failed.RegKey() + "machine=1\r\n");

    RunAll({&sequence, &declined, &again, &restart, &silent, &noDriver, &noInf, &series, &noKey, &failed});

    ASSERT_EQ(2u, sequence.boxes.size());
    ExpectQuestion(sequence.boxes[0], kModulesMissing);
    EXPECT_EQ("0", whileAsked);
    EXPECT_FALSE(installerBeforeAnswer);
    EXPECT_EQ(kFinished, sequence.boxes[1].text);
    EXPECT_EQ("1;", sequence.InstallerSaw());
    EXPECT_EQ("2", Installed(sequence.kit));

    ASSERT_EQ(1u, declined.boxes.size());
    ExpectQuestion(declined.boxes[0], kModulesMissing);
    EXPECT_EQ("", declined.InstallerSaw());
    EXPECT_EQ("0", Installed(declined.kit));

    ASSERT_EQ(2u, again.boxes.size());
    ExpectQuestion(again.boxes[0], kAlreadyReplaced);
    EXPECT_EQ(kFinished, again.boxes[1].text);
    EXPECT_EQ("2;", again.InstallerSaw());
    EXPECT_EQ("2", Installed(again.kit));

    ExpectInform(restart, kRestart);
    EXPECT_EQ("1;", restart.InstallerSaw());
    EXPECT_EQ("2", Installed(restart.kit));

    EXPECT_TRUE(silent.boxes.empty());
    EXPECT_EQ("1;", silent.InstallerSaw());
    EXPECT_EQ("2", Installed(silent.kit));

    ExpectInform(noDriver, kNoMachineInfo);
    ExpectInform(noInf, kNoKitFile);
    ExpectInform(series, kForOlder);
    ExpectInform(noKey, kNoRegistryKey);
    for (KitRun* r : {&noDriver, &noInf, &series, &noKey}) {
        EXPECT_EQ("", r->InstallerSaw()) << r->kit;
        EXPECT_EQ(std::nullopt, Installed(r->kit)) << r->kit;
    }
    EXPECT_EQ(std::nullopt, Installed("NULL"));

    ExpectInform(failed, kInstallFailed);
    EXPECT_EQ("1", Installed(failed.kit));

    for (KitRun* r : {&sequence, &declined, &again, &restart, &silent, &noDriver, &noInf, &series,
                      &noKey, &failed})
        EXPECT_EQ(0, r->exitCode) << r->kit;

    // Each run with the driver asked it once: request 1, the newer-series flag in, 4 bytes out.
    auto log = Board::Log(board::kSpkd);
    EXPECT_EQ(9u, log.size());
    for (const auto& e : log) {
        EXPECT_EQ(1u, e.code);
        EXPECT_EQ(4u, e.inLength);
        EXPECT_EQ(4u, e.outLength);
        EXPECT_EQ(0x00000001u, e.in[0] | e.in[1] << 8 | e.in[2] << 16 | static_cast<uint32_t>(e.in[3]) << 24);
        EXPECT_EQ(1, e.result);
    }
}

TEST_F(SupportKit, OperatingSystemNotReadyChangesNothing) {
    winIni.Set("0", "0");
    Board::Reset("[spkd]\nos_ready=0\n");
    KitRun run("osready");
    run.Inf(run.Installer() + run.RegKey() + "machine=1\r\n");
    RunAll({&run});
    ExpectInform(run, kOsNotReady);
    EXPECT_EQ("", run.InstallerSaw());
    EXPECT_EQ(std::nullopt, Installed(run.kit));
    EXPECT_EQ(0, run.exitCode);
    Board::Reset();
}

TEST_F(SupportKit, QuietModeShowsNothingAndAnswersNo) {
    winIni.Set("1", "0");
    Board::Reset();
    KitRun done("quietdone");  // already replaced: not again
    done.Inf(done.Installer() + done.RegKey() + "machine=1\r\n");
    SetInstalled(done.kit, "2");
    KitRun missing("quietmissing");  // modules missing: not forced
    missing.Inf(missing.Installer() + missing.RegKey() + "machine=1\r\n",
                "[searchfile]\r\nA,\\KIVONONE\\QX.VXD,0,\r\n");
    KitRun ok("quietok");
    ok.Inf(ok.Installer() + ok.RegKey() + "machine=2\r\nreboot=1\r\n");
    KitRun noInf("quietnoinf");

    RunAll({&done, &missing, &ok, &noInf});

    for (KitRun* r : {&done, &missing, &ok, &noInf}) {
        EXPECT_TRUE(r->boxes.empty()) << r->kit << ": " << (r->boxes.empty() ? "" : r->boxes[0].text);
        EXPECT_EQ(0, r->exitCode) << r->kit;
    }
    EXPECT_EQ("", done.InstallerSaw());
    EXPECT_EQ("2", Installed(done.kit));
    EXPECT_EQ("", missing.InstallerSaw());
    EXPECT_EQ("0", Installed(missing.kit));
    EXPECT_EQ("1;", ok.InstallerSaw());
    EXPECT_EQ("2", Installed(ok.kit));
    EXPECT_EQ(std::nullopt, Installed(noInf.kit));
}

}  // namespace
