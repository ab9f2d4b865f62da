// The small application framework the viewer's classes rest on: an application object with
// start-up and exit entry points and the message loop, window objects with one handler per
// message, frame windows, modal dialogs, the common file dialogs and the memory exception.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <new>
#include <string>

// Base of every framework object; knows its run-time class name.
class CObject {
public:
    virtual ~CObject() = default;
    virtual const char* GetRuntimeClassName() const { return "CObject"; }
};

#define KIVO_DECLARE_CLASS(name) \
    const char* GetRuntimeClassName() const override { return #name; }

// Thrown when an allocation fails; reported to the user by the application object.
class CMemoryException : public CObject {
public:
    KIVO_DECLARE_CLASS(CMemoryException)
    // Shows the out-of-memory message (no owner, task-modal).
    void ReportError() const;
};

// Throws CMemoryException (for allocations that do not go through operator new).
[[noreturn]] void ThrowMemoryException();

class CWnd : public CObject {
public:
    KIVO_DECLARE_CLASS(CWnd)
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    static HWND SafeHandle(const CWnd* window) { return window ? window->m_hWnd : nullptr; }
    operator HWND() const { return m_hWnd; }

    // The object of a window made by the framework, or nullptr.
    static CWnd* FromHandlePermanent(HWND window);

    // Registers a window class whose procedure is the framework's.
    static bool RegisterFrameworkClass(const char* className, UINT style, HICON icon,
                                       HCURSOR cursor, HBRUSH background);

    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menu,
                  void* param = nullptr);
    virtual BOOL DestroyWindow();

    // Thin wrappers, for readability of the callers.
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    BOOL EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }

    // Runs the default processing of the message being handled.
    LRESULT Default();

    struct Current {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    // The message being handled.
    const Current& CurrentMessage() const { return m_current; }

protected:
    // Dispatches a message to its handler; a handler that does not handle it calls Default().
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The processing when no handler acts: DefWindowProc, or the class's own procedure.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone; objects that own themselves delete themselves here.
    virtual void PostNcDestroy() {}

    // One handler per message. Each defaults to Default().
    virtual int OnCreate(LPCREATESTRUCTA create);
    virtual void OnDestroy();
    virtual void OnClose();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);  // TRUE when handled
    virtual void OnTimer(UINT_PTR id);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual void OnWindowPosChanging(WINDOWPOS* pos);
    virtual void OnWindowPosChanged(WINDOWPOS* pos);
    virtual void OnActivateApp(BOOL active, DWORD threadId);
    virtual void OnActivate(UINT state, HWND other, BOOL minimized);
    virtual BOOL OnNcActivate(BOOL active);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnEndSession(BOOL ending);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonUp(UINT flags, POINT point);
    virtual void OnLButtonDblClk(UINT flags, POINT point);
    virtual void OnRButtonDown(UINT flags, POINT point);
    virtual void OnRButtonUp(UINT flags, POINT point);
    virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    virtual void OnCaptureChanged(HWND window);
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    virtual LRESULT OnNcHitTest(POINT screenPoint);
    virtual void OnDisplayChange(UINT depth, int width, int height);
    virtual BOOL OnQueryNewPalette();
    virtual void OnPaletteChanged(HWND changer);
    virtual void OnShowWindow(BOOL show, UINT status);
    // Every message without a handler of its own.
    virtual LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_superProc = nullptr;  // a subclassed standard control's own procedure

private:
    friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
    Current m_current = {};
    void Attach(HWND window);
    void Detach();
};

LRESULT CALLBACK FrameworkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class CFrameWnd : public CWnd {
public:
    KIVO_DECLARE_CLASS(CFrameWnd)
    BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                HWND parent = nullptr, DWORD exStyle = 0);

protected:
    void OnClose() override;  // destroys the window
};

// A modal dialog from a template in the program's resources.
class CDialog : public CWnd {
public:
    KIVO_DECLARE_CLASS(CDialog)
    CDialog(const char* templateName, HWND parent);
    CDialog(UINT templateId, HWND parent) : CDialog(MAKEINTRESOURCEA(templateId), parent) {}
    ~CDialog() override;

    virtual INT_PTR DoModal();
    void EndDialog(INT_PTR result);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Resource module of the template (the program by default).
    HINSTANCE m_resources = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    const char* m_template;
    HWND m_parent;
};

// The common open and save dialogs, Explorer style, optionally with a template of ours.
class CFileDialog : public CObject {
public:
    KIVO_DECLARE_CLASS(CFileDialog)
    CFileDialog(bool openDialog, const char* defaultExtension, const char* fileName, DWORD flags,
                const char* filter, HWND parent);
    // Adds a template (in the program's resources) with its hook procedure.
    void SetTemplate(const char* templateName, LPOFNHOOKPROC hook);
    INT_PTR DoModal();
    std::string GetPathName() const { return m_file; }

    OPENFILENAMEA m_ofn = {};

private:
    bool m_open;
    std::string m_filter;
    std::string m_defaultExtension;
    char m_buffer[MAX_PATH] = {};
    std::string m_file;
};

class CWinApp : public CObject {
public:
    KIVO_DECLARE_CLASS(CWinApp)
    CWinApp();
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;  // its destruction ends the message loop

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // The message loop; returns the quit code.
    virtual int Run();
    // The framework's three-dimensional control look.
    void Enable3dControls();

    static CWinApp* Instance() { return s_app; }

private:
    static CWinApp* s_app;
};

// The entry point's body: the application object's start-up, loop and exit.
int FrameworkWinMain(HINSTANCE instance, LPSTR commandLine, int show);
