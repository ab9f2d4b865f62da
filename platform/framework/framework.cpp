#include "framework.h"

#include <commctrl.h>

#include <unordered_map>

namespace {

// Window objects by handle; the one GUI thread uses it.
std::unordered_map<HWND, CWnd*>& Objects() {
    static std::unordered_map<HWND, CWnd*> objects;
    return objects;
}

// The object whose window is being created: its first messages arrive before CreateWindowEx returns.
thread_local CWnd* t_creating = nullptr;

}  // namespace

// CMemoryException -------------------------------------------------------------------------

void CMemoryException::ReportError() const {
    MessageBoxA(nullptr, "メモリが不足しています。", nullptr, MB_TASKMODAL | MB_ICONERROR | MB_OK);
}

void ThrowMemoryException() { throw CMemoryException(); }

// CWnd -----------------------------------------------------------------------------------

CWnd::~CWnd() {
    if (m_hWnd) {
        HWND window = m_hWnd;
        Detach();
        ::DestroyWindow(window);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    auto it = Objects().find(window);
    return it == Objects().end() ? nullptr : it->second;
}

void CWnd::Attach(HWND window) {
    m_hWnd = window;
    Objects()[window] = this;
}

void CWnd::Detach() {
    if (m_hWnd) Objects().erase(m_hWnd);
    m_hWnd = nullptr;
}

bool CWnd::RegisterFrameworkClass(const char* className, UINT style, HICON icon, HCURSOR cursor,
                                  HBRUSH background) {
    WNDCLASSA wc = {};
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(instance, className, &wc)) return true;
    wc.style = style;
    wc.lpfnWndProc = FrameworkWndProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassA(&wc) != 0;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu, void* param) {
    CWnd* outer = t_creating;
    t_creating = this;
    HWND window = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                  parent, menu, GetModuleHandleA(nullptr), param);
    t_creating = outer;
    if (!window) {
        Detach();
        return FALSE;
    }
    // A standard control's class does not use our procedure: subclass it.
    if (!m_hWnd) {
        Attach(window);
        m_superProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkWndProc)));
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_superProc) return CallWindowProcA(m_superProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

static POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam));
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_COMMAND: return OnCommand(wParam, lParam) ? 0 : Default();
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_SYSCOMMAND: OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;
    case WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); return 0;
    case WM_WINDOWPOSCHANGED: OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam)); return 0;
    case WM_ACTIVATEAPP: OnActivateApp(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam)); return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0);
        return 0;
    case WM_NCACTIVATE: return OnNcActivate(static_cast<BOOL>(wParam));
    case WM_CHAR: OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ENDSESSION: OnEndSession(static_cast<BOOL>(wParam)); return 0;
    case WM_SIZE: OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_MOVE: OnMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return 0;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam)); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wParam), PointOf(lParam)); return 0;
    case WM_RBUTTONUP: OnRButtonUp(static_cast<UINT>(wParam), PointOf(lParam)); return 0;
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return 0;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_NCHITTEST: return OnNcHitTest(PointOf(lParam));
    case WM_DISPLAYCHANGE:
        OnDisplayChange(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_QUERYNEWPALETTE: return OnQueryNewPalette();
    case WM_PALETTECHANGED: OnPaletteChanged(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_SHOWWINDOW: OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); return 0;
    }
    return OnOtherMessage(message, wParam, lParam);
}

int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
void CWnd::OnActivate(UINT, HWND, BOOL) { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnEndSession(BOOL) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
void CWnd::OnLButtonDblClk(UINT, POINT) { Default(); }
void CWnd::OnRButtonDown(UINT, POINT) { Default(); }
void CWnd::OnRButtonUp(UINT, POINT) { Default(); }
BOOL CWnd::OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnCaptureChanged(HWND) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
LRESULT CWnd::OnNcHitTest(POINT) { return Default(); }
void CWnd::OnDisplayChange(UINT, int, int) { Default(); }
BOOL CWnd::OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
void CWnd::OnPaletteChanged(HWND) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
LRESULT CWnd::OnOtherMessage(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT CALLBACK FrameworkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = CWnd::FromHandlePermanent(window);
    if (!object && t_creating && !t_creating->m_hWnd) {
        object = t_creating;
        object->Attach(window);
    }
    if (!object) return DefWindowProcA(window, message, wParam, lParam);

    CWnd::Current saved = object->m_current;
    object->m_current = {message, wParam, lParam};
    LRESULT result = object->WindowProc(message, wParam, lParam);
    object->m_current = saved;

    if (message == WM_NCDESTROY) {
        // The application ends when its main window is gone.
        CWinApp* app = CWinApp::Instance();
        if (app && app->m_pMainWnd == object) {
            app->m_pMainWnd = nullptr;
            PostQuitMessage(0);
        }
        WNDPROC super = object->m_superProc;
        object->Detach();
        if (super) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        object->PostNcDestroy();
    }
    return result;
}

// CFrameWnd ------------------------------------------------------------------------------

BOOL CFrameWnd::Create(const char* className, const char* windowName, DWORD style,
                       const RECT& rect, HWND parent, DWORD exStyle) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, parent, nullptr);
}

void CFrameWnd::OnClose() { DestroyWindow(); }

// CDialog ----------------------------------------------------------------------------------

CDialog::CDialog(const char* templateName, HWND parent) : m_template(templateName), m_parent(parent) {}

CDialog::~CDialog() {
    // A modal dialog's window is gone when DoModal returns.
    m_hWnd = nullptr;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE resources = m_resources ? m_resources : GetModuleHandleA(nullptr);
    return DialogBoxParamA(resources, m_template, m_parent, DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    }
    return FALSE;
}

// A dialog's default processing is the dialog manager's: answer "not handled".
LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM) { return 0; }

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(window);
        return dialog->OnInitDialog();
    }
    dialog = static_cast<CDialog*>(CWnd::FromHandlePermanent(window));
    if (!dialog) return FALSE;
    CWnd::Current saved = dialog->m_current;
    dialog->m_current = {message, wParam, lParam};
    LRESULT handled = 0;
    if (message == WM_COMMAND) handled = dialog->OnCommand(wParam, lParam);
    else handled = dialog->WindowProc(message, wParam, lParam);
    dialog->m_current = saved;
    if (message == WM_NCDESTROY) dialog->Detach();
    return handled ? TRUE : FALSE;
}

// CFileDialog ------------------------------------------------------------------------------

CFileDialog::CFileDialog(bool openDialog, const char* defaultExtension, const char* fileName,
                         DWORD flags, const char* filter, HWND parent)
    : m_open(openDialog) {
    if (filter) {
        // "Text|*.txt|All|*.*||" as the framework writes filters; the dialog wants NULs.
        m_filter = filter;
        for (auto& ch : m_filter)
            if (ch == '|') ch = '\0';
        m_filter.push_back('\0');
    }
    if (defaultExtension) m_defaultExtension = defaultExtension;
    if (fileName) lstrcpynA(m_buffer, fileName, sizeof m_buffer);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = parent;
    m_ofn.hInstance = GetModuleHandleA(nullptr);
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrFile = m_buffer;
    m_ofn.nMaxFile = sizeof m_buffer;
    m_ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER;
}

void CFileDialog::SetTemplate(const char* templateName, LPOFNHOOKPROC hook) {
    m_ofn.lpTemplateName = templateName;
    m_ofn.lpfnHook = hook;
    m_ofn.Flags |= OFN_ENABLETEMPLATE | OFN_ENABLEHOOK;
}

INT_PTR CFileDialog::DoModal() {
    BOOL ok = m_open ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    if (!ok) return IDCANCEL;
    m_file = m_buffer;
    return IDOK;
}

// CWinApp ----------------------------------------------------------------------------------

CWinApp* CWinApp::s_app = nullptr;

CWinApp::CWinApp() { s_app = this; }

CWinApp::~CWinApp() {
    if (s_app == this) s_app = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void CWinApp::Enable3dControls() {
    // The Windows 95 classes (tooltips among them). COMCTL32 4.00 of a plain Windows 95 has no
    // InitCommonControlsEx; this call registers the same classes on every version.
    InitCommonControls();
}

int FrameworkWinMain(HINSTANCE instance, LPSTR, int) {
    CWinApp* app = CWinApp::Instance();
    if (!app) return 1;
    app->m_hInstance = instance;
    int code = 0;
    try {
        if (!app->InitInstance()) {
            if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
            return app->ExitInstance();
        }
        code = app->Run();
    } catch (const CMemoryException& e) {
        e.ReportError();
    } catch (const std::bad_alloc&) {
        CMemoryException().ReportError();
    }
    int exitCode = app->ExitInstance();
    return code ? code : exitCode;
}
