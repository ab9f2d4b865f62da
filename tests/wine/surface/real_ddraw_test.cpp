// vddusr32 on the prefix's own "ddraw.dll": the test first asks that DirectDraw itself what it
// offers, then checks that the helper, directly and through its partner, answers as it must
// for that case.
#include <gtest/gtest.h>
#include <ddraw.h>

#include <cstdio>
#include <string>
#include <vector>

#include "overlay_format.h"
#include "vddusr16_link.h"
#include "winetest.h"

namespace {

constexpr DWORD kYUY2 = MAKEFOURCC('Y', 'U', 'Y', '2');
const char* const kCodes[] = {"YUY2", "R555", "R565", "RGB8", "YVU9", "YVUB"};
constexpr size_t kCodeCount = sizeof kCodes / sizeof kCodes[0];

DWORD FourCC(const char* code) { return MAKEFOURCC(code[0], code[1], code[2], code[3]); }

struct Survey {
    bool object = false;   // DirectDrawCreate and the normal cooperative level
    bool primary = false;  // a primary surface
    DWORD fourccCodes = 0;
    bool overlay = false;  // a 320 x 240 YUY2 overlay, shown at one pixel
    LONG pitch = 0;
    bool format[kCodeCount] = {};  // a 160 x 120 overlay described as the helper does, shown
};

bool ShowsOverlay(IDirectDraw* dd, IDirectDrawSurface* primary, const DDSURFACEDESC& d, LONG* pitch) {
    DDSURFACEDESC o = d;
    IDirectDrawSurface* overlay = nullptr;
    if (FAILED(dd->CreateSurface(&o, &overlay, nullptr)) || !overlay) return false;
    RECT r = {0, 0, 1, 1};
    bool shown = SUCCEEDED(overlay->UpdateOverlay(&r, primary, &r, DDOVER_SHOW, nullptr));
    DDSURFACEDESC q = {};
    q.dwSize = sizeof q;
    if (pitch && SUCCEEDED(overlay->GetSurfaceDesc(&q))) *pitch = q.lPitch;
    overlay->Release();
    return shown;
}

// The overlay as the helper describes it.
DDSURFACEDESC HelperDescription(WORD width, WORD height, DWORD fourcc) {
    const kivo::surface::OverlayDescription h = kivo::surface::DescribeOverlay(width, height, fourcc);
    DDSURFACEDESC d = {};
    d.dwSize = sizeof d;
    d.dwFlags = h.flags;
    d.dwWidth = h.width;
    d.dwHeight = h.height;
    d.ddsCaps.dwCaps = h.caps;
    d.ddpfPixelFormat.dwSize = h.pixelFormat.size;
    d.ddpfPixelFormat.dwFlags = h.pixelFormat.flags;
    d.ddpfPixelFormat.dwFourCC = h.pixelFormat.fourcc;
    d.ddpfPixelFormat.dwRGBBitCount = h.pixelFormat.bitCount;
    d.ddpfPixelFormat.dwRBitMask = h.pixelFormat.redMask;
    d.ddpfPixelFormat.dwGBitMask = h.pixelFormat.greenMask;
    d.ddpfPixelFormat.dwBBitMask = h.pixelFormat.blueMask;
    d.ddpfPixelFormat.dwRGBAlphaBitMask = h.pixelFormat.alphaMask;
    return d;
}

Survey AskDirectDraw() {
    Survey s;
    HMODULE module = LoadLibraryA("ddraw.dll");
    if (!module) return s;
    auto create = reinterpret_cast<HRESULT(WINAPI*)(GUID*, IDirectDraw**, IUnknown*)>(
        reinterpret_cast<void*>(GetProcAddress(module, "DirectDrawCreate")));
    IDirectDraw* dd = nullptr;
    if (create && SUCCEEDED(create(nullptr, &dd, nullptr)) && dd &&
        SUCCEEDED(dd->SetCooperativeLevel(GetDesktopWindow(), DDSCL_NORMAL))) {
        s.object = true;
        DDCAPS_DX3 caps = {}, emulation = {};
        caps.dwSize = emulation.dwSize = sizeof(DDCAPS_DX3);
        if (SUCCEEDED(dd->GetCaps(reinterpret_cast<DDCAPS*>(&caps), reinterpret_cast<DDCAPS*>(&emulation))))
            s.fourccCodes = caps.dwNumFourCCCodes;
        DDSURFACEDESC d = {};
        d.dwSize = sizeof d;
        d.dwFlags = DDSD_CAPS;
        d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface* primary = nullptr;
        s.primary = SUCCEEDED(dd->CreateSurface(&d, &primary, nullptr)) && primary;
        if (s.primary) {
            s.overlay = ShowsOverlay(dd, primary, HelperDescription(320, 240, kYUY2), &s.pitch);
            for (size_t i = 0; i < kCodeCount; ++i)
                s.format[i] = ShowsOverlay(dd, primary, HelperDescription(160, 120, FourCC(kCodes[i])), nullptr);
            primary->Release();
        }
    }
    if (dd) dd->Release();
    FreeLibrary(module);
    return s;
}

// The eight functions, reached directly or through the partner with its word arguments.
struct Api {
    virtual ~Api() = default;
    virtual LONG Call() = 0;
    virtual LONG Add(DWORD w, DWORD h, DWORD fourcc, DWORD pair) = 0;
    virtual LONG BufferSize() = 0;
    virtual LONG Mode() = 0;
    virtual LONG Offset(DWORD slot) = 0;
    virtual LONG Stride(DWORD slot) = 0;
    virtual LONG UserCount() = 0;
    virtual LONG Release(DWORD slot) = 0;
};

template <typename F>
F Proc(HMODULE m, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

struct Direct : Api {
    explicit Direct(HMODULE m) : m_(m) {}
    LONG Call() override { return Proc<LONG(WINAPI*)()>(m_, "_DLL32Call@0")(); }
    LONG Add(DWORD w, DWORD h, DWORD f, DWORD p) override {
        return Proc<LONG(WINAPI*)(DWORD, DWORD, DWORD, DWORD)>(m_, "_ddAdd32@16")(w, h, f, p);
    }
    LONG BufferSize() override { return Proc<LONG(WINAPI*)()>(m_, "_ddGetBufferSize32@0")(); }
    LONG Mode() override { return Proc<LONG(WINAPI*)()>(m_, "_ddGetMode32@0")(); }
    LONG Offset(DWORD s) override { return Proc<LONG(WINAPI*)(DWORD)>(m_, "_ddGetOffset32@4")(s); }
    LONG Stride(DWORD s) override { return Proc<LONG(WINAPI*)(DWORD)>(m_, "_ddGetStride32@4")(s); }
    LONG UserCount() override { return Proc<LONG(WINAPI*)()>(m_, "_ddGetUserCount32@0")(); }
    LONG Release(DWORD s) override { return Proc<LONG(WINAPI*)(DWORD)>(m_, "_ddRelease32@4")(s); }
    HMODULE m_;
};

struct Partner : Api {
    explicit Partner(HMODULE m) : m_(m) {}
    LONG Call() override { return static_cast<LONG>(Proc<Vdd16DLL32Call>(m_, "DLL32Call")()); }
    LONG Add(DWORD w, DWORD h, DWORD f, DWORD p) override {
        return static_cast<LONG>(Proc<Vdd16ddAdd32>(m_, "ddAdd32")(static_cast<WORD>(w), static_cast<WORD>(h), f, p));
    }
    LONG BufferSize() override { return static_cast<LONG>(Proc<Vdd16ddGetBufferSize32>(m_, "ddGetBufferSize32")()); }
    LONG Mode() override { return static_cast<LONG>(Proc<Vdd16ddGetMode32>(m_, "ddGetMode32")()); }
    LONG Offset(DWORD s) override {
        return static_cast<LONG>(Proc<Vdd16ddGetOffset32>(m_, "ddGetOffset32")(static_cast<WORD>(s)));
    }
    LONG Stride(DWORD s) override {
        return static_cast<LONG>(Proc<Vdd16ddGetStride32>(m_, "ddGetStride32")(static_cast<WORD>(s)));
    }
    LONG UserCount() override { return static_cast<LONG>(Proc<Vdd16ddGetUserCount32>(m_, "ddGetUserCount32")()); }
    LONG Release(DWORD s) override {
        return static_cast<LONG>(Proc<Vdd16ddRelease32>(m_, "ddRelease32")(static_cast<WORD>(s)));
    }
    HMODULE m_;
};

// Runs the calls of a session and checks each answer against the survey; the answers in order.
std::vector<LONG> Session(Api& api, const Survey& s) {
    std::vector<LONG> answers;
    auto keep = [&](LONG v) {
        answers.push_back(v);
        return v;
    };
    EXPECT_EQ(1, keep(api.Call()));
    EXPECT_EQ(-1, keep(api.Stride(0)));
    EXPECT_EQ(0, keep(api.Offset(0)));
    EXPECT_EQ(0, keep(api.Release(0)));
    const LONG size = keep(api.BufferSize());
    if (!s.object) {
        EXPECT_EQ(-1, size);
        EXPECT_EQ(0, keep(api.Mode()));
        EXPECT_EQ(-1, keep(api.UserCount()));
        EXPECT_EQ(-2, keep(api.Add(320, 240, kYUY2, 0)));
        return answers;
    }
    EXPECT_GE(size, 0);
    if (!s.primary) {
        EXPECT_EQ(0, keep(api.Mode()));
        EXPECT_EQ(-1, keep(api.UserCount()));
        const LONG add = keep(api.Add(320, 240, kYUY2, 0));
        EXPECT_TRUE(add == -1 || add == -2) << add;
        return answers;
    }
    EXPECT_EQ(1, keep(api.Mode()));
    if (s.fourccCodes == 0) {
        EXPECT_EQ(-1, keep(api.UserCount()));
        EXPECT_EQ(-2, keep(api.Add(320, 240, kYUY2, 0)));
        return answers;
    }
    if (!s.overlay) {
        EXPECT_EQ(1, keep(api.UserCount()));
        EXPECT_EQ(-1, keep(api.Add(320, 240, kYUY2, 0)));
        EXPECT_EQ(0, keep(api.Release(0)));
        return answers;
    }
    EXPECT_EQ(0, keep(api.UserCount()));
    EXPECT_EQ(0, keep(api.Add(320, 240, kYUY2, 1)));
    EXPECT_EQ(1, keep(api.UserCount()));
    EXPECT_EQ(-1, keep(api.Add(320, 240, kYUY2, 0)));
    EXPECT_EQ(s.pitch, keep(api.Stride(0)));
    api.Offset(0);  // wherever this DirectDraw keeps its surfaces: asked, not compared
    EXPECT_EQ(-1, keep(api.Stride(1)));
    EXPECT_EQ(0, keep(api.Offset(1)));
    EXPECT_EQ(1, keep(api.Mode()));
    EXPECT_EQ(1, keep(api.Release(0)));
    EXPECT_EQ(0, keep(api.Release(0)));
    EXPECT_EQ(0, keep(api.UserCount()));
    // Each format is reserved exactly when this DirectDraw shows such an overlay.
    for (size_t i = 0; i < kCodeCount; ++i) {
        EXPECT_EQ(s.format[i] ? 0 : -1, keep(api.Add(160, 120, FourCC(kCodes[i]), 0))) << kCodes[i];
        EXPECT_EQ(s.format[i] ? 1 : 0, keep(api.Release(0))) << kCodes[i];
    }
    return answers;
}

TEST(RealDirectDraw, TheHelperAnswersAsThePrefixsDirectDrawAllows) {
    const Survey s = AskDirectDraw();
    std::printf("ddraw.dll of the prefix: object %d, primary %d, FOURCC codes %lu, overlay %d, pitch %ld, formats",
                s.object, s.primary, static_cast<unsigned long>(s.fourccCodes), s.overlay, static_cast<long>(s.pitch));
    for (size_t i = 0; i < kCodeCount; ++i) std::printf(" %s:%d", kCodes[i], s.format[i]);
    std::printf("\n");

    HMODULE helper = LoadLibraryA(kivo::wt::InProgramFolder("vddusr32.dll").c_str());
    ASSERT_NE(nullptr, helper);
    HMODULE partner = GetModuleHandleA("VDDUSR16.DLL");
    ASSERT_NE(nullptr, partner);

    Direct direct(helper);
    std::vector<LONG> first = Session(direct, s);
    Partner viaPartner(partner);
    std::vector<LONG> second = Session(viaPartner, s);
    // The free video memory may move with what the system holds; the rest must be the same.
    ASSERT_EQ(first.size(), second.size());
    first[4] = second[4] = 0;
    EXPECT_EQ(first, second);

    EXPECT_TRUE(FreeLibrary(helper));
    EXPECT_EQ(nullptr, GetModuleHandleA("vddusr32.dll"));
    EXPECT_EQ(nullptr, GetModuleHandleA("VDDUSR16.DLL"));
}

}  // namespace
