// "box": a message box, answers with the button pressed. "window": a window of class
// "KivoHarness" titled "ハーネス" that counts clicks in its title until closed.
#include <windows.h>

#include <cstring>

namespace {

int g_clicks = 0;

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_LBUTTONUP) {
        ++g_clicks;
        char title[64];
        wsprintfA(title, "clicks %d at %d,%d", g_clicks, LOWORD(lp), HIWORD(lp));
        SetWindowTextA(w, title);
        return 0;
    }
    if (m == WM_DESTROY) {
        PostQuitMessage(g_clicks);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmd, int) {
    if (std::strstr(cmd, "box")) return MessageBoxA(nullptr, "こんにちは、テレビ", "ハーネス", MB_OKCANCEL | MB_ICONERROR);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "KivoHarness";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    CreateWindowA("KivoHarness", "ハーネス", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                  nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return static_cast<int>(msg.wParam);
}
