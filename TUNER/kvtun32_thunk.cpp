// The 32-bit side of the flat thunk: the partner link and the thunk-side entries that take a
// 16-bit caller's arguments. The kernel's flat-thunk services are stood in for here: the
// partner is connected by loading it and exchanging records, far pointers are mapped by the
// partner's selector table, and there is no 16-bit lock for the prolog and epilog to let go.
#include "kvtun32_thunk.h"

#define KVTUN32_BUILD
#include "kvtu3216_link.h"
#include "kvtun32.h"

namespace {

struct ThunkData32 {
    const Kvtu3216Entries* entries;
    ThunkData16* peer;
};

BOOL ThunkConnect32(ThunkData32* data, LPCSTR name16, LPCSTR module16, LPCSTR /*module32*/,
                    HINSTANCE /*self*/, DWORD reason) {
    switch (reason) {
    case DLL_PROCESS_ATTACH: {
        // The partner stays loaded for the life of the process, as a thunk partner does.
        HMODULE partner = LoadLibraryA(module16);
        if (!partner) return FALSE;
        auto* peer = reinterpret_cast<ThunkData16*>(
            reinterpret_cast<void*>(GetProcAddress(partner, name16)));
        if (!peer || peer->magic != kThunkData16Magic || peer->size < sizeof(ThunkData16) ||
            !peer->mapSLFix || !peer->unMapSLFixArray)
            return FALSE;
        peer->entries = data->entries;
        data->peer = peer;
        return TRUE;
    }
    case DLL_PROCESS_DETACH:
        if (data->peer) data->peer->entries = nullptr;
        data->peer = nullptr;
        return TRUE;
    default:
        return data->peer != nullptr;
    }
}

ThunkData32 thk_ThunkData32;

void* MapSLFix(DWORD farPointer) {
    return thk_ThunkData32.peer ? thk_ThunkData32.peer->mapSLFix(farPointer) : nullptr;
}

void UnMapSLFixArray(DWORD count, const DWORD* farPointers) {
    if (thk_ThunkData32.peer) thk_ThunkData32.peer->unMapSLFixArray(count, farPointers);
}

void K32Thk1632Prolog() {}
void K32Thk1632Epilog() {}

template <typename Call>
DWORD Thunked(Call call) {
    K32Thk1632Prolog();
    LONG result = call();
    K32Thk1632Epilog();
    return static_cast<DWORD>(result);
}

// Widened as the 16-bit forms say: SHORT with its sign, WORD without.
DWORD WINAPI ThkStillTV(WORD v) { return Thunked([&] { return StillTV(v); }); }
DWORD WINAPI ThkGetStatusTV() { return Thunked([] { return GetStatusTV(); }); }
DWORD WINAPI ThkSelChannel(DWORD channel) { return Thunked([&] { return SelChannel(channel); }); }
DWORD WINAPI ThkSelVoiceMode(WORD mode) { return Thunked([&] { return SelVoiceMode(mode); }); }
DWORD WINAPI ThkSelInputSrc(WORD source) { return Thunked([&] { return SelInputSrc(source); }); }
DWORD WINAPI ThkGetInputSrc() { return Thunked([] { return GetInputSrc(); }); }
DWORD WINAPI ThkSetBright(SHORT level) { return Thunked([&] { return SetBright(level); }); }
DWORD WINAPI ThkSetContrast(WORD level) { return Thunked([&] { return SetContrast(level); }); }
DWORD WINAPI ThkSetColor(WORD level) { return Thunked([&] { return SetColor(level); }); }
DWORD WINAPI ThkSetHue(SHORT level) { return Thunked([&] { return SetHue(level); }); }
DWORD WINAPI ThkStillTV2(WORD flag) { return Thunked([&] { return StillTV2(flag); }); }
DWORD WINAPI ThkSetVoice(SHORT flag) { return Thunked([&] { return SetVoice(flag); }); }
DWORD WINAPI ThkGetInstance() { return Thunked([] { return GetInstance(); }); }
DWORD WINAPI ThkGetUseTuner() { return Thunked([] { return GetUseTuner(); }); }
DWORD WINAPI ThkSetMute(SHORT flag) { return Thunked([&] { return SetMute(flag); }); }
DWORD WINAPI ThkSaveConfig() { return Thunked([] { return SaveConfig(); }); }
DWORD WINAPI ThkMoveOverLayPos(WORD d) { return Thunked([&] { return MoveOverLayPos(d); }); }
DWORD WINAPI ThkGetOverLayPos(SHORT axis) { return Thunked([&] { return GetOverLayPos(axis); }); }
DWORD WINAPI ThkSetOverLayPos(SHORT axis, DWORD value) {
    return Thunked([&] { return SetOverLayPos(axis, value); });
}
DWORD WINAPI ThkSetDefOverLayPos(SHORT width, SHORT height, SHORT bpp) {
    return Thunked([&] { return SetDefOverLayPos(width, height, bpp); });
}
DWORD WINAPI ThkSetColorMode(WORD v) { return Thunked([&] { return SetColorMode(v); }); }
DWORD WINAPI ThkSetWindowPosition(WORD a, WORD b) {
    return Thunked([&] { return SetWindowPosition(a, b); });
}
DWORD WINAPI ThkSetWindowPosition2(WORD a, WORD b) {
    return Thunked([&] { return SetWindowPosition2(a, b); });
}
DWORD WINAPI ThkGetPnpAdr() { return Thunked([] { return GetPnpAdr(); }); }
DWORD WINAPI ThkUpdateVideo() { return Thunked([] { return UpdateVideo(); }); }
DWORD WINAPI ThkGetPipeLine() { return Thunked([] { return GetPipeLine(); }); }

// The two pointer operations get flat pointers for the call and release them after it.
template <typename Call>
DWORD WithFlatPointers(DWORD farA, DWORD farB, Call call) {
    const DWORD pointers[2] = {farA, farB};
    void* a = MapSLFix(farA);
    void* b = MapSLFix(farB);
    DWORD result = Thunked([&] { return call(a, b); });
    UnMapSLFixArray(2, pointers);
    return result;
}

DWORD WINAPI ThkTrueTo256(DWORD farSource, DWORD farDestination) {
    return WithFlatPointers(farSource, farDestination, [](void* s, void* d) { return TrueTo256(s, d); });
}
DWORD WINAPI ThkConvSize(DWORD farA, DWORD farB) {
    return WithFlatPointers(farA, farB, [](void* a, void* b) { return ConvSize(a, b); });
}

const Kvtu3216Entries kEntries = {
    ThkStillTV,        ThkGetStatusTV,      ThkSelChannel,     ThkSelVoiceMode,
    ThkSelInputSrc,    ThkGetInputSrc,      ThkSetBright,      ThkSetContrast,
    ThkSetColor,       ThkSetHue,           ThkStillTV2,       ThkSetVoice,
    ThkTrueTo256,      ThkGetInstance,      ThkGetUseTuner,    ThkSetMute,
    ThkSaveConfig,     ThkMoveOverLayPos,   ThkGetOverLayPos,  ThkSetOverLayPos,
    ThkSetDefOverLayPos, ThkSetColorMode,   ThkSetWindowPosition, ThkSetWindowPosition2,
    ThkConvSize,       ThkGetPnpAdr,        ThkUpdateVideo,    ThkGetPipeLine,
};

}  // namespace

BOOL ConnectPartner(HINSTANCE self, DWORD reason) {
    thk_ThunkData32.entries = &kEntries;
    return ThunkConnect32(&thk_ThunkData32, "thk_ThunkData16", "KVTU3216.DLL", "KVTUN32.DLL",
                          self, reason);
}
