#include "call_log.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace companion {

void RecordCall(CallRing& ring, uint32_t process, uint32_t function, uint64_t argument) {
    const uint32_t sequence = ring.total.fetch_add(1) + 1;
    auto& slot = ring.slots[(sequence - 1) % CallRing::kCapacity];
    slot.sequence.store(0);
    slot.process.store(process, std::memory_order_relaxed);
    slot.function.store(function, std::memory_order_relaxed);
    slot.argumentLow.store(static_cast<uint32_t>(argument), std::memory_order_relaxed);
    slot.argumentHigh.store(static_cast<uint32_t>(argument >> 32), std::memory_order_relaxed);
    slot.sequence.store(sequence);
}

uint32_t CallTotal(const CallRing& ring) { return ring.total.load(); }

uint32_t FirstKeptCall(const CallRing& ring) {
    const uint32_t total = CallTotal(ring);
    return total > CallRing::kCapacity ? total - CallRing::kCapacity + 1 : 1;
}

bool ReadCall(const CallRing& ring, uint32_t sequence, Call* call) {
    if (sequence == 0 || sequence < FirstKeptCall(ring) || sequence > CallTotal(ring)) return false;
    const auto& slot = ring.slots[(sequence - 1) % CallRing::kCapacity];
    if (slot.sequence.load() != sequence) return false;
    Call c;
    c.sequence = sequence;
    c.process = slot.process.load(std::memory_order_relaxed);
    c.function = slot.function.load(std::memory_order_relaxed);
    c.argument = slot.argumentLow.load(std::memory_order_relaxed) |
                 static_cast<uint64_t>(slot.argumentHigh.load(std::memory_order_relaxed)) << 32;
    // A writer that took the slot meanwhile has changed its sequence first.
    if (slot.sequence.load() != sequence) return false;
    *call = c;
    return true;
}

void ResetCalls(CallRing& ring) {
    for (auto& slot : ring.slots) slot.sequence.store(0);
    ring.total.store(0);
}

std::string FormatCall(const Call& call, const CallKind* kinds, size_t kindCount) {
    const CallKind* kind = nullptr;
    for (size_t i = 0; i < kindCount; ++i)
        if (kinds[i].function == call.function) kind = &kinds[i];
    char text[96];
    if (!kind) {
        std::snprintf(text, sizeof text, "#%" PRIu32 "(0x%" PRIX64 ")", call.function, call.argument);
        return text;
    }
    switch (kind->arg) {
    case ArgKind::kNone:
        std::snprintf(text, sizeof text, "%s()", kind->name);
        break;
    case ArgKind::kSigned:
        std::snprintf(text, sizeof text, "%s(%" PRId32 ")", kind->name,
                      static_cast<int32_t>(static_cast<uint32_t>(call.argument)));
        break;
    case ArgKind::kUnsigned:
        std::snprintf(text, sizeof text, "%s(%" PRIu64 ")", kind->name, call.argument);
        break;
    case ArgKind::kHandle:
        std::snprintf(text, sizeof text, "%s(0x%" PRIX64 ")", kind->name, call.argument);
        break;
    }
    return text;
}

std::string FormatCalls(const CallRing& ring, const CallKind* kinds, size_t kindCount) {
    std::string text;
    const uint32_t total = CallTotal(ring);
    for (uint32_t sequence = FirstKeptCall(ring); sequence <= total; ++sequence) {
        Call call;
        if (!ReadCall(ring, sequence, &call)) continue;
        text += FormatCall(call, kinds, kindCount);
        text += '\n';
    }
    return text;
}

int CopyText(const std::string& text, char* buffer, int size) {
    if (buffer && size > 0) {
        const size_t n = text.size() < static_cast<size_t>(size) - 1 ? text.size() : static_cast<size_t>(size) - 1;
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int>(text.size());
}

}  // namespace companion
