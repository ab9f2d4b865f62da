// avicap32.dll: the capture service's capture window, taking its frames from the virtual board
// and showing them through the system's compression manager.
#include <windows.h>
#include <vfw.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "board_picture.h"
#include "board_state.h"
#include "capture_core.h"
#include "overlay_compose.h"

namespace {

constexpr char kDriverName[] = "QX-7700 Ma13/Ma16/Mt20 Video Capture Driver(Vantor)";
constexpr char kDriverVersion[] = "Version: 1.00";
constexpr char kWindowClass[] = "KivoCaptureWindow";
constexpr UINT_PTR kPreviewTimer = 1;
constexpr UINT_PTR kSequenceTimer = 2;

HINSTANCE g_module = nullptr;

// The virtual board, bound at run time: without KVBOARD.DLL there is no capture driver.
struct BoardLink {
    using PresentFn = BOOL(WINAPI*)(DWORD);
    using PictureFn = DWORD(WINAPI*)(DWORD, board::PictureInput*, DWORD);
    HMODULE module = nullptr;
    PresentFn present = nullptr;
    PictureFn picture = nullptr;

    bool Bind() {
        if (!module) {
            module = LoadLibraryA("KVBOARD.DLL");
            if (!module) return false;
            present = reinterpret_cast<PresentFn>(reinterpret_cast<void*>(GetProcAddress(module, "BoardDevicePresent")));
            picture = reinterpret_cast<PictureFn>(reinterpret_cast<void*>(GetProcAddress(module, "BoardPictureState")));
        }
        return present && picture;
    }
    bool Present() { return Bind() && present(board::kZtuner); }
};
BoardLink g_board;

std::string CopyText(LPSTR out, int size, const char* text) {
    if (out && size > 0) lstrcpynA(out, text, size);
    return text;
}

struct CaptureWindow {
    HWND hwnd = nullptr;
    bool connected = false;
    capture::VideoFormat format;
    capture::AudioFormat audio;
    CAPTUREPARMS params{};
    bool preview = false;
    bool scale = false;
    UINT previewRate = 66;
    POINT scroll{};
    LONG_PTR userData = 0;
    std::string captureFile = "C:\\CAPTURE.AVI";

    CAPSTATUSCALLBACKA statusCallback = nullptr;
    CAPERRORCALLBACKA errorCallback = nullptr;
    CAPVIDEOCALLBACK frameCallback = nullptr;
    CAPVIDEOCALLBACK videoCallback = nullptr;
    CAPYIELDCALLBACK yieldCallback = nullptr;

    board::FrameSource source;
    std::vector<uint8_t> frame;  // the last frame taken
    HIC decompressor = nullptr;
    bool noDecompressor = false;  // none took the current format: not asked again until it changes
    std::vector<uint8_t> formatRecord;  // the decompressors' input header, made once per format

    // The overlay: the video under the window's own drawing, keyed by magenta.
    bool overlay = false;
    struct Surface {
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ old = nullptr;
        uint8_t* bits = nullptr;
    };
    // outSurface keeps the last frame composed, which is what the overlay put on the screen.
    Surface outSurface, readSurface;
    std::vector<uint8_t> primary, video, decoded;
    int ovWidth = 0, ovHeight = 0, ovBytes = 0;
    size_t ovStride = 0;
    HIC decompressor32 = nullptr;
    bool noDecompressor32 = false;

    // Sequence capture.
    bool capturing = false;
    bool stopRequested = false;
    bool inDelivery = false;
    bool toFile = false;
    bool singleFrameOpen = false;
    std::unique_ptr<capture::SequenceClock> clock;
    capture::AviWriter writer;
    DWORD startTick = 0;
    DWORD elapsedMs = 0;
    DWORD framesDropped = 0;
    DWORD lastFrames = 0;

    // The live picture's counters for bench/live: preview timer ticks and frames shown, written
    // at most once a second to the file KIVO_CAPTURE_STATS names (this stand-in only).
    std::string statsPath;
    DWORD previewTicks = 0, framesShown = 0, statsWritten = 0;

    CaptureWindow() {
        char path[MAX_PATH];
        const DWORD n = GetEnvironmentVariableA("KIVO_CAPTURE_STATS", path, sizeof path);
        if (n > 0 && n < sizeof path) statsPath = path;
        // The board's default: 320 x 240 in the planar format.
        uint8_t record[44] = {44, 0, 0, 0, 0x40, 1, 0, 0, 240, 0, 0, 0, 1, 0, 12, 0, 't', 'y', '0', 'n'};
        capture::ParseVideoFormat(record, sizeof record, format);
        params.dwRequestMicroSecPerFrame = 66667;
        params.wPercentDropForError = 10;
        params.dwIndexSize = 34952;
        params.wNumVideoRequested = 10;
        params.fCaptureAudio = TRUE;
        params.wNumAudioRequested = 4;
        params.vKeyAbort = VK_ESCAPE;
        params.fAbortLeftMouse = TRUE;
        params.fAbortRightMouse = TRUE;
        params.wTimeLimit = 0;
        params.AVStreamMaster = AVSTREAMMASTER_AUDIO;
    }

    void Status(int id, const char* text) {
        if (statusCallback) statusCallback(hwnd, id, text);
    }
    void Error(int id, const char* text) {
        if (errorCallback) errorCallback(hwnd, id, text);
    }

    // One frame from the board in the current format.
    bool TakeFrame() {
        if (!connected || !g_board.Bind()) return false;
        // Only what reaches the picture, not the whole board with its log; a fed channel's
        // frame follows the file's own rate on the same clock.
        board::PictureInput picture;
        const DWORD now = GetTickCount();
        if (!g_board.picture(now, &picture, sizeof picture)) return false;
        frame = source.Next(picture, now / 33, format.fourcc, uint16_t(format.width), uint16_t(format.height),
                            format.decodeFlags);
        return !frame.empty();
    }

    void CloseDecompressor() {
        formatRecord.clear();
        noDecompressor = false;
        noDecompressor32 = false;
        for (HIC* h : {&decompressor, &decompressor32}) {
            if (*h) {
                ICDecompressEnd(*h);
                ICClose(*h);
                *h = nullptr;
            }
        }
    }

    // The output of a decode of the current format at `bits` per pixel, rows back to back.
    BITMAPINFOHEADER OutputHeader(WORD bits) const {
        BITMAPINFOHEADER out{};
        out.biSize = sizeof out;
        out.biWidth = LONG(format.width);
        out.biHeight = LONG(format.height);
        out.biPlanes = 1;
        out.biBitCount = bits;
        out.biCompression = BI_RGB;
        out.biSizeImage = format.width * format.height * (bits / 8);
        return out;
    }

    // The decompressor of the current format for that output, located once; null when none
    // takes it (and not asked again until the format changes).
    HIC Decompressor(HIC& slot, bool& none, BITMAPINFOHEADER* in, BITMAPINFOHEADER* out) {
        if (slot || none) return slot;
        slot = ICLocate(ICTYPE_VIDEO, format.fourcc, in, out, ICMODE_DECOMPRESS);
        if (slot && ICDecompressBegin(slot, in, out) != ICERR_OK) {
            ICClose(slot);
            slot = nullptr;
        }
        none = slot == nullptr;
        return slot;
    }

    // The last frame decoded to 32-bit rows (bottom-up) into `decoded`; false when no
    // decompressor takes the format.
    bool DecodeFrame32() {
        if (frame.empty()) return false;
        if (formatRecord.empty()) formatRecord = capture::VideoFormatRecord(format);
        auto* in = reinterpret_cast<BITMAPINFOHEADER*>(formatRecord.data());
        BITMAPINFOHEADER out = OutputHeader(32);
        HIC decoder = Decompressor(decompressor32, noDecompressor32, in, &out);
        if (!decoder) return false;
        decoded.resize(out.biSizeImage);
        return ICDecompress(decoder, 0, in, frame.data(), &out, decoded.data()) == ICERR_OK;
    }

    void FreeSurface(Surface& s) {
        if (s.dc) {
            SelectObject(s.dc, s.old);
            DeleteDC(s.dc);
        }
        if (s.bitmap) DeleteObject(s.bitmap);
        s = Surface{};
    }

    void FreeOverlay() {
        FreeSurface(outSurface);
        FreeSurface(readSurface);
        ovWidth = ovHeight = ovBytes = 0;
    }

    // Surfaces in the screen's own pixel format, so that what is read back compares exactly
    // with what was drawn. False on a screen the overlay cannot key (below 16 bits).
    bool PrepareOverlay(HDC windowDc, int w, int h) {
        const int depth = GetDeviceCaps(windowDc, BITSPIXEL) * GetDeviceCaps(windowDc, PLANES);
        const int bytes = depth == 16 ? 2 : depth >= 24 ? 4 : 0;
        if (!bytes || w <= 0 || h <= 0) return false;
        if (w == ovWidth && h == ovHeight && bytes == ovBytes) return true;
        FreeOverlay();
        struct {
            BITMAPINFOHEADER header;
            DWORD masks[3];
        } info{};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = w;
        info.header.biHeight = h;
        info.header.biPlanes = 1;
        info.header.biBitCount = WORD(bytes * 8);
        info.header.biCompression = bytes == 2 ? BI_BITFIELDS : BI_RGB;
        info.masks[0] = 0xF800;
        info.masks[1] = 0x07E0;
        info.masks[2] = 0x001F;
        for (Surface* s : {&outSurface, &readSurface}) {
            void* bits = nullptr;
            s->bitmap = CreateDIBSection(windowDc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
            s->dc = CreateCompatibleDC(windowDc);
            if (!s->bitmap || !s->dc) {
                FreeOverlay();
                return false;
            }
            s->old = SelectObject(s->dc, s->bitmap);
            s->bits = static_cast<uint8_t*>(bits);
        }
        ovWidth = w;
        ovHeight = h;
        ovBytes = bytes;
        ovStride = (size_t(w) * bytes + 3) & ~size_t(3);
        primary.assign(ovStride * h, 0);
        for (int r = 0; r < h; ++r) capture::FillOverlayKey(&primary[r * ovStride], w, bytes);
        video.assign(ovStride * h, 0);
        // What the screen holds now counts as the overlay's own: nothing is foreign yet.
        BitBlt(readSurface.dc, 0, 0, w, h, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        std::memcpy(outSurface.bits, readSurface.bits, ovStride * h);
        return true;
    }

    // The current frame into `video`, in the screen's format (black where the frame is smaller).
    void FillOverlayVideo() {
        const bool ok = DecodeFrame32();
        const int fw = int(format.width), fh = int(format.height);
        const int rows = std::min(ovHeight, fh), cols = std::min(ovWidth, fw);
        for (int y = 0; y < ovHeight; ++y) {
            uint8_t* dst = &video[size_t(ovHeight - 1 - y) * ovStride];
            if (!ok || y >= rows) {
                std::memset(dst, 0, ovStride);
                continue;
            }
            const uint8_t* src = &decoded[size_t(fh - 1 - y) * fw * 4];
            if (ovBytes == 2) capture::PackRgb565Row(src, dst, cols);
            else std::memcpy(dst, src, size_t(cols) * 4);
            if (cols < ovWidth) std::memset(dst + size_t(cols) * ovBytes, 0, size_t(ovWidth - cols) * ovBytes);
        }
    }

    // One overlay frame. `repainted` (window coordinates) is a part of the window that was
    // repainted: the window's own drawing there is gone, the video shows again.
    void ShowOverlay(HDC dc, const RECT* repainted) {
        RECT client;
        GetClientRect(hwnd, &client);
        if (!PrepareOverlay(dc, client.right, client.bottom)) {
            Paint(dc);
            return;
        }
        BitBlt(readSurface.dc, 0, 0, ovWidth, ovHeight, dc, 0, 0, SRCCOPY);
        GdiFlush();
        if (repainted) {
            RECT r;
            if (IntersectRect(&r, repainted, &client)) {
                for (int y = r.top; y < r.bottom; ++y) {
                    const size_t at = size_t(ovHeight - 1 - y) * ovStride + size_t(r.left) * ovBytes;
                    const size_t n = size_t(r.right - r.left) * ovBytes;
                    std::memcpy(outSurface.bits + at, readSurface.bits + at, n);
                    capture::FillOverlayKey(&primary[at], r.right - r.left, ovBytes);
                }
            }
        }
        FillOverlayVideo();
        // Composed in place: each row of outSurface is what was shown there until it is rewritten.
        for (int row = 0; row < ovHeight; ++row) {
            const size_t at = size_t(row) * ovStride;
            capture::ComposeOverlayRow(&primary[at], outSurface.bits + at, readSurface.bits + at, &video[at],
                                       outSurface.bits + at, ovWidth, ovBytes);
        }
        BitBlt(dc, 0, 0, ovWidth, ovHeight, outSurface.dc, 0, 0, SRCCOPY);
        GdiFlush();
    }

    // The last frame as a packed 24-bit bitmap (header and rows), decoded by the system's
    // compression manager; empty when no decompressor takes the format.
    std::vector<uint8_t> DecodeFrame() {
        std::vector<uint8_t> dib;
        if (frame.empty()) return dib;
        std::vector<uint8_t> inRecord = capture::VideoFormatRecord(format);
        auto* in = reinterpret_cast<BITMAPINFOHEADER*>(inRecord.data());
        BITMAPINFOHEADER out = OutputHeader(24);
        HIC decoder = Decompressor(decompressor, noDecompressor, in, &out);
        if (!decoder) return dib;
        // The decoder writes rows back to back; a bitmap's rows are padded to four bytes.
        std::vector<uint8_t> tight(out.biSizeImage);
        if (ICDecompress(decoder, 0, in, frame.data(), &out, tight.data()) != ICERR_OK) return dib;
        const size_t rowBytes = size_t(format.width) * 3, stride = (rowBytes + 3) & ~size_t(3);
        dib.assign(sizeof(BITMAPINFOHEADER) + stride * format.height, 0);
        out.biSizeImage = DWORD(stride * format.height);
        std::memcpy(dib.data(), &out, sizeof out);
        for (size_t r = 0; r < format.height; ++r)
            std::memcpy(&dib[sizeof out + r * stride], &tight[r * rowBytes], rowBytes);
        return dib;
    }

    void Paint(HDC dc) {
        RECT client;
        GetClientRect(hwnd, &client);
        const std::vector<uint8_t> dib = DecodeFrame();
        if (dib.empty()) {
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            return;
        }
        const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
        const void* bits = dib.data() + sizeof(BITMAPINFOHEADER);
        const int w = int(format.width), h = int(format.height);
        SetStretchBltMode(dc, COLORONCOLOR);
        if (scale) {
            StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, w, h, bits, info, DIB_RGB_COLORS, SRCCOPY);
            return;
        }
        StretchDIBits(dc, -scroll.x, -scroll.y, w, h, 0, 0, w, h, bits, info, DIB_RGB_COLORS, SRCCOPY);
        // Uncovered parts of the window stay black.
        RECT right{w - scroll.x, 0, client.right, client.bottom}, below{0, h - scroll.y, client.right, client.bottom};
        FillRect(dc, &right, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        FillRect(dc, &below, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }

    void Show() {
        HDC dc = GetDC(hwnd);
        if (overlay) ShowOverlay(dc, nullptr);
        else Paint(dc);
        ReleaseDC(hwnd, dc);
        if (!overlay) ValidateRect(hwnd, nullptr);
    }

    void OnPaint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (!overlay) Paint(dc);
        EndPaint(hwnd, &ps);
        if (!overlay) return;
        // The overlay redraws the whole window so that what it shows stays known.
        HDC whole = GetDC(hwnd);
        // The frame on view stays (a frozen picture is not replaced by a repaint).
        if (frame.empty()) TakeFrame();
        if (frame.empty()) {
            FillRect(whole, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        } else {
            ShowOverlay(whole, &ps.rcPaint);
        }
        ReleaseDC(hwnd, whole);
    }

    VIDEOHDR Header(DWORD time) {
        VIDEOHDR h{};
        h.lpData = frame.data();
        h.dwBufferLength = DWORD(frame.size());
        h.dwBytesUsed = DWORD(frame.size());
        h.dwTimeCaptured = time;
        h.dwFlags = VHDR_DONE | VHDR_PREPARED | VHDR_KEYFRAME;
        return h;
    }

    void SetPreview(bool on) {
        preview = on;
        if (on) {
            SetTimer(hwnd, kPreviewTimer, std::max<UINT>(previewRate, 1), nullptr);
        } else {
            KillTimer(hwnd, kPreviewTimer);
        }
    }

    void WriteStats(bool now) {
        if (statsPath.empty()) return;
        const DWORD tick = GetTickCount();
        if (!now && tick - statsWritten < 1000) return;
        statsWritten = tick;
        char text[64];
        const int len = std::snprintf(text, sizeof text, "%lu %lu %lu\n", static_cast<unsigned long>(tick),
                                      static_cast<unsigned long>(previewTicks), static_cast<unsigned long>(framesShown));
        HANDLE file = CreateFileA(statsPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(file, text, DWORD(len), &written, nullptr);
        CloseHandle(file);
    }

    void PreviewTick() {
        ++previewTicks;
        WriteStats(false);
        if (capturing || !TakeFrame()) return;
        if (overlay && IsWindowVisible(hwnd)) {
            Show();
            ++framesShown;
            return;
        }
        if (frameCallback) {
            VIDEOHDR h = Header(GetTickCount());
            frameCallback(hwnd, &h);
        }
        if (IsWindowVisible(hwnd)) {
            Show();
            ++framesShown;
        }
    }

    BOOL Grab(bool stopPreview) {
        if (capturing || !TakeFrame()) return FALSE;
        if (stopPreview) SetPreview(false);
        if (frameCallback) {
            VIDEOHDR h = Header(0);
            frameCallback(hwnd, &h);
        }
        if (IsWindowVisible(hwnd)) Show();
        return TRUE;
    }

    BOOL StartSequence(bool file) {
        if (!connected || capturing) return FALSE;
        clock.reset(new capture::SequenceClock(params.dwRequestMicroSecPerFrame, params.wTimeLimit,
                                               params.fLimitEnabled != FALSE));
        toFile = file;
        if (file && !writer.Open(captureFile, format, std::max<DWORD>(params.dwRequestMicroSecPerFrame, 1000),
                                 params.fCaptureAudio ? &audio : nullptr)) {
            Error(IDS_CAP_CANTOPEN, ("Cannot open capture file " + captureFile).c_str());
            return FALSE;
        }
        capturing = true;
        stopRequested = false;
        framesDropped = 0;
        elapsedMs = 0;
        lastFrames = 0;
        Status(IDS_CAP_BEGIN, "Capture Start");
        startTick = GetTickCount();
        if (params.fYield) {
            // Frames arrive from the window's timer: the caller's message loop keeps running.
            SetTimer(hwnd, kSequenceTimer, 10, nullptr);
            SequenceTick();
            return TRUE;
        }
        while (capturing) {
            SequenceTick();
            if (!capturing) break;
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    PostQuitMessage(int(msg.wParam));
                    stopRequested = true;
                    break;
                }
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (yieldCallback) yieldCallback(hwnd);
            if (!capturing) break;
            if (stopRequested) {
                FinishSequence();
                break;
            }
            Sleep(std::min<DWORD>(std::max<DWORD>(clock->WaitMs(GetTickCount() - startTick), 1), 10));
        }
        return TRUE;
    }

    bool AbortKeys() const {
        if (params.vKeyAbort && (GetAsyncKeyState(int(params.vKeyAbort & 0xFF)) & 0x8000)) return true;
        if (params.fAbortLeftMouse && (GetAsyncKeyState(VK_LBUTTON) & 0x8000)) return true;
        if (params.fAbortRightMouse && (GetAsyncKeyState(VK_RBUTTON) & 0x8000)) return true;
        return false;
    }

    void SequenceTick() {
        if (!capturing || inDelivery) return;
        elapsedMs = GetTickCount() - startTick;
        if (stopRequested || AbortKeys() || clock->LimitReached(elapsedMs)) {
            FinishSequence();
            return;
        }
        uint32_t due = clock->FramesDue(elapsedMs);
        // A late timer drops the frames it cannot deliver in time, as a busy capture does.
        if (due > 2) {
            framesDropped += due - 1;
            for (uint32_t i = 1; i < due; ++i) clock->Took();
            due = 1;
        }
        if (due == 0) return;
        const DWORD time = clock->TimeOf(clock->Taken());
        clock->Took();
        if (!TakeFrame()) return;
        if (toFile && !writer.AddFrame(frame.data(), uint32_t(frame.size()))) {
            Error(IDS_CAP_FILE_WRITE_ERROR, "Error writing the capture file");
            FinishSequence();
            return;
        }
        inDelivery = true;
        if (videoCallback) {
            VIDEOHDR h = Header(time);
            videoCallback(hwnd, &h);
        }
        if (IsWindow(hwnd) && preview && IsWindowVisible(hwnd)) Show();
        char text[128];
        std::snprintf(text, sizeof text, "Captured %lu frames (%lu dropped) %lu.%03lu sec.",
                      static_cast<unsigned long>(clock->Taken() - framesDropped),
                      static_cast<unsigned long>(framesDropped), static_cast<unsigned long>(time / 1000),
                      static_cast<unsigned long>(time % 1000));
        Status(IDS_CAP_STAT_VIDEOCURRENT, text);
        inDelivery = false;
        if (stopRequested) FinishSequence();
    }

    void FinishSequence() {
        if (!capturing) return;
        capturing = false;
        KillTimer(hwnd, kSequenceTimer);
        elapsedMs = GetTickCount() - startTick;
        lastFrames = clock->Taken() - framesDropped;
        bool ok = true;
        if (toFile) ok = writer.Close();
        if (!ok) Error(IDS_CAP_FILE_WRITE_ERROR, "Error writing the capture file");
        char text[160];
        if (toFile && params.fCaptureAudio) {
            std::snprintf(text, sizeof text, "Captured %lu frames and %lu audio bytes in %lu.%03lu sec.",
                          static_cast<unsigned long>(lastFrames), static_cast<unsigned long>(writer.AudioBytes()),
                          static_cast<unsigned long>(elapsedMs / 1000), static_cast<unsigned long>(elapsedMs % 1000));
            Status(IDS_CAP_STAT_VIDEOAUDIO, text);
        } else {
            std::snprintf(text, sizeof text, "Captured %lu frames in %lu.%03lu sec.", static_cast<unsigned long>(lastFrames),
                          static_cast<unsigned long>(elapsedMs / 1000), static_cast<unsigned long>(elapsedMs % 1000));
            Status(IDS_CAP_STAT_VIDEOONLY, text);
        }
        Status(IDS_CAP_END, "Capture End");
    }

    void RequestStop() {
        if (!capturing) return;
        stopRequested = true;
        // Inside a frame delivery or the synchronous loop the capture ends when control returns there.
        if (params.fYield && !inDelivery) FinishSequence();
    }

    void Disconnect() {
        RequestStop();
        if (capturing && !inDelivery) FinishSequence();
        if (singleFrameOpen) {
            writer.Close();
            singleFrameOpen = false;
        }
        SetPreview(false);
        overlay = false;
        CloseDecompressor();
        FreeOverlay();
        connected = false;
    }

    bool CopyToClipboard() {
        const std::vector<uint8_t> dib = DecodeFrame();
        if (dib.empty() || !OpenClipboard(hwnd)) return false;
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, dib.size());
        bool ok = false;
        if (memory) {
            std::memcpy(GlobalLock(memory), dib.data(), dib.size());
            GlobalUnlock(memory);
            ok = SetClipboardData(CF_DIB, memory) != nullptr;
            if (!ok) GlobalFree(memory);
        }
        CloseClipboard();
        return ok;
    }

    bool SaveDib(const char* path) {
        const std::vector<uint8_t> dib = DecodeFrame();
        if (dib.empty() || !path) return false;
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfSize = DWORD(sizeof fh + dib.size());
        fh.bfOffBits = sizeof fh + sizeof(BITMAPINFOHEADER);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0, written2 = 0;
        const bool ok = WriteFile(file, &fh, sizeof fh, &written, nullptr) &&
                        WriteFile(file, dib.data(), DWORD(dib.size()), &written2, nullptr) && written2 == dib.size();
        CloseHandle(file);
        return ok;
    }

    LRESULT CopyOut(LPARAM to, WPARAM size, const void* from, size_t have) {
        if (!to || size == 0) return FALSE;
        std::memset(reinterpret_cast<void*>(to), 0, size);
        std::memcpy(reinterpret_cast<void*>(to), from, std::min<size_t>(size, have));
        return TRUE;
    }

    LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam);
};

LRESULT CaptureWindow::Message(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CAP_SET_CALLBACK_ERRORA:
        errorCallback = reinterpret_cast<CAPERRORCALLBACKA>(lParam);
        return TRUE;
    case WM_CAP_SET_CALLBACK_STATUSA:
        statusCallback = reinterpret_cast<CAPSTATUSCALLBACKA>(lParam);
        return TRUE;
    case WM_CAP_SET_CALLBACK_YIELD:
        yieldCallback = reinterpret_cast<CAPYIELDCALLBACK>(lParam);
        return TRUE;
    case WM_CAP_SET_CALLBACK_FRAME:
        frameCallback = reinterpret_cast<CAPVIDEOCALLBACK>(lParam);
        return TRUE;
    case WM_CAP_SET_CALLBACK_VIDEOSTREAM:
        videoCallback = reinterpret_cast<CAPVIDEOCALLBACK>(lParam);
        return TRUE;
    case WM_CAP_GET_USER_DATA:
        return userData;
    case WM_CAP_SET_USER_DATA:
        userData = lParam;
        return TRUE;
    case WM_CAP_DRIVER_CONNECT:
        if (connected) return wParam == 0;
        if (wParam != 0 || !g_board.Present()) return FALSE;
        connected = true;
        return TRUE;
    case WM_CAP_DRIVER_DISCONNECT:
        Disconnect();
        return TRUE;
    case WM_CAP_DRIVER_GET_NAMEA:
        if (!connected || !lParam || wParam == 0) return FALSE;
        CopyText(reinterpret_cast<LPSTR>(lParam), int(wParam), kDriverName);
        return TRUE;
    case WM_CAP_DRIVER_GET_VERSIONA:
        if (!connected || !lParam || wParam == 0) return FALSE;
        CopyText(reinterpret_cast<LPSTR>(lParam), int(wParam), kDriverVersion);
        return TRUE;
    case WM_CAP_DRIVER_GET_CAPS: {
        if (!connected) return FALSE;
        CAPDRIVERCAPS caps{};
        caps.wDeviceIndex = 0;
        caps.fHasOverlay = TRUE;
        caps.fCaptureInitialized = TRUE;
        return CopyOut(lParam, wParam, &caps, sizeof caps);
    }
    case WM_CAP_FILE_SET_CAPTURE_FILEA:
        if (!lParam || !*reinterpret_cast<const char*>(lParam) || capturing) return FALSE;
        captureFile = reinterpret_cast<const char*>(lParam);
        return TRUE;
    case WM_CAP_FILE_GET_CAPTURE_FILEA:
        if (!lParam || wParam == 0) return FALSE;
        CopyText(reinterpret_cast<LPSTR>(lParam), int(wParam), captureFile.c_str());
        return TRUE;
    case WM_CAP_FILE_SAVEASA:
        if (!lParam || capturing) return FALSE;
        return CopyFileA(captureFile.c_str(), reinterpret_cast<const char*>(lParam), FALSE);
    case WM_CAP_FILE_SAVEDIBA:
        return SaveDib(reinterpret_cast<const char*>(lParam));
    case WM_CAP_EDIT_COPY:
        return CopyToClipboard();
    case WM_CAP_SET_AUDIOFORMAT:
        if (capturing) return FALSE;
        return capture::ParseAudioFormat(reinterpret_cast<const uint8_t*>(lParam), DWORD(wParam), audio);
    case WM_CAP_GET_AUDIOFORMAT: {
        const std::vector<uint8_t> r = capture::AudioFormatRecord(audio);
        if (!lParam) return LRESULT(r.size());
        const size_t n = std::min<size_t>(wParam, r.size());
        std::memcpy(reinterpret_cast<void*>(lParam), r.data(), n);
        return LRESULT(n);
    }
    case WM_CAP_GET_VIDEOFORMAT: {
        if (!connected) return 0;
        const std::vector<uint8_t> r = capture::VideoFormatRecord(format);
        if (!lParam) return LRESULT(r.size());
        const size_t n = std::min<size_t>(wParam, r.size());
        std::memcpy(reinterpret_cast<void*>(lParam), r.data(), n);
        return LRESULT(n);
    }
    case WM_CAP_SET_VIDEOFORMAT: {
        if (!connected || capturing) return FALSE;
        capture::VideoFormat f;
        if (!capture::ParseVideoFormat(reinterpret_cast<const uint8_t*>(lParam), DWORD(wParam), f)) return FALSE;
        format = f;
        CloseDecompressor();
        frame.clear();
        return TRUE;
    }
    case WM_CAP_SET_PREVIEW:
        if (!connected) return FALSE;
        // With the overlay on, preview on and off start and stop its frames.
        SetPreview(wParam != 0);
        return TRUE;
    case WM_CAP_SET_OVERLAY:
        // The overlay runs at the preview rate and replaces the preview.
        if (!connected) return FALSE;
        overlay = wParam != 0;
        SetPreview(overlay);
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    case WM_CAP_SET_PREVIEWRATE:
        previewRate = UINT(wParam);
        if (preview) SetPreview(true);
        return TRUE;
    case WM_CAP_SET_SCALE:
        scale = wParam != 0;
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    case WM_CAP_SET_SCROLL:
        if (!lParam) return FALSE;
        scroll = *reinterpret_cast<const POINT*>(lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    case WM_CAP_GET_STATUS: {
        CAPSTATUS s{};
        s.uiImageWidth = format.width;
        s.uiImageHeight = format.height;
        s.fLiveWindow = preview && !overlay;
        s.fOverlayWindow = overlay;
        s.fScale = scale;
        s.ptScroll = scroll;
        s.fUsingDefaultPalette = TRUE;
        s.fCapFileExists = GetFileAttributesA(captureFile.c_str()) != INVALID_FILE_ATTRIBUTES;
        s.dwCurrentVideoFrame = capturing ? clock->Taken() - framesDropped : lastFrames;
        s.dwCurrentVideoFramesDropped = framesDropped;
        s.dwCurrentWaveSamples = params.fCaptureAudio && audio.BlockAlign() ? writer.AudioBytes() / audio.BlockAlign() : 0;
        s.dwCurrentTimeElapsedMS = capturing ? GetTickCount() - startTick : elapsedMs;
        s.fCapturingNow = capturing;
        s.wNumVideoAllocated = capturing ? params.wNumVideoRequested : 0;
        return CopyOut(lParam, wParam, &s, sizeof s);
    }
    case WM_CAP_GRAB_FRAME:
        return Grab(true);
    case WM_CAP_GRAB_FRAME_NOSTOP:
        return Grab(false);
    case WM_CAP_SEQUENCE:
        return StartSequence(true);
    case WM_CAP_SEQUENCE_NOFILE:
        return StartSequence(false);
    case WM_CAP_GET_SEQUENCE_SETUP:
        return CopyOut(lParam, wParam, &params, sizeof params);
    case WM_CAP_SET_SEQUENCE_SETUP: {
        if (!lParam || wParam == 0 || capturing) return FALSE;
        CAPTUREPARMS p = params;
        std::memcpy(&p, reinterpret_cast<const void*>(lParam), std::min<size_t>(wParam, sizeof p));
        if (p.dwRequestMicroSecPerFrame == 0) return FALSE;
        params = p;
        return TRUE;
    }
    case WM_CAP_STOP:
    case WM_CAP_ABORT:
        if (!capturing) return FALSE;
        RequestStop();
        return TRUE;
    case WM_CAP_SINGLE_FRAME_OPEN:
        if (!connected || capturing || singleFrameOpen) return FALSE;
        if (!writer.Open(captureFile, format, std::max<DWORD>(params.dwRequestMicroSecPerFrame, 1000), nullptr)) {
            Error(IDS_CAP_CANTOPEN, ("Cannot open capture file " + captureFile).c_str());
            return FALSE;
        }
        singleFrameOpen = true;
        return TRUE;
    case WM_CAP_SINGLE_FRAME:
        if (!singleFrameOpen || !TakeFrame()) return FALSE;
        return writer.AddFrame(frame.data(), uint32_t(frame.size()));
    case WM_CAP_SINGLE_FRAME_CLOSE:
        if (!singleFrameOpen) return FALSE;
        singleFrameOpen = false;
        return writer.Close();
    }
    return FALSE;
}

CaptureWindow* Of(HWND hwnd) { return reinterpret_cast<CaptureWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

LRESULT CALLBACK CaptureWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CaptureWindow* self = Of(hwnd);
    switch (msg) {
    case WM_NCCREATE: {
        auto* w = new (std::nothrow) CaptureWindow;
        if (!w) return FALSE;
        w->hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
        break;
    }
    case WM_TIMER:
        if (self && wParam == kPreviewTimer) self->PreviewTick();
        if (self && wParam == kSequenceTimer) self->SequenceTick();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (self) {
            self->OnPaint();
            return 0;
        }
        break;
    case WM_SIZE:
        if (self) self->FreeOverlay();
        break;
    case WM_DESTROY:
        if (self) self->Disconnect();
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        delete self;
        break;
    default:
        if (self && msg >= WM_CAP_START && msg <= WM_CAP_START + 100) return self->Message(msg, wParam, lParam);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool RegisterCaptureClass() {
    WNDCLASSA wc{};
    if (GetClassInfoA(g_module, kWindowClass, &wc)) return true;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = CaptureWindowProc;
    wc.hInstance = g_module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    return RegisterClassA(&wc) != 0;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HWND WINAPI capCreateCaptureWindowA(LPCSTR title, DWORD style, int x, int y, int width, int height,
                                               HWND parent, int id) {
    if (!RegisterCaptureClass()) return nullptr;
    // The identifier only means something for a child; a top-level window would take it as a menu.
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    return CreateWindowExA(0, kWindowClass, title ? title : "", style, x, y, width, height, parent, menu, g_module,
                           nullptr);
}

extern "C" BOOL WINAPI capGetDriverDescriptionA(UINT index, LPSTR name, int nameSize, LPSTR version, int versionSize) {
    if (index != 0 || !g_board.Present()) return FALSE;
    CopyText(name, nameSize, kDriverName);
    CopyText(version, versionSize, kDriverVersion);
    return TRUE;
}
