// REMCTL.EXE's portable parts: the layout of the remote's keys, the command line, and
// the queue of names waiting to be advised.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remote_command.h"
#include "remote_keys.h"

using namespace remctl;

namespace {

TEST(RemoteKeys, LayoutKeepsEveryControlInsideTheWindowAndApart) {
    const RemoteLayout l = LayOutRemote();
    std::vector<Box> boxes(std::begin(l.keys), std::end(l.keys));
    boxes.push_back(l.edit);
    boxes.push_back(l.send);
    boxes.push_back(l.status);
    for (size_t i = 0; i < boxes.size(); ++i) {
        const Box& b = boxes[i];
        EXPECT_GE(b.left, 0) << i;
        EXPECT_GE(b.top, 0) << i;
        EXPECT_LE(b.right, l.width) << i;
        EXPECT_LE(b.bottom, l.height) << i;
        EXPECT_GT(b.right - b.left, 20) << i;
        EXPECT_GE(b.bottom - b.top, 18) << i;
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            const Box& c = boxes[j];
            const bool apart = b.right <= c.left || c.right <= b.left || b.bottom <= c.top || c.bottom <= b.top;
            EXPECT_TRUE(apart) << i << " overlaps " << j;
        }
    }
    EXPECT_LT(l.edit.right, l.send.left);
    EXPECT_EQ(l.edit.top, l.send.top);
}

TEST(RemoteCommandLine, ReadsTheThreeForms) {
    EXPECT_EQ(Action::kResident, ParseCommandLine("").action);
    EXPECT_EQ(Action::kResident, ParseCommandLine(" \t ").action);
    EXPECT_EQ(Action::kQuit, ParseCommandLine("/quit").action);
    EXPECT_EQ(Action::kQuit, ParseCommandLine("  -QUIT  ").action);

    Invocation send = ParseCommandLine("/send TV_CH_UP");
    EXPECT_EQ(Action::kSend, send.action);
    EXPECT_EQ("TV_CH_UP", send.name);
    EXPECT_EQ("TV_SIZE", ParseCommandLine("-Send   TV_SIZE \t").name);
    send = ParseCommandLine("/send \"VEXT,CH 3 \"");
    EXPECT_EQ(Action::kSend, send.action);
    EXPECT_EQ("VEXT,CH 3 ", send.name);
    EXPECT_EQ("a b", ParseCommandLine("/send a b").name);
}

TEST(RemoteCommandLine, RefusesWhatItDoesNotUnderstand) {
    for (const char* line : {"/send", "/send   ", "/send \"\"", "/send \"TV_SIZE", "/sendTV_SIZE", "/quit now",
                             "/help", "TV_CH_UP", "\"/send\" X"})
        EXPECT_EQ(Action::kUsage, ParseCommandLine(line).action) << line;
    EXPECT_EQ(Action::kSend, ParseCommandLine("/send " + std::string(kMaxNameBytes, 'A')).action);
    EXPECT_EQ(Action::kUsage, ParseCommandLine("/send " + std::string(kMaxNameBytes + 1, 'A')).action);
}

TEST(RemoteCommandLine, KeepsShiftJisNamesByteForByte) {
    // "表示" has the trail byte 0x5C (a backslash in ASCII); "チャンネル" has none of the blanks.
    const Invocation a = ParseCommandLine("/send 表示");
    EXPECT_EQ(Action::kSend, a.action);
    EXPECT_EQ("\x95\x5C\x8E\xA6", a.name);
    EXPECT_EQ("\x83\x60\x83\x83\x83\x93\x83\x6C\x83\x8B", ParseCommandLine("/send \"チャンネル\"").name);
}

TEST(RemoteNames, TrimsAndChecksTypedNames) {
    EXPECT_EQ("VCMD_TV_RED", TrimBlanks("  VCMD_TV_RED\r\n"));
    EXPECT_EQ("", TrimBlanks(" \t"));
    EXPECT_TRUE(IsAcceptableName("x"));
    EXPECT_FALSE(IsAcceptableName(""));
    EXPECT_FALSE(IsAcceptableName(std::string("TV\0SIZE", 7)));
    EXPECT_FALSE(IsAcceptableName(std::string(kMaxNameBytes + 1, 'x')));
}

TEST(RemoteNames, QueueGivesNamesBackInOrderAndHasABound) {
    NameQueue q;
    EXPECT_TRUE(q.Push("TV_CH_UP"));
    EXPECT_TRUE(q.Push("TV_CH_DOWN"));
    EXPECT_FALSE(q.Push(""));
    EXPECT_FALSE(q.Push(std::string("A\0B", 3)));
    EXPECT_EQ(2u, q.Size());
    std::string name;
    ASSERT_TRUE(q.Pop(name));
    EXPECT_EQ("TV_CH_UP", name);
    ASSERT_TRUE(q.Pop(name));
    EXPECT_EQ("TV_CH_DOWN", name);
    EXPECT_FALSE(q.Pop(name));

    for (size_t i = 0; i < NameQueue::kMaxPending; ++i) EXPECT_TRUE(q.Push("N" + std::to_string(i)));
    EXPECT_FALSE(q.Push("one too many"));
    ASSERT_TRUE(q.Pop(name));
    EXPECT_EQ("N0", name);
    EXPECT_TRUE(q.Push("room again"));
}

}  // namespace
