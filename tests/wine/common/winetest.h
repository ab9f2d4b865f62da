// Helpers for the tests that run the system's Win32 binaries under Wine.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "board_state.h"

namespace kivo::wt {

// The folder holding the test program and every built binary: the program folder.
std::string ProgramFolder();
// Path of a file in the program folder.
std::string InProgramFolder(const std::string& file);

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& data);
bool FileExists(const std::string& path);

// The machine's virtual board, through KVBOARD.DLL's inspection functions.
class Board {
public:
    // Power-on state with the given settings text (BOARD.INI format); nullptr or "" for the
    // built-in settings. The log is emptied.
    static void Reset(const char* settings = nullptr);
    // Every log entry since the reset (or those still kept).
    static std::vector<board::LogEntry> Log();
    // Entries of one device only, with sequence numbers above `after`.
    static std::vector<board::LogEntry> Log(uint32_t device, uint32_t after = 0);
    static uint32_t LogTotal();
    static std::unique_ptr<board::State> Snapshot();
};

// A temporary program folder with copies of named files of the program folder; removed
// with everything in it when the object ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name, const std::vector<std::string>& files = {});
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    bool Copy(const std::string& programFile) const;
    bool Write(const std::string& name, const std::string& text) const;

private:
    std::string path_;
};

// A started program. Every process it starts belongs to a job that ends with this object,
// so that no process outlives the test.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // commandLine as for CreateProcessA; directory empty for the test's own.
    bool Start(const std::string& commandLine, const std::string& directory = "");
    // Exit code, or -1 when it did not end within ms.
    long Wait(DWORD ms);
    bool Running() const;
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    void Kill();

private:
    PROCESS_INFORMATION info_ = {};
    HANDLE job_ = nullptr;
};

// Waits for a top-level window; nullptr when none appears within ms. Either name may be null.
HWND WaitForWindow(const char* windowClass, const char* title, DWORD ms);
// Waits until no such window exists; false on time-out.
bool WaitForNoWindow(const char* windowClass, const char* title, DWORD ms);

// Message boxes of any process: found by caption once visible (complete), read through the static text 0xFFFF,
// answered by pressing a button (IDOK, IDYES ...); true once the box is gone.
HWND WaitForMessageBox(const char* caption, DWORD ms);
// A visible dialog or message box (class "#32770") of one process, whatever its caption.
HWND WaitForDialogOf(DWORD processId, DWORD ms);
std::string MessageBoxText(HWND box);
bool AnswerMessageBox(HWND box, int buttonId);

// A window of the test program, made the active one so that the program under test is not;
// the caller destroys it.
HWND ActivateOwnWindow(const char* title);

// A press and release of the left button at a client point of a window.
void ClickClient(HWND window, int x, int y);

// The whole screen as a 24-bit BMP.
bool SaveScreenshot(const std::string& path);

// Keeps a message queue alive for a while (for tests that own windows).
void PumpMessages(DWORD ms);

// The handles another process holds, from the system's handle list (this Wine's
// GetProcessHandleCount answers 0 for another process); with each one's value and type index.
DWORD HandlesHeldBy(DWORD processId, std::vector<std::pair<USHORT, BYTE>>* held = nullptr);

// The GDI objects (stock objects left out) another process holds, or 0 when they cannot be
// counted: GetGuiResources where it answers, else the entries in use of the GDI handle table
// that this Wine keeps in each process's memory and names in its PEB.
DWORD GdiObjectsOf(HANDLE process);

}  // namespace kivo::wt
