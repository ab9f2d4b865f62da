// KVCMD32.DLL: a stand-in for the outside voice-command service. It keeps a table of the
// applications that registered and which one it listens for; it recognises no speech. Every
// call is recorded for the tests.
#include "kvcmd32.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "call_log.h"

namespace {

enum Function : uint32_t { kRegister = 7, kEnable = 4 };

constexpr uint32_t kMaxApplications = 8;
constexpr size_t kNameBytes = 32;
constexpr uint64_t kRefusedBit = uint64_t{1} << 40;

// One record for every process that loads the library.
struct Shared {
    companion::CallRing calls;
    std::atomic<int32_t> refuse;
    std::atomic<uint32_t> listening;
    std::atomic<uint32_t> applicationCount;
    char applications[kMaxApplications][kNameBytes];
};
Shared g_shared __attribute__((section(".shr"), shared)) = {};

void Record(Function function, uint64_t argument) {
    companion::RecordCall(g_shared.calls, GetCurrentProcessId(), function, argument);
}

// The identifier (1 and up) of a name, entering it when new; 0 when the table is full.
uint32_t ApplicationId(const char* name) {
    char key[kNameBytes] = {};
    std::strncpy(key, name, kNameBytes - 1);
    const uint32_t count = g_shared.applicationCount.load();
    for (uint32_t i = 0; i < count && i < kMaxApplications; ++i)
        if (std::strncmp(g_shared.applications[i], key, kNameBytes) == 0) return i + 1;
    if (count >= kMaxApplications) return 0;
    std::memcpy(g_shared.applications[count], key, kNameBytes);
    g_shared.applicationCount.store(count + 1);
    return count + 1;
}

std::string FormatCall(const companion::Call& call) {
    char text[96];
    const bool refused = (call.argument & kRefusedBit) != 0;
    if (call.function == kRegister) {
        const uint32_t id = static_cast<uint32_t>(call.argument & 0xFFFF);
        const char* name = id >= 1 && id <= kMaxApplications ? g_shared.applications[id - 1] : "?";
        if (refused) std::snprintf(text, sizeof text, "Register(%.31s) refused", name);
        else std::snprintf(text, sizeof text, "Register(%.31s)=%u", name, id);
    } else if (call.function == kEnable) {
        std::snprintf(text, sizeof text, "Enable(%d,%u)%s", static_cast<int>((call.argument >> 16) & 0xFF),
                      static_cast<unsigned>(call.argument & 0xFFFF), refused ? " refused" : "");
    } else {
        std::snprintf(text, sizeof text, "#%u", static_cast<unsigned>(call.function));
    }
    return text;
}

}  // namespace

extern "C" {

int WINAPI VcmdRegister(const char* application, WORD* id) {
    if (!application || !id) {
        Record(kRegister, kRefusedBit);
        return 0;
    }
    const uint32_t number = ApplicationId(application);
    if (g_shared.refuse.load() || number == 0) {
        Record(kRegister, kRefusedBit | number);
        return 0;
    }
    *id = static_cast<WORD>(number);
    Record(kRegister, number);
    return KVCMD_OK;
}

int WINAPI VcmdEnable(int flag, WORD id) {
    const uint64_t argument = (uint64_t{flag != 0} << 16) | id;
    const bool known = id >= 1 && id <= g_shared.applicationCount.load();
    if (g_shared.refuse.load() || (flag && !known)) {
        Record(kEnable, argument | kRefusedBit);
        return 0;
    }
    g_shared.listening.store(flag ? id : 0);
    Record(kEnable, argument);
    return KVCMD_OK;
}

int WINAPI KvcmdCallLog(char* buffer, int size) {
    std::string text;
    const uint32_t total = companion::CallTotal(g_shared.calls);
    for (uint32_t sequence = companion::FirstKeptCall(g_shared.calls); sequence <= total; ++sequence) {
        companion::Call call;
        if (!companion::ReadCall(g_shared.calls, sequence, &call)) continue;
        text += FormatCall(call);
        text += '\n';
    }
    return companion::CopyText(text, buffer, size);
}

int WINAPI KvcmdCallCount(void) { return static_cast<int>(companion::CallTotal(g_shared.calls)); }

void WINAPI KvcmdResetLog(void) {
    companion::ResetCalls(g_shared.calls);
    g_shared.refuse.store(0);
    g_shared.listening.store(0);
    g_shared.applicationCount.store(0);
    std::memset(g_shared.applications, 0, sizeof g_shared.applications);
}

int WINAPI KvcmdSetRefuse(int refuse) { return g_shared.refuse.exchange(refuse != 0); }

int WINAPI KvcmdListeningId(void) { return static_cast<int>(g_shared.listening.load()); }

}  // extern "C"
