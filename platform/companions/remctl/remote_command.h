// REMCTL.EXE's command line, the names it takes and the queue of names waiting to be advised.
// Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace remctl {

// Exit codes of every form of the program.
enum ExitCode : int {
    kExitOk = 0,
    kExitNoResident = 1,       // /send, /quit: no resident program runs (or it did not answer)
    kExitRefused = 2,          // a command line it does not understand, a name it does not take,
                               // or (/quit) a resident program that did not end within 5 s
    kExitAlreadyResident = 3,  // a second resident start
    kExitNoService = 4,        // the DDE service could not be registered
};

enum class Action { kResident, kSend, kQuit, kUsage };

struct Invocation {
    Action action;
    std::string name;  // kSend: the name, as typed (Shift-JIS bytes pass unchanged)
};

// The arguments after the program name: nothing (resident), "/send NAME", "/quit". Switches
// may start with '-' and are case-insensitive. NAME is the rest of the line without the blanks
// around it; one pair of double quotes around it is removed.
Invocation ParseCommandLine(std::string_view arguments);

// Names longer than this are refused (a client uses at most 261 bytes of one anyway).
constexpr size_t kMaxNameBytes = 1024;
// Non-empty, not longer than kMaxNameBytes, no NUL inside.
bool IsAcceptableName(std::string_view name);
// The text without spaces, tabs and line ends around it.
std::string_view TrimBlanks(std::string_view text);

// Tag of the WM_COPYDATA by which "/send" hands a name to the resident program.
constexpr uint32_t kCopyDataTag = 0x4B565243;  // "KVRC"

// Names in the order they came, until the DDE server advises them.
class NameQueue {
public:
    static constexpr size_t kMaxPending = 64;
    // False (and nothing queued) for a name that is not acceptable or when the queue is full.
    bool Push(std::string_view name);
    bool Pop(std::string& name);
    size_t Size() const { return names_.size(); }

private:
    std::deque<std::string> names_;
};

}  // namespace remctl
