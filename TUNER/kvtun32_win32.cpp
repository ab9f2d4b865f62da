// kvtun32.dll: entry point, the Win32 host of the tuner operations and the exports.
#define KVTUN32_BUILD
#include "kvtun32.h"

#include <mmsystem.h>

#include "hwmixer.h"
#include "kvtun32_thunk.h"
#include "true_to_256.h"
#include "tuner_core.h"
#include "vanvp_ini.h"
#include "vxd.h"

namespace {

constexpr char kCaption[] = "KVTUN32.DLL";
constexpr char kAttachSemaphore[] = "KVTUN32_DLL_DLLMAIN";
constexpr char kInitSemaphore[] = "KVTUN32_DLL_SETCOLORMODE";
constexpr LONG kProcessUnits = 16;

// The operating-system half of the library state; the portable half is kvtun::TunerLibState.
class Win32Host final : public kvtun::TunerHost {
public:
    HANDLE deviceHandle = INVALID_HANDLE_VALUE;
    CRITICAL_SECTION requestLock;
    HANDLE attachSemaphore = nullptr;
    LONG attachPrevCount = 0;
    HANDLE initSemaphore = nullptr;

    void Request(uint32_t code, const void* in, uint32_t inLength, void* out,
                 uint32_t outLength) override {
        VxdControl(deviceHandle, code, const_cast<void*>(in), inLength, out, outLength,
                   &bytesReturned_, nullptr);
    }

    void Enter() override { EnterCriticalSection(&requestLock); }
    void Leave() override { LeaveCriticalSection(&requestLock); }
    uint32_t Ticks() override { return GetTickCount(); }

    uint32_t MixerCount() override { return HwMixerGetNumDevs(); }

    uint32_t MixerProductId(uint32_t device, uint16_t& productId) override {
        MIXERCAPSA caps = {};
        MMRESULT r = HwMixerGetDevCapsA(device, &caps, sizeof caps);
        productId = caps.wPid;
        return r;
    }

    uint32_t MixerOpen(uint32_t device, uintptr_t& mixer) override {
        HMIXER h = nullptr;
        MMRESULT r = HwMixerOpen(&h, device, 0, 0, CALLBACK_NULL);
        mixer = reinterpret_cast<uintptr_t>(h);
        return r;
    }

    uint32_t MixerSetValue(uintptr_t mixer, uint32_t controlId, int32_t value) override {
        MIXERCONTROLDETAILS_BOOLEAN detail = {value};
        MIXERCONTROLDETAILS d = {};
        d.cbStruct = sizeof d;
        d.dwControlID = controlId;
        d.cChannels = 1;
        d.cMultipleItems = 1;
        d.cbDetails = sizeof detail;
        d.paDetails = &detail;
        return HwMixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), &d,
                                        MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
    }

    void MixerClose(uintptr_t mixer) override { HwMixerClose(reinterpret_cast<HMIXER>(mixer)); }

    bool ReadSetting(const char* section, const char* key, std::string& value) override {
        char text[64];
        DWORD n = GetPrivateProfileStringA(section, key, "", text, sizeof text, kvtun::kVanvpFile);
        value.assign(text, n);
        return n > 0;
    }

    void WriteSetting(const char* section, const char* key, const std::string& value) override {
        WritePrivateProfileStringA(section, key, value.c_str(), kvtun::kVanvpFile);
    }

    bool MarkBoardInitialised() override {
        if (initSemaphore) return false;  // this process already found or made the mark
        initSemaphore = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, kInitSemaphore);
        if (initSemaphore) return false;
        initSemaphore = CreateSemaphoreA(nullptr, kProcessUnits, kProcessUnits, kInitSemaphore);
        // Another process may have made it between the two calls.
        return !(initSemaphore && GetLastError() == ERROR_ALREADY_EXISTS);
    }

private:
    DWORD bytesReturned_ = 0;  // written by every request, read by none
};

Win32Host g_host;
kvtun::TunerLibState g_state;
kvtun::Tuner g_tuner(g_state, g_host);
bool g_attached = false;

void Tell(const char* text) { MessageBoxA(nullptr, text, kCaption, MB_OK | MB_ICONERROR); }

BOOL Attach(HINSTANCE self) {
    g_host.attachSemaphore = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, kAttachSemaphore);
    if (!g_host.attachSemaphore)
        g_host.attachSemaphore = CreateSemaphoreA(nullptr, kProcessUnits, kProcessUnits, kAttachSemaphore);
    if (g_host.attachSemaphore) WaitForSingleObject(g_host.attachSemaphore, INFINITE);
    InitializeCriticalSection(&g_host.requestLock);

    g_host.deviceHandle = VxdOpen("ZTUNER.VXD");
    if (g_host.deviceHandle == INVALID_HANDLE_VALUE) {
        Tell("ZTUNER.VXDが見つかりません");
        // A refused load leaves nothing taken: the unit goes back and the partner is let go.
        if (g_host.attachSemaphore) {
            ReleaseSemaphore(g_host.attachSemaphore, 1, nullptr);
            CloseHandle(g_host.attachSemaphore);
            g_host.attachSemaphore = nullptr;
        }
        DeleteCriticalSection(&g_host.requestLock);
        ConnectPartner(self, DLL_PROCESS_DETACH);
        return FALSE;
    }

    // The last process switches the sound off while it ends; some systems (Wine) cannot load
    // their audio drivers that late, so the mixer list is opened now.
    HwMixerGetNumDevs();

    g_tuner.LoadSettings();
    if (!g_tuner.Probe()) Tell("初期化に失敗しました");
    g_attached = true;
    g_tuner.SetColorMode(0);
    return TRUE;
}

void Detach() {
    if (!g_attached) return;
    g_attached = false;
    if (g_host.attachSemaphore) {
        ReleaseSemaphore(g_host.attachSemaphore, 1, &g_host.attachPrevCount);
        CloseHandle(g_host.attachSemaphore);
        g_host.attachSemaphore = nullptr;
        if (g_host.attachPrevCount == kProcessUnits - 1) g_tuner.PutToRest();
    }
    VxdClose(g_host.deviceHandle);
    g_host.deviceHandle = INVALID_HANDLE_VALUE;
    // Last, since putting the board to rest still takes the lock.
    DeleteCriticalSection(&g_host.requestLock);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (!ConnectPartner(instance, reason)) {
        Tell("KVTU3216.DLLが見つかりません");
        return FALSE;
    }
    if (reason == DLL_PROCESS_ATTACH) return Attach(instance);
    if (reason == DLL_PROCESS_DETACH) Detach();
    return TRUE;
}

// Exports -------------------------------------------------------------------------------

KVTUN32_API LONG WINAPI StillTV(LONG v) { return g_tuner.StillTV(v); }
KVTUN32_API LONG WINAPI GetStatusTV(void) { return g_tuner.GetStatusTV(); }
KVTUN32_API LONG WINAPI SelChannel(DWORD channel) { return g_tuner.SelChannel(channel); }
KVTUN32_API LONG WINAPI SelVoiceMode(DWORD mode) { return g_tuner.SelVoiceMode(mode); }
KVTUN32_API LONG WINAPI SelInputSrc(DWORD source) { return g_tuner.SelInputSrc(source); }
KVTUN32_API LONG WINAPI GetInputSrc(void) { return g_tuner.GetInputSrc(); }
KVTUN32_API LONG WINAPI SetBright(LONG level) { return g_tuner.SetBright(level); }
KVTUN32_API LONG WINAPI SetContrast(DWORD level) { return g_tuner.SetContrast(level); }
KVTUN32_API LONG WINAPI SetColor(DWORD level) { return g_tuner.SetColor(level); }
KVTUN32_API LONG WINAPI SetHue(LONG level) { return g_tuner.SetHue(level); }
KVTUN32_API LONG WINAPI StillTV2(DWORD freeze) { return g_tuner.StillTV2(freeze); }
KVTUN32_API LONG WINAPI SetVoice(LONG on) { return g_tuner.SetVoice(on); }
KVTUN32_API LONG WINAPI TrueTo256(LPVOID source, LPVOID destination) {
    return kvtun::TrueTo256(static_cast<uint8_t*>(source), static_cast<uint8_t*>(destination));
}
KVTUN32_API LONG WINAPI GetInstance(void) { return g_tuner.GetInstance(); }
KVTUN32_API LONG WINAPI GetUseTuner(void) { return g_tuner.GetUseTuner(); }
KVTUN32_API LONG WINAPI SetMute(LONG mute) { return g_tuner.SetMute(mute); }
KVTUN32_API LONG WINAPI SaveConfig(void) { return g_tuner.SaveConfig(); }
KVTUN32_API LONG WINAPI MoveOverLayPos(DWORD direction) { return g_tuner.MoveOverLayPos(direction); }
KVTUN32_API LONG WINAPI GetOverLayPos(LONG axis) { return g_tuner.GetOverLayPos(axis); }
KVTUN32_API LONG WINAPI SetOverLayPos(LONG axis, DWORD startEnd) {
    return g_tuner.SetOverLayPos(axis, startEnd);
}
KVTUN32_API LONG WINAPI SetDefOverLayPos(LONG width, LONG height, LONG bitsPerPixel) {
    return g_tuner.SetDefOverLayPos(width, height, bitsPerPixel);
}
KVTUN32_API LONG WINAPI SetColorMode(LONG v) { return g_tuner.SetColorMode(v); }
KVTUN32_API LONG WINAPI SetWindowPosition(LONG, LONG) { return -1; }
KVTUN32_API LONG WINAPI SetWindowPosition2(LONG, LONG) { return -1; }
KVTUN32_API LONG WINAPI ConvSize(LPVOID, LPVOID) { return -1; }
KVTUN32_API LONG WINAPI GetPnpAdr(void) { return 0; }
KVTUN32_API LONG WINAPI UpdateVideo(void) { return -1; }
KVTUN32_API LONG WINAPI GetPipeLine(void) { return 0; }
