// Clipmill.exe, the editor stand-in: it notes the command line it was given in "Clipmill.txt"
// beside itself (one line per start, so a test can read it) and shows the clip's first frame.
#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <string>

namespace {

HBITMAP g_frame = nullptr;

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of('\\') + 1);
}

void NoteCommandLine(const char* line) {
    HANDLE file = CreateFileA((ModuleFolder() + "Clipmill.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, DWORD(std::strlen(line)), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
}

// The first frame of the clip as a bitmap; null when the clip cannot be read.
HBITMAP FirstFrame(const char* path, SIZE& size) {
    AVIFileInit();
    PAVISTREAM stream = nullptr;
    HBITMAP bitmap = nullptr;
    if (AVIStreamOpenFromFileA(&stream, path, streamtypeVIDEO, 0, OF_READ, nullptr) == 0) {
        if (PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr)) {
            if (auto* dib = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, AVIStreamStart(stream)))) {
                HDC screen = GetDC(nullptr);
                const BYTE* bits = reinterpret_cast<const BYTE*>(dib) + dib->biSize + dib->biClrUsed * sizeof(RGBQUAD);
                bitmap = CreateDIBitmap(screen, dib, CBM_INIT, bits, reinterpret_cast<BITMAPINFO*>(dib), DIB_RGB_COLORS);
                ReleaseDC(nullptr, screen);
                size.cx = dib->biWidth;
                size.cy = dib->biHeight < 0 ? -dib->biHeight : dib->biHeight;
            }
            AVIStreamGetFrameClose(frames);
        }
        AVIStreamRelease(stream);
    }
    AVIFileExit();
    return bitmap;
}

LRESULT CALLBACK EditorProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        if (g_frame) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, g_frame);
            BITMAP b{};
            GetObjectA(g_frame, sizeof b, &b);
            BitBlt(dc, 0, 0, b.bmWidth, b.bmHeight, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        } else {
            TextOutA(dc, 8, 8, "no clip", 7);
        }
        EndPaint(w, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    NoteCommandLine(commandLine);
    std::string clip = commandLine;
    if (clip.size() >= 2 && clip.front() == '"' && clip.back() == '"') clip = clip.substr(1, clip.size() - 2);
    SIZE size{320, 240};
    g_frame = clip.empty() ? nullptr : FirstFrame(clip.c_str(), size);

    WNDCLASSA wc{};
    wc.lpfnWndProc = EditorProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "Clipmill";
    RegisterClassA(&wc);
    RECT r{0, 0, size.cx, size.cy};
    const DWORD style = WS_OVERLAPPEDWINDOW;
    AdjustWindowRect(&r, style, FALSE);
    HWND w = CreateWindowA("Clipmill", "Clipmill", style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    ShowWindow(w, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_frame) DeleteObject(g_frame);
    return 0;
}
