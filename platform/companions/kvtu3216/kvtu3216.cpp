// KVTU3216.DLL, standing in for the 16-bit partner of kvtun32: it offers the tuner operations
// under their own names with 16-bit argument forms and passes them through the thunk table
// that kvtun32 connects. A 16-bit program reaches its data through far pointers; here a
// per-process selector table gives out selectors (AllocFlatSelector) whose 16:16 pointers
// the 32-bit side maps back to flat ones (MapSLFix).
#include <windows.h>

#include "kvtu3216_link.h"

namespace {

// Selector values look like LDT selectors of ring 3: index << 3 | 7. Index 0 is the null one.
constexpr int kSelectors = 256;

struct Selector {
    BYTE* base;
    DWORD limit;  // last valid offset
    LONG fixes;
    bool used;
};

Selector g_selectors[kSelectors];
CRITICAL_SECTION g_lock;

Selector* Find(WORD selector) {
    const int index = selector >> 3;
    if ((selector & 7) != 7 || index <= 0 || index >= kSelectors) return nullptr;
    return g_selectors[index].used ? &g_selectors[index] : nullptr;
}

void* WINAPI MapSLFixImpl(DWORD farPointer) {
    EnterCriticalSection(&g_lock);
    void* flat = nullptr;
    Selector* s = Find(HIWORD(farPointer));
    if (s && LOWORD(farPointer) <= s->limit) {
        ++s->fixes;
        flat = s->base + LOWORD(farPointer);
    }
    LeaveCriticalSection(&g_lock);
    return flat;
}

void WINAPI UnMapSLFixArrayImpl(DWORD count, const DWORD* farPointers) {
    EnterCriticalSection(&g_lock);
    for (DWORD i = 0; farPointers && i < count; ++i) {
        Selector* s = Find(HIWORD(farPointers[i]));
        if (s && s->fixes > 0 && LOWORD(farPointers[i]) <= s->limit) --s->fixes;
    }
    LeaveCriticalSection(&g_lock);
}

// The result of a 32-bit entry arrives as DX:AX.
LONG FromDxAx(DWORD result) { return static_cast<LONG>(MAKELONG(LOWORD(result), HIWORD(result))); }

}  // namespace

extern "C" {
ThunkData16 thk_ThunkData16 = {kThunkData16Magic, sizeof(ThunkData16), nullptr, MapSLFixImpl,
                               UnMapSLFixArrayImpl};
}

namespace {

// As the 16-bit side's own connect does, the 32-bit side is loaded on first use; its entry
// point connects the table. Tried once: a refused load is not repeated with every call.
const Kvtu3216Entries* Link() {
    static LONG tried = 0;
    if (!thk_ThunkData16.entries && InterlockedExchange(&tried, 1) == 0) LoadLibraryA("KVTUN32.DLL");
    return thk_ThunkData16.entries;
}

}  // namespace

#define KVTU_CALL(NAME, ...)                                                 \
    const Kvtu3216Entries* e = Link();                                       \
    return e ? FromDxAx(e->NAME(__VA_ARGS__)) : -1

extern "C" {

LONG WINAPI StillTV(WORD v) { KVTU_CALL(StillTV, v); }
LONG WINAPI GetStatusTV(void) { KVTU_CALL(GetStatusTV); }
LONG WINAPI SelChannel(DWORD channel) { KVTU_CALL(SelChannel, channel); }
LONG WINAPI SelVoiceMode(WORD mode) { KVTU_CALL(SelVoiceMode, mode); }
LONG WINAPI SelInputSrc(WORD source) { KVTU_CALL(SelInputSrc, source); }
LONG WINAPI GetInputSrc(void) { KVTU_CALL(GetInputSrc); }
LONG WINAPI SetBright(SHORT level) { KVTU_CALL(SetBright, level); }
LONG WINAPI SetContrast(WORD level) { KVTU_CALL(SetContrast, level); }
LONG WINAPI SetColor(WORD level) { KVTU_CALL(SetColor, level); }
LONG WINAPI SetHue(SHORT level) { KVTU_CALL(SetHue, level); }
LONG WINAPI StillTV2(WORD flag) { KVTU_CALL(StillTV2, flag); }
LONG WINAPI SetVoice(SHORT flag) { KVTU_CALL(SetVoice, flag); }
LONG WINAPI TrueTo256(DWORD farSource, DWORD farDestination) {
    KVTU_CALL(TrueTo256, farSource, farDestination);
}
LONG WINAPI GetInstance(void) { KVTU_CALL(GetInstance); }
LONG WINAPI GetUseTuner(void) { KVTU_CALL(GetUseTuner); }
LONG WINAPI SetMute(SHORT flag) { KVTU_CALL(SetMute, flag); }
LONG WINAPI SaveConfig(void) { KVTU_CALL(SaveConfig); }
LONG WINAPI MoveOverLayPos(WORD direction) { KVTU_CALL(MoveOverLayPos, direction); }
LONG WINAPI GetOverLayPos(SHORT axis) { KVTU_CALL(GetOverLayPos, axis); }
LONG WINAPI SetOverLayPos(SHORT axis, DWORD value) { KVTU_CALL(SetOverLayPos, axis, value); }
LONG WINAPI SetDefOverLayPos(SHORT width, SHORT height, SHORT bpp) {
    KVTU_CALL(SetDefOverLayPos, width, height, bpp);
}
LONG WINAPI SetColorMode(WORD v) { KVTU_CALL(SetColorMode, v); }
LONG WINAPI SetWindowPosition(WORD a, WORD b) { KVTU_CALL(SetWindowPosition, a, b); }
LONG WINAPI SetWindowPosition2(WORD a, WORD b) { KVTU_CALL(SetWindowPosition2, a, b); }
LONG WINAPI ConvSize(DWORD farA, DWORD farB) { KVTU_CALL(ConvSize, farA, farB); }
LONG WINAPI GetPnpAdr(void) { KVTU_CALL(GetPnpAdr); }
LONG WINAPI UpdateVideo(void) { KVTU_CALL(UpdateVideo); }
LONG WINAPI GetPipeLine(void) { KVTU_CALL(GetPipeLine); }

// What a 16-bit program does with AllocSelector, SetSelectorBase and SetSelectorLimit: a
// selector for size bytes at base. 0 when the table is full or the request is empty.
WORD WINAPI AllocFlatSelector(LPVOID base, DWORD size) {
    if (!base || size == 0) return 0;
    EnterCriticalSection(&g_lock);
    WORD selector = 0;
    for (int i = 1; i < kSelectors; ++i)
        if (!g_selectors[i].used) {
            g_selectors[i] = {static_cast<BYTE*>(base), size - 1, 0, true};
            selector = static_cast<WORD>(i << 3 | 7);
            break;
        }
    LeaveCriticalSection(&g_lock);
    return selector;
}

// FALSE for an unknown selector or one still fixed by a mapping.
BOOL WINAPI FreeFlatSelector(WORD selector) {
    EnterCriticalSection(&g_lock);
    Selector* s = Find(selector);
    BOOL ok = s && s->fixes == 0;
    if (ok) *s = {};
    LeaveCriticalSection(&g_lock);
    return ok;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        InitializeCriticalSection(&g_lock);
    }
    return TRUE;
}
