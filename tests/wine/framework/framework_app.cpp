// The application framework seen from a program built on it. The command line picks a case:
//   dialog  a modal dialog from template 100; exit code: what DoModal answered, +1000 when
//           OnInitDialog ran (it writes "ready" into control 101)
//   open    the common open dialog; exit code: what DoModal answered
//   memory  start-up runs out of memory: the framework reports it and start-up fails
//   window  a frame window "FrameTest" whose destruction ends the message loop; exit code 7
#include <cstring>

#include "framework.h"

namespace {

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(100, nullptr) {}
    bool initialised = false;

protected:
    BOOL OnInitDialog() override {
        initialised = true;
        SetDlgItemTextA(m_hWnd, 101, "ready");
        return TRUE;
    }
};

class TestFrame : public CFrameWnd {
protected:
    void PostNcDestroy() override { delete this; }
};

class TestApp : public CWinApp {
public:
    BOOL InitInstance() override {
        const char* cmd = GetCommandLineA();
        if (std::strstr(cmd, "dialog")) {
            TestDialog dialog;
            INT_PTR result = dialog.DoModal();
            exitCode_ = static_cast<int>(result) + (dialog.initialised ? 1000 : 0);
            return FALSE;
        }
        if (std::strstr(cmd, "open")) {
            CFileDialog open(true, "avi", nullptr, OFN_HIDEREADONLY, "AVI|*.avi|All|*.*||", nullptr);
            exitCode_ = static_cast<int>(open.DoModal());
            return FALSE;
        }
        if (std::strstr(cmd, "memory")) ThrowMemoryException();
        if (std::strstr(cmd, "window")) {
            CWnd::RegisterFrameworkClass("FrameTest", 0, nullptr, LoadCursorA(nullptr, IDC_ARROW),
                                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
            auto* frame = new TestFrame;
            const RECT rect = {10, 10, 210, 110};
            if (!frame->Create("FrameTest", "FrameTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rect)) return FALSE;
            m_pMainWnd = frame;
            exitCode_ = 7;
            return TRUE;
        }
        return FALSE;
    }
    int ExitInstance() override { return exitCode_; }

private:
    int exitCode_ = 0;
};

TestApp theApp;

}  // namespace
