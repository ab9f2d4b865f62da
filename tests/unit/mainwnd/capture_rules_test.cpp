#include <gtest/gtest.h>

#include <cstring>

#include "capture_rules.h"

namespace {

TEST(CaptureRules, TheFormatRecordFieldByField) {
    const auto r = CaptureFormatRecord(240, 180, 800, 16);
    const uint8_t want[44] = {44, 0, 0, 0, 240, 0, 0, 0, 180, 0, 0, 0, 1, 0, 12, 0, 't', 'y', '0', 'n',
                              0x20, 0xFD, 0, 0,  // 360 x 180 = 64,800
                              0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0};
    EXPECT_EQ(0, std::memcmp(want, r.data(), 44));
    EXPECT_EQ(28, CaptureFormatRecord(240, 180, 1024, 16)[42]) << "1,024 wide at 16 bits";
    EXPECT_EQ(12, CaptureFormatRecord(240, 180, 1024, 32)[42]);
    EXPECT_EQ(12, CaptureFormatRecord(240, 180, 800, 16)[42]);
    // Rows padded to 32 bits: 122 pixels of 12 bits are 183 bytes, padded to 184.
    EXPECT_EQ(184u * 90, CaptureFrameBytes(122, 90));
    EXPECT_EQ(115200u, CaptureFrameBytes(320, 240));
    EXPECT_EQ(0u, CaptureFrameBytes(0, 240));
}

TEST(CaptureRules, TheBoardsDriverFirstElseTheFirstThatAnswered) {
    const char* none[10] = {};
    EXPECT_EQ(-1, ChooseCaptureDriver(none));
    const char* others[10] = {"Some Camera", "Other Card"};
    EXPECT_EQ(0, ChooseCaptureDriver(others));
    const char* board[10] = {"Some Camera", "qx-7700 MA13/ma16/MT20 video capture driver(VANTOR)"};
    EXPECT_EQ(1, ChooseCaptureDriver(board)) << "letter case does not matter";
    const char* last[10] = {"A", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            kBoardDriverName};
    EXPECT_EQ(9, ChooseCaptureDriver(last));
    const char* prefix[10] = {"QX-7700 Ma13/Ma16/Mt20 Video Capture Driver"};
    EXPECT_EQ(0, ChooseCaptureDriver(prefix)) << "only the whole name counts, else the first";
}

DriveSpace Fixed(uint64_t bytes) { return DriveSpace{true, bytes}; }

TEST(CaptureRules, TheDriveWithTheMostUsableBytesTakesTheRecording) {
    EXPECT_EQ(0u, UsableCaptureBytes(40000001)) << "its lowest bit cleared, 40,000,000 is not more";
    EXPECT_EQ(1u, UsableCaptureBytes(40000002));
    EXPECT_EQ(10000000u, UsableCaptureBytes(60000000));
    EXPECT_EQ(0xFFFFFFFFu / 2 - 20000000u, UsableCaptureBytes(80000000000ull)) << "kept to 32 bits, not wrapped";

    DriveSpace drives[26] = {};
    drives[2] = Fixed(60000000);
    drives[3] = Fixed(100000000);
    DiskChoice c = ChooseCaptureDrive(drives, "", 0, "C:\\KIVO\\", 0, 0);
    EXPECT_TRUE(c.changed);
    EXPECT_EQ(3, c.driveIndex);
    EXPECT_EQ(30000000u, c.usableBytes);
    EXPECT_EQ("D:\\ZORTVCAP.AVI", c.captureFilePath);
    c = ChooseCaptureDrive(drives, "", 0, "d:\\TV\\", 0, 0);
    EXPECT_EQ("d:\\TV\\ZORTVCAP.AVI", c.captureFilePath) << "the program folder when it is on that drive";

    // The last recording is deleted before the next one: its drive counts it as free.
    c = ChooseCaptureDrive(drives, "C:\\KIVO\\ZORTVCAP.AVI", 50000000, "C:\\KIVO\\", 0, 0);
    EXPECT_EQ(2, c.driveIndex);
    EXPECT_EQ(35000000u, c.usableBytes);
    EXPECT_EQ("C:\\KIVO\\ZORTVCAP.AVI", c.captureFilePath);

    // Unchanged since the last run of the rule: nothing to do.
    EXPECT_FALSE(ChooseCaptureDrive(drives, "", 0, "C:\\KIVO\\", 3, 30000000).changed);

    // A tie keeps the earlier letter; removable drives and drives without room never win.
    DriveSpace tie[26] = {};
    tie[4] = Fixed(90000000);
    tie[5] = Fixed(90000000);
    tie[6] = DriveSpace{false, 900000000};
    tie[7] = Fixed(30000000);
    EXPECT_EQ(4, ChooseCaptureDrive(tie, "", 0, "C:\\", 0, 0).driveIndex);
    DriveSpace empty[26] = {};
    empty[2] = Fixed(1000);
    c = ChooseCaptureDrive(empty, "", 0, "C:\\", 7, 5);
    EXPECT_TRUE(c.changed);
    EXPECT_EQ(0, c.driveIndex) << "none has room: drive A with nothing";
    EXPECT_EQ(0u, c.usableBytes);
    EXPECT_EQ("A:\\ZORTVCAP.AVI", c.captureFilePath);
}

}  // namespace
