// The soak: the live viewer on the virtual board driven for a while by a seeded random mix of
// remote-control names (the command table, voice words, "VEXT," forms and junk), clicks and
// drags on every panel, window moves, activation changes, minimise and restore, and second
// viewer starts. Every few seconds it checks that the viewer answers, answers the message boxes
// it expects and counts them, and samples the viewer's handle, USER and GDI counts. At the end it
// closes the viewer as a user does and reads the files it leaves.
//   KIVO_SOAK_SECONDS (30), KIVO_SOAK_SEED (from the clock), KIVO_SOAK_SAMPLES (a CSV file path),
//   KIVO_SOAK_CLIPS (a folder of .y4m files to feed the channels; else the test writes its own)
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "soak_files.h"
#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

std::string Env(const char* name, const char* fallback) {
    char buffer[512] = {};
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? buffer : fallback;
}

// xorshift64*: the same seed gives the same run.
class Random {
public:
    explicit Random(uint64_t seed) : s_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint32_t Next() {
        s_ ^= s_ >> 12;
        s_ ^= s_ << 25;
        s_ ^= s_ >> 27;
        return static_cast<uint32_t>((s_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    int Below(int n) { return n > 0 ? static_cast<int>(Next() % static_cast<uint32_t>(n)) : 0; }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    uint64_t s_;
};

const char* const kTableNames[] = {"SYS_GUIDE", "TV_MAIN_SUB", "TV_SIZE",  "CD_PLAY",      "CD_STOP",
                                   "CD_PREV",   "TV_CH_UP",    "TV_CH_DOWN", "TV_VIDEO", "VIDEO_CAPTURE",
                                   "VIDEO_FREEZE"};
const char* const kVoiceWords[] = {
    "VCMD_TV_FULL_SIZE", "VCMD_TV_1SCREEN", "VCMD_TV_4SCREEN",   "VCMD_TV_9SCREEN",    "VCMD_TV_16SCREEN",
    "VCMD_TV_25SCREEN",  "VCMD_TV_CATV",    "VCMD_TV_SVIDEO",    "VCMD_TV_VIDEO1",     "VCMD_TV_MULTI",
    "VCMD_TV_SELECT",    "VCMD_TV_SETUP",   "VCMD_TV_BMP",       "VCMD_TV_AVI",        "VCMD_TV_LOAD",
    "VCMD_TV_SAVE",      "VCMD_TV_RED",     "VCMD_TV_BLUE",      "VCMD_TV_LIGHT",      "VCMD_TV_DEEP",
    "VCMD_TV_CON_UP",    "VCMD_TV_CON_DOWN", "VCMD_TV_DEL",      "VCMD_TV_TEL_SET",    "VCMD_TV_DEFAULT",
    "VCMD_TV_MAP_SET",   "VCMD_TV_BRIGHT_UP", "VCMD_TV_BRIGHT_DOWN"};

// Message boxes a user of this mix meets; any other box is a fault.
const char* const kExpectedBoxes[] = {
    "全画面表示はWindows98以降ではサポートされていません",
    "画面の右端や下端では、チューナーパネルやビデオデッキは表示できません。",
    "クリップミルを起動できませんでした。",
    "ディスクの空き容量が足りません。",
    "ＡＶＩファイルの保存に失敗しました。",
    "フルスクリーン表示ができません。",
    "前回クリップミルを起動した時のＡＶＩファイルがＴＶＣＡＰ．ＡＶＩという名前で",  // the start of the editor's question
};

struct Sample {
    DWORD seconds;
    DWORD process;
    DWORD handles;     // without the installed-drivers keys that Wine leaves open (below)
    DWORD driverKeys;
    DWORD userObjects;
    DWORD gdiObjects;
    DWORD windows;
    SIZE_T privateKb;
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

struct WindowsOf {
    DWORD process;
    DWORD count;
};
BOOL CALLBACK CountTopLevel(HWND w, LPARAM p) {
    auto* of = reinterpret_cast<WindowsOf*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == of->process) {
        ++of->count;
        EnumChildWindows(w, CountChild, reinterpret_cast<LPARAM>(&of->count));
    }
    return TRUE;
}

// The classes of a process's windows, top-level ones first with their children after them.
BOOL CALLBACK ListChild(HWND w, LPARAM p) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    *reinterpret_cast<std::string*>(p) += std::string(" ") + name;
    return TRUE;
}
struct ClassList {
    DWORD process;
    std::string text;
};
BOOL CALLBACK ListTopLevel(HWND w, LPARAM p) {
    auto* l = reinterpret_cast<ClassList*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != l->process) return TRUE;
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    l->text += std::string(" [") + name + (IsWindowVisible(w) ? "" : ", hidden") + "]";
    EnumChildWindows(w, ListChild, reinterpret_cast<LPARAM>(&l->text));
    return TRUE;
}
std::string WindowClassesOf(DWORD process) {
    ClassList list{process, {}};
    EnumWindows(ListTopLevel, reinterpret_cast<LPARAM>(&list));
    return list.text;
}

struct Found {
    std::vector<DWORD> processes;
    std::vector<HWND> windows;
};
BOOL CALLBACK FindDialogs(HWND w, LPARAM p) {
    auto* found = reinterpret_cast<Found*>(p);
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w) &&
        std::find(found->processes.begin(), found->processes.end(), owner) != found->processes.end())
        found->windows.push_back(w);
    return TRUE;
}

struct ProcessWindows {
    DWORD process;
    int closed;
};
BOOL CALLBACK CloseWindowsOf(HWND w, LPARAM p) {
    auto* of = reinterpret_cast<ProcessWindows*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == of->process && IsWindowVisible(w)) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        ++of->closed;
    }
    return TRUE;
}

// A thread handle as "own|other, running|ended, start module": whose thread the viewer keeps.
std::string DescribeThread(HANDLE thread, DWORD viewer) {
    using ProcessOfThread = DWORD(WINAPI*)(HANDLE);
    static auto processOf = reinterpret_cast<ProcessOfThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessIdOfThread")));
    using QueryThread = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    static auto queryThread = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    const DWORD owner = processOf ? processOf(thread) : 0;
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    using IdOfThread = DWORD(WINAPI*)(HANDLE);
    static auto idOf = reinterpret_cast<IdOfThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetThreadId")));
    std::string out = std::string(owner == viewer ? "own" : "other") + (code == STILL_ACTIVE ? " running" : " ended");
    if (idOf) out += " " + std::to_string(idOf(thread));
    PVOID start = nullptr;
    if (queryThread && queryThread(thread, 9, &start, sizeof start, nullptr) == 0 && owner == viewer) {
        char module[MAX_PATH] = {};
        HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, viewer);
        using MappedName = DWORD(WINAPI*)(HANDLE, PVOID, LPSTR, DWORD);
        static auto mappedName = reinterpret_cast<MappedName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetMappedFileNameA")));
        if (p && mappedName && mappedName(p, start, module, sizeof module)) {
            const char* base = std::strrchr(module, '\\');
            out += std::string(" in ") + (base ? base + 1 : module);
        }
        if (p) CloseHandle(p);
    }
    return out;
}

// An object's type (what 2) or name (what 1) through a handle of this process.
std::string ObjectText(HANDLE h, ULONG what) {
    using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    static auto queryObject = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    std::vector<BYTE> b(4096);
    ULONG n = 0;
    if (!queryObject || queryObject(h, what, b.data(), static_cast<ULONG>(b.size()), &n) != 0) return "?";
    const auto* u = reinterpret_cast<const UNICODE_STRING*>(b.data());
    if (!u->Buffer || !u->Length) return std::string();
    char out[600] = {};
    WideCharToMultiByte(CP_ACP, 0, u->Buffer, u->Length / 2, out, sizeof out - 1, nullptr, nullptr);
    return out;
}

// Calls visit(type, copy) with a copy of each handle `process` holds whose type index passes
// `want`; false when the handles cannot be copied.
template <typename Want, typename Visit>
bool VisitHandles(DWORD process, Want want, Visit visit) {
    std::vector<std::pair<USHORT, BYTE>> held;
    wt::HandlesHeldBy(process, &held);
    HANDLE owner = OpenProcess(PROCESS_DUP_HANDLE, FALSE, process);
    if (!owner) return false;
    for (const auto& [value, type] : held) {
        if (!want(type)) continue;
        HANDLE h = nullptr;
        if (!DuplicateHandle(owner, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)), GetCurrentProcess(), &h, 0,
                             FALSE, DUPLICATE_SAME_ACCESS))
            h = nullptr;
        visit(type, h);
        if (h) CloseHandle(h);
    }
    CloseHandle(owner);
    return true;
}

// The viewer's handles grouped by object type and name, the most numerous first: what a
// failing handle bound prints so that the leak can be named.
std::string DescribeHandles(DWORD process) {
    std::map<std::string, int> groups;
    const bool read = VisitHandles(process, [](BYTE) { return true; }, [&](BYTE, HANDLE h) {
        if (!h) {
            ++groups["(not copied)"];
            return;
        }
        const std::string type = ObjectText(h, 2);
        // Names of files and pipes can block on a busy object; the others are quick.
        std::string name = (type == "File") ? std::string() : ObjectText(h, 1);
        if (type == "Thread") name = DescribeThread(h, process);
        ++groups[type + (name.empty() ? "" : " " + name)];
    });
    if (!read) return " (cannot be read)";
    std::vector<std::pair<int, std::string>> sorted;
    for (const auto& [k, n] : groups) sorted.push_back({n, k});
    std::sort(sorted.rbegin(), sorted.rend());
    std::string out;
    for (const auto& [n, k] : sorted) out += "\n  " + std::to_string(n) + " x " + k;
    return out;
}

// The copies of the installed-drivers key the viewer holds. Wine's ICInfo opens that key and
// returns without closing it whenever it finds a driver; the compression manager's look-up and
// the Save dialog's compressor list call it. The bound leaves them out; the samples count them.
DWORD DriverKeysOf(DWORD process) {
    static int keyType = -1;  // the type index of keys, learnt from the first one seen
    DWORD n = 0;
    VisitHandles(process, [](BYTE type) { return keyType < 0 || type == keyType; }, [&](BYTE type, HANDLE h) {
        if (!h) return;
        if (keyType < 0) {
            if (ObjectText(h, 2) != "Key") return;
            keyType = type;
        }
        const std::string name = ObjectText(h, 1);
        const char* tail = "\\CurrentVersion\\Drivers32";
        if (name.size() >= std::strlen(tail) && name.compare(name.size() - std::strlen(tail), std::string::npos, tail) == 0) ++n;
    });
    return n;
}

// Processes whose image is one of the program folder's programs (and not this test).
std::vector<std::pair<DWORD, std::string>> FolderProcesses() {
    std::vector<std::pair<DWORD, std::string>> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return out;
    PROCESSENTRY32 e = {};
    e.dwSize = sizeof e;
    for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e)) {
        std::string name = e.szExeFile;
        CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
        for (const char* program : {"zortv.exe", "remctl.exe", "clipmill.exe", "kvsetup.exe", "zortv2.pif"})
            if (name == program) out.push_back({e.th32ProcessID, name});
    }
    CloseHandle(snap);
    return out;
}

class Soak {
public:
    Soak(uint64_t seed, DWORD seconds, std::string samplesPath)
        : random_(seed), seconds_(seconds), samplesPath_(std::move(samplesPath)) {}

    void Prepare() {
        SetViewerVersion("win98");
        const auto& folder = LiveFolder();
        ASSERT_TRUE(folder.Copy("REMCTL.EXE"));
        const std::string clips = Env("KIVO_SOAK_CLIPS", "");
        board_ = soak::FeedChannels(folder, clips);
        wt::Board::Reset(board_.c_str());
        ASSERT_TRUE(folder.Write("ZORTV.INI", soak::kStartSettings));
        vanvpPath_ = soak::WindowsFile("VANVP.INI");
        vanvpBefore_ = wt::FileExists(vanvpPath_) ? wt::ReadFile(vanvpPath_) : "";
        hadVanvp_ = wt::FileExists(vanvpPath_);
        ASSERT_TRUE(wt::WriteFile(vanvpPath_, soak::kVanvp));
        ASSERT_TRUE(remote_.Start("\"" + folder.File("REMCTL.EXE") + "\""));
        ASSERT_NE(nullptr, wt::WaitForWindow("KivoRemote", nullptr, 10000));
        other_ = wt::ActivateOwnWindow("メモ帳");
        StartOne();
    }

    void Run() {
        const DWORD start = GetTickCount();
        DWORD nextCheck = start;
        while (GetTickCount() - start < seconds_ * 1000u && failures_.size() < 5) {
            Act();
            Settle(20 + random_.Below(180));
            if (trace_ && viewer_ && viewer_->Running()) {
                const DWORD now = wt::HandlesHeldBy(viewer_->Id());
                if (now != lastHandles_ && !trail_.empty())
                    std::printf("trace: %+ld to %lu after %s\n", long(now) - long(lastHandles_), now, trail_.back().c_str());
                lastHandles_ = now;
            }
            if (GetTickCount() >= nextCheck) {
                Check(start);
                nextCheck = GetTickCount() + 3000;
            }
        }
        Check(start);
    }

    // The last values set, the viewer closed as a user closes it, its files read.
    void Finish() {
        AnswerDialogs();
        if (!viewer_ || !viewer_->Running()) StartOne();
        SetForegroundWindow(main_);
        wt::PumpMessages(500);
        // Preset 3 from the voice receiver: the source becomes TV.
        bool selected = false;
        for (int attempt = 0; attempt < 10 && !selected; ++attempt) {
            AnswerDialogs();
            SetForegroundWindow(main_);
            wt::PumpMessages(300);
            // The mix may have left a clip open or playing, where the tuner refuses presets.
            SendName("CD_STOP");
            Settle(500);
            SendName("VEXT,CH3");
            Settle(700);
            selected = soak::TunedPreset() == soak::kPresetChannels[2];
        }
        EXPECT_TRUE(selected) << "VEXT,CH3 did not tune the third preset";
        AnswerDialogs();
        const DWORD viewerId = viewer_->Id();
        EXPECT_TRUE(CloseViewer(*viewer_, 20000));
        EXPECT_EQ(0, viewer_->Wait(0)) << "the viewer's exit code";
        (void)viewerId;

        const auto& folder = LiveFolder();
        std::string why;
        EXPECT_TRUE(soak::CheckSettings(wt::ReadFile(folder.File("ZORTV.INI")), 2, 0, &why)) << why;
        EXPECT_TRUE(soak::CheckQif(wt::ReadFile(folder.File("TVCTRL.QIF")), wt::ReadFile(folder.File("ZORTV.INI")), &why))
            << why;
        EXPECT_EQ(soak::kVanvp, wt::ReadFile(vanvpPath_)) << "VANVP.INI changed";
        EXPECT_TRUE(soak::CheckVanvp(wt::ReadFile(vanvpPath_), &why)) << why;

        wt::ChildProcess quit;
        if (quit.Start("\"" + folder.File("REMCTL.EXE") + "\" /quit")) quit.Wait(10000);
        remote_.Wait(10000);
        if (other_) DestroyWindow(other_);
        wt::PumpMessages(500);
        const auto left = FolderProcesses();
        EXPECT_TRUE(left.empty()) << left.size() << " processes left, the first " << left.front().second;

        if (hadVanvp_) wt::WriteFile(vanvpPath_, vanvpBefore_);
        else DeleteFileA(vanvpPath_.c_str());
        Report();
    }

    const std::vector<std::string>& Failures() const { return failures_; }

private:
    void StartOne() {
        viewer_ = std::make_unique<wt::ChildProcess>();
        ASSERT_TRUE(StartLiveViewer(*viewer_));
        control_ = WaitUntilStarted(*viewer_, 30000);
        ASSERT_NE(nullptr, control_);
        main_ = WaitForVisibleWindow("KIVO", 15000);
        ASSERT_NE(nullptr, main_);
        tuner_ = WaitForVisibleWindow("KIVOTUNER2", 5000);
        deck_ = WaitForVisibleWindow("VideoDeck", 5000);
        instanceStart_ = GetTickCount();
        baseline_ = {};
        dialogsSeen_.clear();
        rebaseline_ = false;
        ++starts_;
        AnswerDialogs();
    }

    void Settle(DWORD ms) {
        wt::PumpMessages(ms);
        AnswerDialogs();
    }

    // One advise of any bytes, handed to the resident program as its /send does.
    void SendName(const std::string& name) {
        HWND resident = FindWindowA("KivoRemote", nullptr);
        if (!resident) {
            Fail("the remote-control program is gone");
            return;
        }
        COPYDATASTRUCT data = {};
        data.dwData = 0x4B565243;  // "KVRC"
        data.cbData = static_cast<DWORD>(name.size());
        data.lpData = const_cast<char*>(name.data());
        DWORD_PTR taken = 0;
        SendMessageTimeoutA(resident, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                            &taken);
        ++(taken ? namesTaken_ : namesRefused_);
    }

    std::string JunkName() {
        switch (random_.Below(7)) {
        case 0: return "";
        case 1: return std::string(300, static_cast<char>('A' + random_.Below(26)));
        case 2: return std::string("\x82", 1) + "TV_CH_UP";                // a lead byte without its trail
        case 3: return std::string("VCMD_TV_RED\x81", 12);                  // cut after a lead byte
        case 4: {
            std::string s;
            for (int i = random_.Below(40); i >= 0; --i) s += static_cast<char>(1 + random_.Below(31));
            return s;
        }
        case 5: return std::string(kTableNames[random_.Below(11)]) + (random_.Chance(50) ? " " : "\t");
        default: {
            std::string s;
            for (int i = random_.Below(400); i >= 0; --i) s += static_cast<char>(random_.Below(256));
            return s;
        }
        }
    }

    std::string VextName() {
        switch (random_.Below(5)) {
        case 0: return "VEXT,CH" + std::to_string(random_.Below(16) - 2);
        case 1: return "VEXT,CH";
        case 2: return "VEXT,CH99999999999999";
        case 3: return "VEXT,ABC";
        default: return "VEXT," + std::to_string(random_.Below(100));
        }
    }

    HWND AnyPanel() {
        HWND choices[] = {main_, tuner_, deck_};
        for (int i = 0; i < 3; ++i) {
            HWND w = choices[random_.Below(3)];
            if (w && IsWindow(w) && IsWindowVisible(w)) return w;
        }
        return IsWindow(main_) ? main_ : nullptr;
    }

    POINT AnyPoint(HWND w) {
        RECT r{};
        GetClientRect(w, &r);
        return {random_.Below(std::max<LONG>(1, r.right)), random_.Below(std::max<LONG>(1, r.bottom))};
    }

    void Click(HWND w, POINT p, bool twice) {
        const LPARAM at = MAKELPARAM(p.x, p.y);
        PostMessageA(w, WM_MOUSEMOVE, 0, at);
        PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(w, WM_LBUTTONUP, 0, at);
        if (twice) {
            PostMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            PostMessageA(w, WM_LBUTTONUP, 0, at);
        }
    }

    void Drag(HWND w, POINT from, POINT to) {
        PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        Settle(60);
        for (int step = 1; step <= 4; ++step) {
            const int x = from.x + (to.x - from.x) * step / 4, y = from.y + (to.y - from.y) * step / 4;
            PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
            Settle(40);
        }
        PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }

    void Act() {
        if (!viewer_ || !viewer_->Running()) return;
        // KIVO_SOAK_NAMES (comma-separated): only these names, to find which one a count follows.
        // "@N" stands for the mix's kind whose roll range holds N.
        if (!onlyNames_.empty()) {
            const std::string& name = onlyNames_[random_.Below(static_cast<int>(onlyNames_.size()))];
            if (name[0] == '@') return Mix(std::atoi(name.c_str() + 1));
            SendName(name.c_str());
            Count("name: " + name);
            return;
        }
        Mix(random_.Below(1000));
    }

    // One action of the mix; `roll` below 1000 picks its kind.
    void Mix(int roll) {
        if (roll < 160) {
            const char* name = kTableNames[random_.Below(11)];
            SendName(name);
            Count("name: command table");
            Detail(std::string(" ") + name);
        } else if (roll < 300) {
            const char* word = kVoiceWords[random_.Below(28)];
            SendName(word);
            Count("name: voice word");
            Detail(std::string(" ") + word);
        } else if (roll < 360) {
            SendName(VextName());
            Count("name: VEXT, form");
        } else if (roll < 440) {
            SendName(JunkName());
            Count("name: junk");
        } else if (roll < 700) {
            HWND w = AnyPanel();
            const POINT p = w ? AnyPoint(w) : POINT{};
            if (w) Click(w, p, random_.Chance(15));
            Count("click on a panel");
            if (trace_ && w) {
                char title[64] = {};
                GetWindowTextA(w, title, sizeof title);
                Detail(" " + std::string(title) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
            }
        } else if (roll < 760) {
            // The grow zone at the main window's lower right corner, or anywhere.
            RECT r{};
            GetClientRect(main_, &r);
            const POINT grow{r.right - 1 - random_.Below(6), r.bottom - 1 - random_.Below(6)};
            const POINT to{grow.x + random_.Below(400) - 200, grow.y + random_.Below(300) - 150};
            Drag(main_, grow, to);
            Count("drag of the grow zone");
        } else if (roll < 800) {
            if (HWND w = AnyPanel()) Drag(w, AnyPoint(w), AnyPoint(w));
            Count("drag on a panel");
        } else if (roll < 860) {
            if (random_.Chance(50)) SetForegroundWindow(other_);
            else SetForegroundWindow(random_.Chance(80) ? main_ : tuner_);
            Count("activation change");
        } else if (roll < 900) {
            // Anywhere on the desktop, the edges too.
            const int x = random_.Below(1024) - 100, y = random_.Below(768) - 60;
            SetWindowPos(main_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
            Count("main window moved");
        } else if (roll < 930) {
            PostMessageA(control_, WM_SYSCOMMAND, random_.Chance(50) ? SC_MINIMIZE : SC_RESTORE, 0);
            Count("minimise or restore");
        } else if (roll < 950) {
            PostMessageA(control_, WM_CHAR, static_cast<WPARAM>(random_.Below(256)), 1);
            Count("key to the control window");
        } else if (roll < 965) {
            PostMessageA(tuner_, WM_COMMAND, static_cast<WPARAM>(700 + random_.Below(40)), 0);
            Count("setup notice to the tuner panel");
        } else if (roll < 998) {
            SecondStart();
        } else if (random_.Chance(50)) {
            // A few power-offs per run: most of the run is one long-lived viewer.
            PowerOff();
        }
    }

    void SecondStart() {
        Count("second viewer start");
        wt::ChildProcess second;
        if (!second.Start("\"" + LiveFolder().File("zortv.exe") + "\"", LiveFolder().Path())) {
            Fail("a second viewer could not be started");
            return;
        }
        const long code = second.Wait(20000);
        if (code < 0) Fail("a second viewer did not end");
        AnswerDialogs();
    }

    // The remote's power key or "DOS_POWER": the viewer ends; the user starts it again.
    void PowerOff() {
        SetForegroundWindow(main_);
        Settle(200);
        SendName(random_.Chance(50) ? "DOS_POWER" : "SYS_TV_POWER");
        Settle(500);
        const long code = viewer_->Wait(20000);
        if (code < 0) {
            // Refused: another command was queued, a box was up, or the viewer was not active.
            Count("power name refused or not active");
            return;
        }
        Count("power off and start again");
        if (code != 0) Fail("the viewer ended with code " + std::to_string(code) + " after a power name");
        std::string why;
        if (!soak::CheckSettings(wt::ReadFile(LiveFolder().File("ZORTV.INI")), -1, -1, &why))
            Fail("after a power off: " + why);
        if (!soak::CheckQif(wt::ReadFile(LiveFolder().File("TVCTRL.QIF")), wt::ReadFile(LiveFolder().File("ZORTV.INI")),
                            &why))
            Fail("after a power off: " + why);
        StartOne();
    }

    // The number of dialogs and boxes answered.
    int AnswerDialogs() {
        Found found;
        if (viewer_) found.processes.push_back(viewer_->Id());
        for (const auto& [id, name] : FolderProcesses()) {
            if (name == "remctl.exe") continue;
            found.processes.push_back(id);
            // The editor or the setup program the viewer started: the user closes it again.
            if (name != "zortv.exe") {
                ProcessWindows of{id, 0};
                EnumWindows(CloseWindowsOf, reinterpret_cast<LPARAM>(&of));
                if (of.closed) Count("companion closed: " + name);
            }
        }
        EnumWindows(FindDialogs, reinterpret_cast<LPARAM>(&found));
        int answered = 0;
        for (HWND box : found.windows) {
            if (!IsWindow(box)) continue;
            ++answered;
            const std::string text = GetDlgItem(box, 0xFFFF) ? wt::MessageBoxText(box) : "";
            char caption[128] = {};
            GetWindowTextA(box, caption, sizeof caption);
            if (text.empty()) {
                Count(std::string("dialog closed: ") + caption);
                // The first file dialog of a start loads the shell's libraries, whose icons,
                // fonts and memory stay with the process: the counts after it are a new warm-up high.
                if (dialogsSeen_.insert(caption).second) rebaseline_ = true;
                DWORD_PTR r = 0;
                SendMessageTimeoutA(box, WM_COMMAND, IDCANCEL, 0, SMTO_ABORTIFHUNG, 3000, &r);
                continue;
            }
            const bool expected = std::any_of(std::begin(kExpectedBoxes), std::end(kExpectedBoxes),
                                              [&](const char* t) { return text.rfind(t, 0) == 0; });
            Count(std::string(expected ? "box: " : "UNEXPECTED box: ") + text);
            if (!expected) Fail("unexpected message box: " + text);
            for (int id : {IDOK, IDNO, IDCANCEL})
                if (!IsWindow(box) || wt::AnswerMessageBox(box, id)) break;
        }
        return answered;
    }

    void Check(DWORD start) {
        if (!viewer_->Running()) {
            const long code = viewer_->Wait(0);
            // A click on the panel's power button ends the viewer as the remote's key does.
            if (code == 0) {
                Count("ended by a click on a power button; started again");
                StartOne();
                return;
            }
            wt::SaveScreenshot(wt::InProgramFolder("soak-failure.bmp"));
            Fail("the viewer ended with code " + std::to_string(code));
            StartOne();
            return;
        }
        DWORD_PTR r = 0;
        if (!SendMessageTimeoutA(control_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 15000, &r)) {
            wt::SaveScreenshot(wt::InProgramFolder("soak-failure.bmp"));
            Fail("the viewer's control window does not answer");
        }
        // A dialog's windows are not the viewer's to keep: the sample waits until what was open is gone.
        for (int i = 0; i < 10 && AnswerDialogs() > 0; ++i) wt::PumpMessages(300);
        Sample s = Measure(start);
        // A dialog that is still being made or taken down holds windows and handles for a moment
        // before it can be answered; what a leak holds stays.
        const bool warm = GetTickCount() - instanceStart_ >= 20000;
        for (int i = 0; i < 6 && warm && !rebaseline_ && OverBound(s); ++i) {
            AnswerDialogs();
            wt::PumpMessages(500);
            s = Measure(start);
        }
        samples_.push_back(s);
        // KIVO_SOAK_TRACE: each sample's handle groups with the actions since the one before, to
        // name the action behind a growing count.
        if (trace_) {
            std::string acts;
            for (const std::string& a : sinceSample_) acts += " | " + a;
            sinceSample_.clear();
            std::printf("trace: %lu s handles %lu private %lu KB%s\ntrace: %s\n", s.seconds, s.handles,
                        static_cast<unsigned long>(s.privateKb), acts.c_str(), DescribeHandles(viewer_->Id()).c_str());
        }
        if (!warm || rebaseline_) {
            rebaseline_ = false;
            baseline_.handles = std::max(baseline_.handles, s.handles);
            baseline_.userObjects = std::max(baseline_.userObjects, s.userObjects);
            baseline_.gdiObjects = std::max(baseline_.gdiObjects, s.gdiObjects);
            baseline_.windows = std::max(baseline_.windows, s.windows);
            return;
        }
        const Sample limit = Limits();
        if (s.handles > limit.handles) {
            std::printf("soak: the viewer's handles:%s\n", DescribeHandles(viewer_->Id()).c_str());
            Fail("handle count " + std::to_string(s.handles) + " after a warm-up high of " + std::to_string(baseline_.handles));
        }
        if (s.userObjects > limit.userObjects) Fail("USER objects " + std::to_string(s.userObjects));
        if (s.gdiObjects > limit.gdiObjects) Fail("GDI objects " + std::to_string(s.gdiObjects) + " after a warm-up high of " + std::to_string(baseline_.gdiObjects));
        if (s.windows > limit.windows) Fail("windows " + std::to_string(s.windows) + ":" + WindowClassesOf(viewer_->Id()));
    }

    // After a warm-up of 20 s per start the counts stay near the highest of the warm-up.
    Sample Limits() const {
        auto bound = [](DWORD base, DWORD slack) { return base + base / 4 + slack; };
        Sample limit{};
        limit.handles = bound(baseline_.handles, 40);
        limit.userObjects = bound(baseline_.userObjects, 40);
        limit.gdiObjects = bound(baseline_.gdiObjects, 60);
        limit.windows = bound(baseline_.windows, 10);
        return limit;
    }
    bool OverBound(const Sample& s) const {
        const Sample limit = Limits();
        return s.handles > limit.handles || s.userObjects > limit.userObjects || s.gdiObjects > limit.gdiObjects ||
               s.windows > limit.windows;
    }

    Sample Measure(DWORD start) {
        Sample s{};
        s.seconds = (GetTickCount() - start) / 1000;
        s.process = viewer_->Id();
        HANDLE p = viewer_->Handle();
        using HandleCount = BOOL(WINAPI*)(HANDLE, PDWORD);
        static auto handleCount = reinterpret_cast<HandleCount>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessHandleCount")));
        if (handleCount) handleCount(p, &s.handles);
        // This Wine answers 0 for another process: count its entries in the system's handle list.
        if (s.handles == 0) s.handles = wt::HandlesHeldBy(viewer_->Id());
        s.driverKeys = DriverKeysOf(viewer_->Id());
        s.handles -= std::min(s.handles, s.driverKeys);
        s.userObjects = GetGuiResources(p, GR_USEROBJECTS);
        s.gdiObjects = wt::GdiObjectsOf(p);
        WindowsOf of{viewer_->Id(), 0};
        EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&of));
        s.windows = of.count;
        struct Counters {
            DWORD cb, faults;
            SIZE_T peakWs, ws, quotaPeakPaged, quotaPaged, quotaPeakNonPaged, quotaNonPaged, pagefile, peakPagefile;
        } m{};
        m.cb = sizeof m;
        using MemoryInfo = BOOL(WINAPI*)(HANDLE, Counters*, DWORD);
        static auto memoryInfo = reinterpret_cast<MemoryInfo>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
        if (memoryInfo && memoryInfo(p, &m, sizeof m)) s.privateKb = m.pagefile / 1024;
        return s;
    }

    void Count(const std::string& what) {
        ++counts_[what];
        if (trace_) sinceSample_.push_back(what);
        trail_.push_back(what);
        if (trail_.size() > 12) trail_.erase(trail_.begin());
    }
    void Detail(const std::string& text) {
        trail_.back() += text;
        if (trace_ && !sinceSample_.empty()) sinceSample_.back() += text;
    }
    // With the last actions before it, for the replay.
    void Fail(const std::string& what) {
        failures_.push_back(what);
        std::printf("soak: FAILURE: %s\n", what.c_str());
        for (const std::string& t : trail_) std::printf("soak:   after %s\n", t.c_str());
    }

    void Report() {
        std::printf("soak: %zu samples, %d viewer starts, names taken %d refused %d\n", samples_.size(), starts_,
                    namesTaken_, namesRefused_);
        for (const auto& [what, n] : counts_) std::printf("soak: %6d  %s\n", n, what.c_str());
        if (!samples_.empty()) {
            const Sample& a = samples_.front();
            const Sample& b = samples_.back();
            for (const Sample* x : {&a, &b})
                std::printf("soak: %s sample handles %lu (and %lu keys of Wine's driver list) user %lu gdi %lu windows %lu private %lu KB\n",
                            x == &a ? "first" : "last ", x->handles, x->driverKeys, x->userObjects, x->gdiObjects, x->windows,
                            static_cast<unsigned long>(x->privateKb));
        }
        if (samplesPath_.empty()) return;
        if (FILE* f = std::fopen(samplesPath_.c_str(), "w")) {
            std::fprintf(f, "seconds,process,handles,driver_keys,user,gdi,windows,private_kb\n");
            for (const Sample& s : samples_)
                std::fprintf(f, "%lu,%lu,%lu,%lu,%lu,%lu,%lu,%lu\n", s.seconds, s.process, s.handles, s.driverKeys,
                             s.userObjects, s.gdiObjects, s.windows, static_cast<unsigned long>(s.privateKb));
            std::fclose(f);
        }
    }

    Random random_;
    DWORD seconds_;
    std::string samplesPath_;
    std::string board_;
    std::string vanvpPath_, vanvpBefore_;
    bool hadVanvp_ = false;
    wt::ChildProcess remote_;
    std::unique_ptr<wt::ChildProcess> viewer_;
    HWND control_ = nullptr, main_ = nullptr, tuner_ = nullptr, deck_ = nullptr, other_ = nullptr;
    DWORD instanceStart_ = 0;
    std::set<std::string> dialogsSeen_;  // this start's file dialogs, by caption
    bool rebaseline_ = false;
    Sample baseline_{};
    int starts_ = 0;
    int namesTaken_ = 0, namesRefused_ = 0;
    std::map<std::string, int> counts_;
    std::vector<std::string> trail_;
    std::vector<std::string> sinceSample_;
    DWORD lastHandles_ = 0;
    const bool trace_ = !Env("KIVO_SOAK_TRACE", "").empty();
    const std::vector<std::string> onlyNames_ = [] {
        std::vector<std::string> names;
        std::string list = Env("KIVO_SOAK_NAMES", "") + ",";
        for (size_t at; (at = list.find(',')) != std::string::npos; list.erase(0, at + 1))
            if (at) names.push_back(list.substr(0, at));
        return names;
    }();
    std::vector<Sample> samples_;
    std::vector<std::string> failures_;
};

TEST(Soak, TheViewerLivesThroughARandomMixAndLeavesItsFilesWhole) {
    const std::string seedText = Env("KIVO_SOAK_SEED", "");
    const uint64_t seed = seedText.empty() ? (static_cast<uint64_t>(GetTickCount()) * 2654435761u) ^ GetCurrentProcessId()
                                           : std::strtoull(seedText.c_str(), nullptr, 0);
    const DWORD seconds = static_cast<DWORD>(std::strtoul(Env("KIVO_SOAK_SECONDS", "30").c_str(), nullptr, 10));
    std::printf("soak: seed %llu, %lu seconds\n", static_cast<unsigned long long>(seed), seconds);
    std::fflush(stdout);
    RecordProperty("seed", std::to_string(seed));

    Soak soak(seed, seconds, Env("KIVO_SOAK_SAMPLES", ""));
    ASSERT_NO_FATAL_FAILURE(soak.Prepare());
    soak.Run();
    soak.Finish();
    for (const std::string& f : soak.Failures()) ADD_FAILURE() << f;
    std::printf("soak: seed %llu, %s\n", static_cast<unsigned long long>(seed),
                soak.Failures().empty() && !HasFailure() ? "passed" : "FAILED");
}

}  // namespace
