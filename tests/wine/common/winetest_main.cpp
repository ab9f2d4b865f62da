// The entry point of every Wine test: GoogleTest, plus a screenshot of the screen when a test
// fails, saved beside the program folder in "screenshots".
#include <gtest/gtest.h>

#include "winetest.h"

namespace {

class ScreenshotOnFailure : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo& info) override {
        if (!info.result()->Failed()) return;
        std::string dir = kivo::wt::ProgramFolder() + "\\..\\screenshots";
        CreateDirectoryA(dir.c_str(), nullptr);
        std::string file = dir + "\\" + info.test_suite_name() + "." + info.name() + ".bmp";
        for (auto& ch : file)
            if (ch == '/') ch = '_';
        if (kivo::wt::SaveScreenshot(file)) std::printf("screenshot: %s\n", file.c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Errors of the test process itself must not stop the run with a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
    int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    return result;
}
