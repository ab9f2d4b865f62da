// KVSETUP.EXE: the stand-in for the TV setup program. A dialog of class "KIVOSETUP" that edits
// the viewer's presets and picture controls in its "ZORTV.INI" and tells the tuner panel.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "resource.h"
#include "setup_values.h"

namespace {

constexpr char kSection[] = "ZORTV";
constexpr int kPresets = 12;
constexpr WPARAM kPresetsChanged = 713;
constexpr WPARAM kPictureChanged = 712;

std::string g_ini;  // the viewer's settings file, in this program's folder

std::string ReadKey(const char* key) {
    char text[64] = {};
    GetPrivateProfileStringA(kSection, key, "", text, sizeof text, g_ini.c_str());
    return text;
}

std::string FieldText(HWND dialog, int id) {
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void ShowValue(HWND dialog, int index) {
    const LRESULT pos = SendDlgItemMessageA(dialog, IDC_SLIDER0 + index, TBM_GETPOS, 0, 0);
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(pos));
    SetDlgItemTextA(dialog, IDC_VALUE0 + index, text);
}

// The preset rows: number, channel field, name field.
void MakeRows(HWND dialog) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int i = 0; i < kPresets; ++i) {
        RECT number{6, 17 + i * 14, 22, 26 + i * 14}, channel{24, 16 + i * 14, 54, 28 + i * 14},
            name{58, 16 + i * 14, 138, 28 + i * 14};
        for (RECT* r : {&number, &channel, &name}) MapDialogRect(dialog, r);
        char label[8];
        std::snprintf(label, sizeof label, "%d", i + 1);
        HWND controls[] = {
            CreateWindowExA(0, "STATIC", label, WS_CHILD | WS_VISIBLE | SS_RIGHT, number.left, number.top,
                            number.right - number.left, number.bottom - number.top, dialog, nullptr, instance, nullptr),
            CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                            channel.left, channel.top, channel.right - channel.left, channel.bottom - channel.top,
                            dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CHANNEL0 + i)), instance, nullptr),
            CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                            name.left, name.top, name.right - name.left, name.bottom - name.top, dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_NAME0 + i)), instance, nullptr)};
        for (HWND c : controls) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageA(controls[1], EM_LIMITTEXT, 3, 0);
        SendMessageA(controls[2], EM_LIMITTEXT, 12, 0);
    }
}

void Load(HWND dialog) {
    for (int i = 0; i < kPresets; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "Channel%d", i + 1);
        const SetupPreset p = ParseSetupPreset(ReadKey(key));
        SetDlgItemTextA(dialog, IDC_CHANNEL0 + i, ChannelLabel(p.channel).c_str());
        SetDlgItemTextA(dialog, IDC_NAME0 + i, p.name.c_str());
    }
    for (int i = 0; i < 4; ++i) {
        const PictureRange& r = kPictureRanges[i];
        const int value = static_cast<int>(GetPrivateProfileIntA(kSection, r.key, r.fallback, g_ini.c_str()));
        SendDlgItemMessageA(dialog, IDC_SLIDER0 + i, TBM_SETRANGE, FALSE, MAKELPARAM(r.low, r.high));
        SendDlgItemMessageA(dialog, IDC_SLIDER0 + i, TBM_SETPOS, TRUE, ClampPicture(r, value));
        ShowValue(dialog, i);
    }
}

// Writes every key; false (with the field in focus) when a channel field holds no channel.
bool Save(HWND dialog) {
    int32_t channels[kPresets];
    for (int i = 0; i < kPresets; ++i) {
        channels[i] = ParseChannelField(FieldText(dialog, IDC_CHANNEL0 + i));
        if (channels[i] < 0) {
            MessageBoxA(dialog, "チャンネルは 1～88 または C13～C38 で入力してください。", "ＫＩＶＯセットアップ",
                        MB_OK | MB_ICONEXCLAMATION);
            SetFocus(GetDlgItem(dialog, IDC_CHANNEL0 + i));
            return false;
        }
    }
    for (int i = 0; i < kPresets; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "Channel%d", i + 1);
        const std::string value = FormatSetupPreset(channels[i], FieldText(dialog, IDC_NAME0 + i));
        WritePrivateProfileStringA(kSection, key, value.c_str(), g_ini.c_str());
    }
    for (int i = 0; i < 4; ++i) {
        const PictureRange& r = kPictureRanges[i];
        const int32_t value =
            ClampPicture(r, static_cast<int32_t>(SendDlgItemMessageA(dialog, IDC_SLIDER0 + i, TBM_GETPOS, 0, 0)));
        char text[16];
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
        WritePrivateProfileStringA(kSection, r.key, text, g_ini.c_str());
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, g_ini.c_str());  // flush
    // Posted: the panel's handlers may show messages of their own.
    if (HWND panel = FindWindowA(nullptr, "KIVOTUNER2")) {
        PostMessageA(panel, WM_COMMAND, kPresetsChanged, 0);
        PostMessageA(panel, WM_COMMAND, kPictureChanged, 0);
    }
    return true;
}

INT_PTR CALLBACK SetupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        MakeRows(dialog);
        Load(dialog);
        return TRUE;
    case WM_HSCROLL:
        for (int i = 0; i < 4; ++i) ShowValue(dialog, i);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            if (Save(dialog)) DestroyWindow(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n);
    folder.resize(folder.find_last_of('\\') + 1);
    g_ini = folder + "ZORTV.INI";

    InitCommonControls();  // the trackbar; the Windows 95 form of the call
    // The dialog is of the program's own class, so that the viewer can find it.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefDlgProcA;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "KIVOSETUP";
    if (!RegisterClassA(&wc)) return 1;
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, SetupProc, 0);
    if (!dialog) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
