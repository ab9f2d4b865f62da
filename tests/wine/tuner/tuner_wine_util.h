// What the tuner library's Wine tests share: helper processes that hold the library, the
// board's log by process, and VANVP.INI in the Windows directory.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "winetest.h"

namespace tunertest {

// A tuner_helper.exe that loads kvtun32.dll from folder and keeps it until Quit.
class Helper {
public:
    explicit Helper(const std::string& folder = kivo::wt::ProgramFolder());
    ~Helper();
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    bool Started() const { return started_; }
    // True once the library is loaded; false when the helper ended first or time ran out.
    bool WaitReady(DWORD ms);
    // Lets the helper end and gives its exit code.
    long Quit();
    long Wait(DWORD ms) { return process_.Wait(ms); }
    DWORD Id() const { return process_.Id(); }

private:
    HANDLE ready_ = nullptr;
    HANDLE quit_ = nullptr;
    bool started_ = false;
    kivo::wt::ChildProcess process_;
};

// ZTUNER.VXD requests of one process after the log's sequence number `after`.
std::vector<board::LogEntry> TunerLog(DWORD process, uint32_t after = 0);
std::vector<uint32_t> Codes(const std::vector<board::LogEntry>& log);
// Mixer-driver messages of one process after `after`.
std::vector<board::LogEntry> MixerLog(DWORD process, uint32_t after = 0);

std::string WindowsFile(const char* name);
// The value of a key of an INI text, "" when absent; section and key match exactly.
std::string IniValue(const std::string& text, const std::string& section, const std::string& key);

}  // namespace tunertest
