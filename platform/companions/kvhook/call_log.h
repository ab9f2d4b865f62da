// The record of calls that the outside libraries Kvhook and KVTHK32 keep for the tests: a ring of
// the latest calls in memory that every process loading the library shares. Writers never wait;
// a reader takes only entries that were complete while it read them. Portable: no windows.h.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace companion {

enum class ArgKind : uint8_t {
    kNone,      // Name()
    kSigned,    // Name(-3)
    kUnsigned,  // Name(4000)
    kHandle,    // Name(0x400000)
};

struct CallKind {
    uint32_t function;  // the number a call is recorded under
    const char* name;
    ArgKind arg;
};

struct Call {
    uint32_t sequence;  // 1, 2, ... since the last reset
    uint32_t process;   // process id of the caller
    uint32_t function;
    uint64_t argument;  // as passed, zero-extended (signed arguments: the 32-bit pattern)
};

// Lives zero-initialised in a shared section; every field is atomic because other processes
// touch it at the same time.
struct CallRing {
    static constexpr uint32_t kCapacity = 128;
    struct Slot {
        std::atomic<uint32_t> sequence;  // 0 while being written
        std::atomic<uint32_t> process;
        std::atomic<uint32_t> function;
        std::atomic<uint32_t> argumentLow;
        std::atomic<uint32_t> argumentHigh;
    };
    std::atomic<uint32_t> total;  // calls recorded since the reset, kept or not
    Slot slots[kCapacity];
};

void RecordCall(CallRing& ring, uint32_t process, uint32_t function, uint64_t argument);
// The call with that sequence number; false when it is out of the ring or being rewritten.
bool ReadCall(const CallRing& ring, uint32_t sequence, Call* call);
uint32_t CallTotal(const CallRing& ring);
// The oldest sequence number still held (total + 1 when none).
uint32_t FirstKeptCall(const CallRing& ring);
void ResetCalls(CallRing& ring);

// "Name(argument)\n" per kept call, oldest first; kinds not in the table show as "#n(argument)".
std::string FormatCalls(const CallRing& ring, const CallKind* kinds, size_t kindCount);
std::string FormatCall(const Call& call, const CallKind* kinds, size_t kindCount);

// The text copied into a caller's buffer of size bytes, always NUL-terminated when size > 0;
// returns the length of the whole text.
int CopyText(const std::string& text, char* buffer, int size);

}  // namespace companion
