#include "winetest.h"

#include <algorithm>
#include <cstring>

#include "board_api.h"

namespace kivo::wt {

std::string ProgramFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    return p.substr(0, p.find_last_of("\\/"));
}

std::string InProgramFolder(const std::string& file) { return ProgramFolder() + "\\" + file; }

std::string ReadFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got) data.append(buffer, got);
    CloseHandle(h);
    return data;
}

bool WriteFile(const std::string& path, const std::string& data) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = ::WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
    CloseHandle(h);
    return ok && put == data.size();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Board ----------------------------------------------------------------------------------

void Board::Reset(const char* settings) { BoardResetWith(settings ? settings : ""); }

uint32_t Board::LogTotal() { return BoardLogTotal(); }

std::vector<board::LogEntry> Board::Log() { return Log(0, 0); }

std::vector<board::LogEntry> Board::Log(uint32_t device, uint32_t after) {
    std::vector<board::LogEntry> entries;
    uint32_t total = BoardLogTotal();
    for (uint32_t seq = after + 1; seq <= total; ++seq) {
        board::LogEntry e;
        if (BoardLogEntry(seq, &e) && (device == 0 || e.device == device)) entries.push_back(e);
    }
    return entries;
}

std::unique_ptr<board::State> Board::Snapshot() {
    auto s = std::make_unique<board::State>();
    BoardSnapshot(s.get(), sizeof(board::State));
    return s;
}

// ScratchFolder ------------------------------------------------------------------------

namespace {

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& name, const std::vector<std::string>& files) {
    std::string root = ProgramFolder() + "\\..\\scratch";
    CreateDirectoryA(root.c_str(), nullptr);
    path_ = root + "\\" + name + "-" + std::to_string(GetCurrentProcessId());
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
    for (const auto& f : files) Copy(f);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

bool ScratchFolder::Copy(const std::string& programFile) const {
    return CopyFileA(InProgramFolder(programFile).c_str(), File(programFile).c_str(), FALSE) != 0;
}

bool ScratchFolder::Write(const std::string& name, const std::string& text) const {
    return WriteFile(File(name), text);
}

// ChildProcess -------------------------------------------------------------------------

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Start(const std::string& commandLine, const std::string& directory) {
    Kill();
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &si, &info_)) {
        info_ = {};
        return false;
    }
    if (job_) AssignProcessToJobObject(job_, info_.hProcess);
    ResumeThread(info_.hThread);
    return true;
}

long ChildProcess::Wait(DWORD ms) {
    if (!info_.hProcess) return -1;
    if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
}

bool ChildProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill() {
    if (info_.hProcess) {
        if (Running()) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
        info_ = {};
    }
    if (job_) {
        TerminateJobObject(job_, 1);
        CloseHandle(job_);
        job_ = nullptr;
    }
}

// Windows ------------------------------------------------------------------------------

HWND WaitForWindow(const char* windowClass, const char* title, DWORD ms) {
    // A dialog or message box becomes visible only once its controls and texts are made: one
    // found before that would read empty.
    const bool dialog = windowClass && std::strcmp(windowClass, "#32770") == 0;
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowA(windowClass, title);
        if (w && (!dialog || IsWindowVisible(w))) return w;
        if (GetTickCount() - start >= ms) return nullptr;
        PumpMessages(20);
    }
}

bool WaitForNoWindow(const char* windowClass, const char* title, DWORD ms) {
    DWORD start = GetTickCount();
    while (FindWindowA(windowClass, title)) {
        if (GetTickCount() - start >= ms) return false;
        PumpMessages(20);
    }
    return true;
}

HWND WaitForMessageBox(const char* caption, DWORD ms) { return WaitForWindow("#32770", caption, ms); }

HWND WaitForDialogOf(DWORD processId, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = nullptr;
        while ((w = FindWindowExA(nullptr, w, "#32770", nullptr))) {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (process == processId && IsWindowVisible(w)) return w;
        }
        if (GetTickCount() - start >= ms) return nullptr;
        PumpMessages(20);
    }
}

std::string MessageBoxText(HWND box) {
    char text[1024] = {};
    HWND label = GetDlgItem(box, 0xFFFF);
    if (label) GetWindowTextA(label, text, sizeof text);
    return text;
}

bool AnswerMessageBox(HWND box, int buttonId) {
    // A press can be lost while the box is still settling: press again until it is gone.
    for (int attempt = 0; attempt < 10 && IsWindow(box); ++attempt) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)), SMTO_ABORTIFHUNG,
                            5000, &result);
        for (int i = 0; i < 25 && IsWindow(box); ++i) PumpMessages(20);
    }
    return !IsWindow(box);
}

HWND ActivateOwnWindow(const char* title) {
    static bool registered = false;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KivoTestOther";
    if (!registered) registered = RegisterClassA(&wc) != 0;
    HWND w = CreateWindowA("KivoTestOther", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 200, 100,
                           nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(w);
    PumpMessages(200);
    return w;
}

void ClickClient(HWND window, int x, int y) {
    LPARAM at = MAKELPARAM(x, y);
    SendMessageA(window, WM_MOUSEMOVE, 0, at);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(window, WM_LBUTTONUP, 0, at);
}

bool SaveScreenshot(const std::string& path) {
    HDC screen = GetDC(nullptr);
    int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w <= 0 || h <= 0) {
        w = GetDeviceCaps(screen, HORZRES);
        h = GetDeviceCaps(screen, VERTRES);
    }
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HDC mem = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        GdiFlush();
        DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
        DWORD imageSize = stride * static_cast<DWORD>(h);
        BITMAPFILEHEADER bfh = {};
        bfh.bfType = 0x4D42;
        bfh.bfOffBits = sizeof bfh + sizeof bih;
        bfh.bfSize = bfh.bfOffBits + imageSize;
        std::string data(reinterpret_cast<const char*>(&bfh), sizeof bfh);
        data.append(reinterpret_cast<const char*>(&bih), sizeof bih);
        data.append(static_cast<const char*>(bits), imageSize);
        ok = WriteFile(path, data);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(dib);
    }
    ReleaseDC(nullptr, screen);
    return ok;
}

void PumpMessages(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

DWORD HandlesHeldBy(DWORD process, std::vector<std::pair<USHORT, BYTE>>* held) {
    struct Entry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    static auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    for (int i = 0; i < 4; ++i) {
        const LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) break;
        if (status != static_cast<LONG>(0xC0000004)) return 0;  // not STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    const ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    const size_t first = sizeof(ULONG_PTR);  // the count, padded to the entries' alignment
    if (first + size_t(count) * sizeof(Entry) > buffer.size()) return 0;
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + first);
    DWORD n = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerPid == process) {
            ++n;
            if (held) held->push_back({entries[i].value, entries[i].objectType});
        }
    return n;
}

DWORD GdiObjectsOf(HANDLE process) {
    if (DWORD n = GetGuiResources(process, GR_GDIOBJECTS)) return n;
    struct BasicInformation {
        PVOID exitStatus, peb, affinity, basePriority, processId, parentId;
    } info{};
    using Query = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    static auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    if (!query || query(process, 0, &info, sizeof info, nullptr) != 0 || !info.peb) return 0;
    // The PEB's GdiSharedHandleTable; the other process has this build's word size.
    const size_t tableField = sizeof(void*) == 8 ? 0xF8 : 0x94;
    PVOID table = nullptr;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, static_cast<BYTE*>(info.peb) + tableField, &table, sizeof table, &got) || !table)
        return 0;
    // Wine's entry: 64-bit object and user pointers on every build.
    struct Entry {
        UINT64 object;
        ULONG owner;
        USHORT unique;  // bit 7: a stock object
        BYTE type;      // 0: free
        BYTE flags;
        UINT64 user;
    };
    static_assert(sizeof(Entry) == 24, "the GDI table's entry");
    std::vector<Entry> entries(0x10000);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(Entry), &got)) return 0;
    DWORD n = 0;
    for (const Entry& e : entries)
        if (e.type != 0 && !(e.unique & 0x80)) ++n;
    return n;
}

}  // namespace kivo::wt
