// KVTHK32.DLL: a stand-in for the outside thunk library. It remembers who owns the TV and
// records every call for the tests.
#include "kvthk32.h"

#include <iterator>

#include "call_log.h"

namespace {

constexpr uint32_t kSetTvOwner = 2;

const companion::CallKind kKinds[] = {
    {kSetTvOwner, "KvThkSetTvOwner", companion::ArgKind::kUnsigned},
};

struct Shared {
    companion::CallRing calls;
    std::atomic<uint32_t> ownerPlusOne;  // 0: never set, so that zero-filled memory means "Windows"
};
Shared g_shared __attribute__((section(".shr"), shared)) = {};

}  // namespace

extern "C" {

DWORD WINAPI KvThkSetTvOwner(DWORD owner) {
    companion::RecordCall(g_shared.calls, GetCurrentProcessId(), kSetTvOwner, owner);
    const uint32_t previous = g_shared.ownerPlusOne.exchange(owner + 1);
    return previous ? previous - 1 : 1;
}

int WINAPI KvThkCallLog(char* buffer, int size) {
    return companion::CopyText(companion::FormatCalls(g_shared.calls, kKinds, std::size(kKinds)),
                               buffer, size);
}

int WINAPI KvThkCallCount(void) { return static_cast<int>(companion::CallTotal(g_shared.calls)); }

DWORD WINAPI KvThkCallProcess(int number) {
    companion::Call call;
    if (number <= 0 || !companion::ReadCall(g_shared.calls, static_cast<uint32_t>(number), &call)) return 0;
    return call.process;
}

void WINAPI KvThkResetLog(void) { companion::ResetCalls(g_shared.calls); }

}  // extern "C"
