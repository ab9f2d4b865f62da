// The call record of the hook and thunk stand-ins: text form, the ring of the newest calls,
// reset, copying into a caller's buffer, and writers in several threads at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

#include "call_log.h"

using namespace companion;

namespace {

const CallKind kKinds[] = {
    {1, "TvInstallHook", ArgKind::kHandle},
    {2, "TvRemoveHook", ArgKind::kNone},
    {3, "SetStartDos", ArgKind::kSigned},
    {4, "SetDosTvInstance", ArgKind::kUnsigned},
};

std::string Text(const CallRing& ring) { return FormatCalls(ring, kKinds, std::size(kKinds)); }

TEST(CallLog, RecordsCallsInOrderWithTheirArgumentsAndCallers) {
    auto ring = std::make_unique<CallRing>();
    RecordCall(*ring, 100, 1, 0x140000000ull);
    RecordCall(*ring, 100, 3, static_cast<uint32_t>(-1));
    RecordCall(*ring, 200, 4, 4294967295u);
    RecordCall(*ring, 200, 2, 0);
    RecordCall(*ring, 200, 9, 5);
    EXPECT_EQ(
        "TvInstallHook(0x140000000)\nSetStartDos(-1)\nSetDosTvInstance(4294967295)\nTvRemoveHook()\n"
        "#9(0x5)\n",
        Text(*ring));
    EXPECT_EQ(5u, CallTotal(*ring));
    Call call{};
    ASSERT_TRUE(ReadCall(*ring, 3, &call));
    EXPECT_EQ(3u, call.sequence);
    EXPECT_EQ(200u, call.process);
    EXPECT_EQ(4u, call.function);
    EXPECT_EQ(4294967295u, call.argument);
    EXPECT_FALSE(ReadCall(*ring, 0, &call));
    EXPECT_FALSE(ReadCall(*ring, 6, &call));
}

TEST(CallLog, KeepsTheNewestCallsAndForgetsEverythingOnReset) {
    auto ring = std::make_unique<CallRing>();
    const uint32_t calls = CallRing::kCapacity + 2;
    for (uint32_t i = 1; i <= calls; ++i) RecordCall(*ring, 7, 3, i);
    EXPECT_EQ(calls, CallTotal(*ring));
    EXPECT_EQ(3u, FirstKeptCall(*ring));
    Call call{};
    EXPECT_FALSE(ReadCall(*ring, 2, &call));
    ASSERT_TRUE(ReadCall(*ring, 3, &call));
    EXPECT_EQ(3u, call.argument);
    ASSERT_TRUE(ReadCall(*ring, calls, &call));
    EXPECT_EQ(calls, call.argument);
    const std::string text = Text(*ring);
    EXPECT_EQ(0u, text.find("SetStartDos(3)\n"));
    EXPECT_EQ(CallRing::kCapacity, static_cast<uint32_t>(std::count(text.begin(), text.end(), '\n')));

    ResetCalls(*ring);
    EXPECT_EQ(0u, CallTotal(*ring));
    EXPECT_EQ("", Text(*ring));
    EXPECT_FALSE(ReadCall(*ring, 1, &call));
    RecordCall(*ring, 8, 2, 0);
    ASSERT_TRUE(ReadCall(*ring, 1, &call));
    EXPECT_EQ(8u, call.process);
    EXPECT_EQ("TvRemoveHook()\n", Text(*ring));
}

TEST(CallLog, CopiesIntoACallersBufferAlwaysTerminated) {
    const std::string text = "SetStartDos(1)\n";
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(15, CopyText(text, buffer, sizeof buffer));
    EXPECT_STREQ("SetStar", buffer);
    EXPECT_EQ(15, CopyText(text, nullptr, 0));
    buffer[0] = 'x';
    EXPECT_EQ(15, CopyText(text, buffer, 0));
    EXPECT_EQ('x', buffer[0]);
    EXPECT_EQ(15, CopyText(text, buffer, 1));
    EXPECT_EQ('\0', buffer[0]);
    char whole[32];
    EXPECT_EQ(15, CopyText(text, whole, sizeof whole));
    EXPECT_EQ(text, whole);
}

TEST(CallLog, WritersInSeveralThreadsLoseNoCallAndTearNone) {
    auto ring = std::make_unique<CallRing>();
    constexpr uint32_t kThreads = 4, kEach = 2000;
    std::vector<std::thread> writers;
    for (uint32_t t = 1; t <= kThreads; ++t)
        writers.emplace_back([&ring, t] {
            for (uint32_t i = 0; i < kEach; ++i) RecordCall(*ring, t, t, (uint64_t{t} << 32) | i);
        });
    for (auto& w : writers) w.join();
    EXPECT_EQ(kThreads * kEach, CallTotal(*ring));
    uint32_t kept = 0;
    for (uint32_t s = FirstKeptCall(*ring); s <= CallTotal(*ring); ++s) {
        Call call{};
        ASSERT_TRUE(ReadCall(*ring, s, &call)) << s;
        EXPECT_EQ(call.process, call.function);
        EXPECT_EQ(call.process, static_cast<uint32_t>(call.argument >> 32));
        ++kept;
    }
    EXPECT_EQ(CallRing::kCapacity, kept);
}

}  // namespace
