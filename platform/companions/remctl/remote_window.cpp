#include "remote_window.h"

#include <string>

#include "dde_server.h"
#include "remote_command.h"
#include "remote_keys.h"

namespace remctl {

namespace {

constexpr UINT kFlushMessage = WM_APP + 1;    // advise what is queued
constexpr UINT kClientsMessage = WM_APP + 2;  // wParam: number of DDE clients

struct Remote {
    DdeServer* server = nullptr;
    NameQueue queue;
    HWND status = nullptr;
    HWND edit = nullptr;
    HWND returnTo = nullptr;  // in front before a click into the edit line activated us
    std::string last;
};

Remote g_remote;
WNDPROC g_buttonProc = nullptr;
HWND g_pressed = nullptr;  // the button held down
WNDPROC g_editProc = nullptr;

void ShowStatus() {
    std::string text = "接続 " + std::to_string(g_remote.server ? g_remote.server->Clients() : 0);
    if (!g_remote.last.empty()) text += "　送信 " + g_remote.last;
    SetWindowTextA(g_remote.status, text.c_str());
}

bool Queue(HWND window, std::string_view name) {
    if (!g_remote.queue.Push(name)) return false;
    PostMessageA(window, kFlushMessage, 0, 0);
    return true;
}

void Flush() {
    std::string name;
    while (g_remote.queue.Pop(name)) {
        if (g_remote.server) g_remote.server->Advise(name);
        g_remote.last = name;
    }
    ShowStatus();
}

// The typed name: sent with activation given back first, so that the viewer sees itself active.
void SendTyped(HWND window) {
    const int length = GetWindowTextLengthA(g_remote.edit);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(g_remote.edit, text.data(), length + 1)));
    const std::string_view name = TrimBlanks(text);
    if (!IsAcceptableName(name)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    if (GetForegroundWindow() == window && g_remote.returnTo && IsWindow(g_remote.returnTo))
        SetForegroundWindow(g_remote.returnTo);
    if (!Queue(window, name)) MessageBeep(MB_ICONWARNING);
}

// Buttons that work without ever taking the focus, which would activate the window.
LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    auto inside = [&] {
        RECT r;
        GetClientRect(button, &r);
        POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        return PtInRect(&r, p) != FALSE;
    };
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        g_pressed = button;
        SetCapture(button);
        SendMessageA(button, BM_SETSTATE, TRUE, 0);
        return 0;
    case WM_MOUSEMOVE:
        if (g_pressed == button) SendMessageA(button, BM_SETSTATE, inside(), 0);
        return 0;
    case WM_LBUTTONUP:
        if (g_pressed == button) {
            const bool clicked = inside();
            g_pressed = nullptr;
            if (GetCapture() == button) ReleaseCapture();
            SendMessageA(button, BM_SETSTATE, FALSE, 0);
            if (clicked)
                SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
        }
        return 0;
    case WM_CAPTURECHANGED:  // taken away while held: no click
        if (g_pressed == button && reinterpret_cast<HWND>(lParam) != button) {
            g_pressed = nullptr;
            SendMessageA(button, BM_SETSTATE, FALSE, 0);
        }
        return 0;
    default:
        return CallWindowProcA(g_buttonProc, button, message, wParam, lParam);
    }
}

// Enter in the edit line sends.
LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        SendTyped(GetParent(edit));
        return 0;
    }
    if (message == WM_CHAR && (wParam == '\r' || wParam == '\n')) return 0;
    return CallWindowProcA(g_editProc, edit, message, wParam, lParam);
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, const Box& box, int id) {
    HWND w = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, box.left, box.top,
                             box.right - box.left, box.bottom - box.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return w;
}

HWND KeyButton(HWND parent, const char* text, const Box& box, int id) {
    HWND b = Child(parent, "BUTTON", text, BS_PUSHBUTTON, box, id);
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonProc)));
    if (!g_buttonProc) g_buttonProc = previous;
    return b;
}

void OnCreate(HWND window) {
    const RemoteLayout layout = LayOutRemote();
    for (size_t i = 0; i < kKeyCount; ++i)
        KeyButton(window, kKeys[i].label, layout.keys[i], kFirstKeyId + static_cast<int>(i));
    g_remote.edit = Child(window, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL, layout.edit, kEditId);
    SendMessageA(g_remote.edit, EM_LIMITTEXT, kMaxNameBytes, 0);
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_remote.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    KeyButton(window, "送信", layout.send, kSendId);
    g_remote.status = Child(window, "STATIC", "", SS_LEFT | SS_NOPREFIX, layout.status, kStatusId);
    ShowStatus();
}

LRESULT OnCopyData(HWND window, const COPYDATASTRUCT* data) {
    if (!data || data->dwData != kCopyDataTag || !data->lpData) return FALSE;
    return Queue(window, std::string_view(static_cast<const char*>(data->lpData), data->cbData));
}

int OnMouseActivate() {
    POINT p;
    GetCursorPos(&p);
    if (WindowFromPoint(p) != g_remote.edit) return MA_NOACTIVATE;
    HWND front = GetForegroundWindow();
    if (front && GetAncestor(g_remote.edit, GA_ROOT) != front) g_remote.returnTo = front;
    return MA_ACTIVATE;
}

LRESULT CALLBACK RemoteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_MOUSEACTIVATE:
        return OnMouseActivate();
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) != BN_CLICKED) break;
        if (id >= kFirstKeyId && id < kFirstKeyId + static_cast<int>(kKeyCount)) {
            if (!Queue(window, kKeys[id - kFirstKeyId].name)) MessageBeep(MB_ICONWARNING);
        } else if (id == kSendId) {
            SendTyped(window);
        }
        return 0;
    }
    case WM_COPYDATA:
        return OnCopyData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case kFlushMessage:
        Flush();
        return 0;
    case kClientsMessage:
        ShowStatus();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND CreateRemoteWindow(HINSTANCE instance, DdeServer* server, int show) {
    g_remote.server = server;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RemoteProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc)) return nullptr;

    const RemoteLayout layout = LayOutRemote();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    // Not topmost: in a Wine desktop a topmost window of another process stops the viewer's
    // windows from being restacked on the screen.
    const DWORD exStyle = 0;
    RECT frame = {0, 0, layout.width, layout.height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    // Beside the screen's lower right corner, like a remote lying by the set: clear of the
    // viewer's windows, which start at the upper left.
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = work.right - width - 8 > work.left ? work.right - width - 8 : work.left;
    const int y = work.bottom - height - 8 > work.top ? work.bottom - height - 8 : work.top;
    HWND window = CreateWindowExA(exStyle, kWindowClass, kWindowTitle, style, x, y, width, height, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) return nullptr;
    if (server) server->NotifyClients(window, kClientsMessage);
    // Shown, but the window in front keeps the activation.
    ShowWindow(window, show == SW_SHOWMINIMIZED || show == SW_MINIMIZE || show == SW_SHOWMINNOACTIVE
                           ? SW_SHOWMINNOACTIVE
                           : SW_SHOWNOACTIVATE);
    return window;
}

}  // namespace remctl
