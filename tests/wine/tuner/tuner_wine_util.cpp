#include "tuner_wine_util.h"

#include <atomic>

namespace tunertest {

Helper::Helper(const std::string& folder) {
    static std::atomic<int> count{0};
    const std::string tag =
        "KVTUN_TEST_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++count);
    ready_ = CreateEventA(nullptr, TRUE, FALSE, (tag + "_ready").c_str());
    quit_ = CreateEventA(nullptr, TRUE, FALSE, (tag + "_quit").c_str());
    started_ = process_.Start("\"" + folder + "\\tuner_helper.exe\" load " + tag, folder);
}

Helper::~Helper() {
    if (quit_) SetEvent(quit_);
    process_.Wait(10000);
    if (ready_) CloseHandle(ready_);
    if (quit_) CloseHandle(quit_);
}

bool Helper::WaitReady(DWORD ms) {
    HANDLE handles[2] = {ready_, process_.Handle()};
    return started_ && WaitForMultipleObjects(2, handles, FALSE, ms) == WAIT_OBJECT_0;
}

long Helper::Quit() {
    SetEvent(quit_);
    return process_.Wait(20000);
}

std::vector<board::LogEntry> TunerLog(DWORD process, uint32_t after) {
    std::vector<board::LogEntry> mine;
    for (const auto& e : kivo::wt::Board::Log(board::kZtuner, after))
        if (e.process == process) mine.push_back(e);
    return mine;
}

std::vector<board::LogEntry> MixerLog(DWORD process, uint32_t after) {
    std::vector<board::LogEntry> mine;
    for (const auto& e : kivo::wt::Board::Log(board::kBoardMix, after))
        if (e.process == process) mine.push_back(e);
    return mine;
}

std::vector<uint32_t> Codes(const std::vector<board::LogEntry>& log) {
    std::vector<uint32_t> codes;
    for (const auto& e : log) codes.push_back(e.code);
    return codes;
}

std::string WindowsFile(const char* name) {
    char dir[MAX_PATH];
    UINT n = GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir, n) + "\\" + name;
}

std::string IniValue(const std::string& text, const std::string& section, const std::string& key) {
    std::string current;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            current = line.substr(1, line.find(']') - 1);
        } else if (current == section && line.compare(0, key.size() + 1, key + "=") == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "";
}

}  // namespace tunertest
