#include "avi_save.h"

#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <string>
#include <vector>

#include "avi_save_rules.h"
#include "deck_rules.h"
#include "framework.h"
#include "main_wnd.h"
#include "settings.h"
#include "tuner_panel.h"
#include "viewer_state.h"
#include "viewer_util.h"

namespace {

struct Compressor {
    HIC handle;  // open in query mode; null for "do not recompress"
    CompressorEntry entry;
};

std::vector<Compressor> g_compressors;
bool g_listBuilt = false;
int32_t g_selected = -1;

// Progress of a recompression.
HWND g_progress = nullptr;
bool g_cancel = false;
int32_t g_lastPercent = 0;
HBRUSH g_barBrush = nullptr;

HWND MainHandle() { return CWnd::SafeHandle(g_viewer.mainWindow); }

void BuildCompressorList() {
    HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    g_selected = -1;
    char codec[32] = {};
    ReadSettingText("CODEC", "!!!!", codec, sizeof codec);
    const uint32_t preferred = PreferredHandler(codec);
    g_compressors.push_back(Compressor{nullptr, CompressorEntry{kNoRecompression, "再圧縮しない"}});
    BITMAPINFOHEADER probe{};
    probe.biSize = sizeof probe;
    probe.biWidth = 160;
    probe.biHeight = 120;
    probe.biPlanes = 1;
    probe.biBitCount = 16;
    probe.biCompression = BI_RGB;
    probe.biSizeImage = 160 * 120 * 2;
    ICINFO info{};
    for (DWORD i = 0; ICInfo(0, i, &info); ++i) {
        HIC h = ICOpen(info.fccType, info.fccHandler, ICMODE_QUERY);
        if (!h) continue;
        ICINFO details{};
        details.dwSize = sizeof details;
        ICGetInfo(h, &details, sizeof details);
        const bool video = info.fccType == ICTYPE_VIDEO || details.fccType == ICTYPE_VIDEO;
        if (!video || ICCompressQuery(h, &probe, nullptr) != ICERR_OK) {
            ICClose(h);
            continue;
        }
        bool known = false;
        for (const Compressor& c : g_compressors) known = known || c.entry.handler == details.fccHandler;
        if (known) {
            ICClose(h);
            continue;
        }
        char name[128] = {};
        WideCharToMultiByte(CP_ACP, 0, details.szDescription, -1, name, sizeof name, nullptr, nullptr);
        g_compressors.push_back(Compressor{h, CompressorEntry{details.fccHandler, name}});
    }
    std::vector<CompressorEntry> entries;
    for (const Compressor& c : g_compressors) entries.push_back(c.entry);
    g_selected = ChooseCompressor(entries, preferred);
    g_listBuilt = true;
    SetCursor(old ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
}

UINT_PTR CALLBACK SaveTemplateHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (!g_listBuilt) BuildCompressorList();
        HWND list = GetDlgItem(dialog, kCompressorList);
        for (const Compressor& c : g_compressors)
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.entry.name.c_str()));
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(g_selected), 0);
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        const auto* note = reinterpret_cast<const OFNOTIFYA*>(lParam);
        if (note->hdr.code == CDN_FILEOK) {
            const LRESULT chosen = SendMessageA(GetDlgItem(dialog, kCompressorList), CB_GETCURSEL, 0, 0);
            if (chosen >= 0 && chosen < static_cast<LRESULT>(g_compressors.size())) g_selected = int32_t(chosen);
        }
    }
    return 0;
}

LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT frame{kProgressFrame.left, kProgressFrame.top, kProgressFrame.right, kProgressFrame.bottom};
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(window, &ps);
        return 0;
    }
    case WM_COMMAND:
        g_cancel = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ShowProgress() {
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ProgressProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_WAIT);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "Saving";
        registered = RegisterClassA(&wc) != 0;
    }
    const int x = (g_viewer.screenWidth - 326) / 2, y = (g_viewer.screenHeight - 110) / 2 * 4 / 5;
    HWND owner = CWnd::SafeHandle(reinterpret_cast<CWnd*>(g_viewer.controlFrame));
    g_progress = CreateWindowExA(WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME, "Saving", "SAVEAVI",
                                 WS_POPUP | WS_VISIBLE | WS_CAPTION, x, y, 326, 110, owner, nullptr, instance, nullptr);
    if (!g_progress) return;
    if (g_viewer.pinnedOnTop) {
        SetWindowPos(g_progress, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowPos(g_progress, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    CreateWindowA("BUTTON", "中止", WS_CHILD | WS_VISIBLE, 240, 40, 64, 24, g_progress,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(15)), instance, nullptr);
    CreateWindowA("STATIC", "ＡＶＩファイルを保存中です。", WS_CHILD | WS_VISIBLE, 12, 12, 270, 18, g_progress,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(16)), instance, nullptr);
    ShowWindow(g_progress, SW_SHOW);
    UpdateWindow(g_progress);
}

BOOL CALLBACK SaveProgress(int percent) {
    DrainMessages();
    if (g_cancel) return static_cast<BOOL>(kAviErrUserAbort);
    if (percent == g_lastPercent) return 0;
    g_lastPercent = percent;
    if (g_progress) {
        const BarRect fill = ProgressFill(percent);
        RECT r{fill.left, fill.top, fill.right, fill.bottom};
        HDC dc = GetDC(g_progress);
        FillRect(dc, &r, g_barBrush);
        ReleaseDC(g_progress, dc);
    }
    return 0;
}

std::string Absolute(const std::string& path) {
    char full[MAX_PATH] = {};
    char* name = nullptr;
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, &name);
    return n > 0 && n < MAX_PATH ? std::string(full) : path;
}

}  // namespace

void FreeCompressorList() {
    for (Compressor& c : g_compressors)
        if (c.handle) ICClose(c.handle);
    g_compressors.clear();
    g_listBuilt = false;
    g_selected = -1;
}

void LoadClip() {
    CFileDialog dialog(true, "avi", "ZORTVCAP.AVI", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "(VFW) *.avi |*.avi|",
                       MainHandle());
    if (dialog.DoModal() != IDOK) return;
    std::snprintf(g_viewer.clipPath, sizeof g_viewer.clipPath, "%s", dialog.GetPathName().c_str());
    CMainWnd* main = CMainWnd::Instance();
    g_viewer.clipPresent = main && main->OpenClip() == 0 ? 1 : 0;
}

void SaveClip() {
    if (CTuner* tuner = CTuner::Instance()) tuner->ReleaseFreeze();
    AVIFileInit();
    PAVIFILE file = nullptr;
    PAVISTREAM video = nullptr, audio = nullptr;
    auto release = [&]() {
        if (audio) AVIStreamRelease(audio);
        if (video) AVIStreamRelease(video);
        if (file) AVIFileRelease(file);
        audio = video = nullptr;
        file = nullptr;
        AVIFileExit();
    };
    BITMAPINFOHEADER videoFormat{};
    WAVEFORMAT audioFormat{};
    LONG videoSize = sizeof videoFormat, audioSize = sizeof audioFormat;
    // The formats are read only as far as the records hold; a longer one (the capture format's
    // 44 bytes, WAVEFORMATEX) is cut, which the service reports as "buffer too small".
    auto readFormat = [](PAVISTREAM stream, void* format, LONG* size) {
        const HRESULT r = AVIStreamReadFormat(stream, 0, format, size);
        return r == 0 || r == AVIERR_BUFFERTOOSMALL;
    };
    if (AVIFileOpenA(&file, g_viewer.clipPath, OF_READ, nullptr) != 0 ||
        AVIFileGetStream(file, &video, streamtypeVIDEO, 0) != 0 ||
        AVIFileGetStream(file, &audio, streamtypeAUDIO, 0) != 0 || !readFormat(video, &videoFormat, &videoSize) ||
        !readFormat(audio, &audioFormat, &audioSize)) {
        release();
        return;
    }

    CFileDialog dialog(false, "avi", "*.avi", OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLETEMPLATE,
                       "(VFW) *.avi |*.avi||", MainHandle());
    dialog.SetTemplate(MAKEINTRESOURCEA(kSaveTemplate), SaveTemplateHook);
    if (dialog.DoModal() != IDOK) {
        release();
        return;
    }
    const std::string chosen = Absolute(dialog.GetPathName());
    const bool same = SameNameIgnoringCase(chosen, Absolute(g_viewer.clipPath));
    const std::string output = same ? WithFileName(chosen, "TVCAP$$$.AVI") : chosen;
    if (g_selected < 0 || g_selected >= static_cast<int32_t>(g_compressors.size())) g_selected = 0;
    const Compressor chosenCompressor = g_compressors.empty() ? Compressor{nullptr, {kNoRecompression, ""}}
                                                              : g_compressors[g_selected];
    g_cancel = false;
    g_lastPercent = 0;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));

    if (chosenCompressor.entry.handler == kNoRecompression) {
        release();
        if (!same && !CopyFileA(g_viewer.clipPath, chosen.c_str(), FALSE))
            ShowViewerMessage("ＡＶＩファイルの保存に失敗しました。", MB_TASKMODAL | MB_ICONERROR);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return;
    }

    ShowProgress();
    g_barBrush = CreateSolidBrush(RGB(0, 0, 127));
    AVICOMPRESSOPTIONS videoOptions{};
    videoOptions.fccType = streamtypeVIDEO;
    videoOptions.fccHandler = chosenCompressor.entry.handler;
    videoOptions.dwKeyFrameEvery = static_cast<DWORD>(ICGetDefaultKeyFrameRate(chosenCompressor.handle));
    videoOptions.dwQuality = static_cast<DWORD>(ICGetDefaultQuality(chosenCompressor.handle));
    videoOptions.dwFlags = AVICOMPRESSF_KEYFRAMES;
    videoOptions.lpFormat = &videoFormat;
    videoOptions.cbFormat = sizeof videoFormat;
    AVICOMPRESSOPTIONS audioOptions{};
    audioOptions.fccType = streamtypeAUDIO;
    audioOptions.dwFlags = AVICOMPRESSF_VALID;
    audioOptions.lpFormat = &audioFormat;
    audioOptions.cbFormat = sizeof audioFormat;
    const HRESULT result = AVISaveA(output.c_str(), nullptr, SaveProgress, 2, video, &videoOptions, audio, &audioOptions);
    release();
    if (g_progress) DestroyWindow(g_progress);
    g_progress = nullptr;
    DeleteObject(g_barBrush);
    g_barBrush = nullptr;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));

    if (result == 0) {
        if (same) {
            DeleteFileA(g_viewer.clipPath);
            MoveFileA(output.c_str(), g_viewer.clipPath);
        }
        std::snprintf(g_viewer.clipPath, sizeof g_viewer.clipPath, "%s", chosen.c_str());
        return;
    }
    DeleteFileA(output.c_str());
    const std::string message = SaveFailureMessage(static_cast<uint32_t>(result));
    if (!message.empty()) ShowViewerMessage(message.c_str(), MB_TASKMODAL | MB_ICONERROR);
}
