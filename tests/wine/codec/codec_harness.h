// What the driver's Wine tests share: the driver loaded as a driver host loads it, and the
// format headers of the capture formats.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <string>
#include <vector>

#include "winetest.h"

namespace codectest {


inline const DWORD kTy0n = mmioFOURCC('t', 'y', '0', 'n');
inline const DWORD kTy2n = mmioFOURCC('t', 'y', '2', 'n');
inline const DWORD kTy2c = mmioFOURCC('t', 'y', '2', 'c');
inline const DWORD kT565 = mmioFOURCC('t', '5', '6', '5');

inline std::string DriverPath() { return kivo::wt::InProgramFolder("vancodc.dll"); }

// The driver loaded as a driver host loads it: DRV_LOAD first, DRV_FREE last.
class Driver {
public:
    Driver() {
        module_ = LoadLibraryA(DriverPath().c_str());
        if (module_)
            proc_ = reinterpret_cast<DRIVERPROC>(reinterpret_cast<void*>(GetProcAddress(module_, "DriverProc")));
        if (proc_) loaded_ = proc_(0, nullptr, DRV_LOAD, 0, 0);
    }
    ~Driver() {
        for (LRESULT id : open_) Send(id, DRV_CLOSE);
        if (proc_) proc_(0, nullptr, DRV_FREE, 0, 0);
        if (module_) FreeLibrary(module_);
    }
    bool Ready() const { return proc_ && loaded_ == 1; }
    HMODULE Module() const { return module_; }

    LRESULT Send(LRESULT id, UINT message, LPARAM p1 = 0, LPARAM p2 = 0) {
        return proc_(DWORD_PTR(id), nullptr, message, p1, p2);
    }
    LRESULT Open(DWORD handler, DWORD flags = ICMODE_DECOMPRESS, DWORD type = ICTYPE_VIDEO,
                 LRESULT* error = nullptr) {
        ICOPEN open = {};
        open.dwSize = sizeof open;
        open.fccType = type;
        open.fccHandler = handler;
        open.dwVersion = ICVERSION;
        open.dwFlags = flags;
        open.dwError = 12345;
        const LRESULT id = Send(0, DRV_OPEN, 0, reinterpret_cast<LPARAM>(&open));
        if (error) *error = open.dwError;
        if (id) open_.push_back(id);
        return id;
    }
    LRESULT Close(LRESULT id) {
        for (size_t i = 0; i < open_.size(); ++i)
            if (open_[i] == id) open_.erase(open_.begin() + long(i));
        return Send(id, DRV_CLOSE);
    }

private:
    HMODULE module_ = nullptr;
    DRIVERPROC proc_ = nullptr;
    LRESULT loaded_ = 0;
    std::vector<LRESULT> open_;
};

// The 44-byte format header of the capture formats.
#pragma pack(push, 1)
struct FormatHeader {
    BITMAPINFOHEADER bih;
    WORD quality;
    WORD decodeFlags;
};
#pragma pack(pop)
static_assert(sizeof(FormatHeader) == 44, "format header");

inline FormatHeader Captured(DWORD code, LONG w, LONG h, WORD bits, DWORD imageSize, WORD flags) {
    FormatHeader f = {};
    f.bih.biSize = sizeof f;
    f.bih.biWidth = w;
    f.bih.biHeight = h;
    f.bih.biPlanes = 1;
    f.bih.biBitCount = bits;
    f.bih.biCompression = code;
    f.bih.biSizeImage = imageSize;
    f.quality = 100;
    f.decodeFlags = flags;
    return f;
}

inline BITMAPINFOHEADER Rgb(LONG w, LONG h, WORD bits) {
    BITMAPINFOHEADER b = {};
    b.biSize = sizeof b;
    b.biWidth = w;
    b.biHeight = h;
    b.biPlanes = 1;
    b.biBitCount = bits;
    b.biCompression = BI_RGB;
    b.biSizeImage = DWORD((w * bits + 31) / 32 * 4 * h);
    return b;
}

inline std::vector<BYTE> Pattern(size_t n) {
    std::vector<BYTE> v(n);
    unsigned x = 12345;
    for (auto& b : v) {
        x = x * 1103515245u + 12345u;
        b = BYTE(x >> 16);
    }
    return v;
}

inline LPARAM P(const void* p) { return reinterpret_cast<LPARAM>(p); }

// Drivers32 values for the driver's decompression formats.
inline void RegisterCodec() {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32",
                                             0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    const std::string path = DriverPath();
    for (const char* name : {"vidc.ty0n", "vidc.ty2n", "vidc.ty2c", "vidc.ty2d", "vidc.t565"})
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                                DWORD(path.size() + 1)));
    RegCloseKey(key);
}

}  // namespace codectest
