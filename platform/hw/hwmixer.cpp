#include "hwmixer.h"

#include <mmddk.h>

#ifndef MIXER_OBJECTF_TYPEMASK
#define MIXER_OBJECTF_TYPEMASK 0xF0000000L
#endif

namespace {

typedef DWORD(WINAPI* MxdMessageProc)(UINT deviceId, UINT message, DWORD_PTR user,
                                      DWORD_PTR param1, DWORD_PTR param2);

// The board's mixer driver, loaded once per process and kept for its lifetime.
MxdMessageProc BoardDriver() {
    static const MxdMessageProc proc = []() -> MxdMessageProc {
        HMODULE module = LoadLibraryA("BOARDMIX.DRV");
        if (!module) return nullptr;
        return reinterpret_cast<MxdMessageProc>(
            reinterpret_cast<void*>(GetProcAddress(module, "mxdMessage")));
    }();
    return proc;
}

UINT BoardDeviceCount() {
    MxdMessageProc driver = BoardDriver();
    return driver ? static_cast<UINT>(driver(0, MXDM_GETNUMDEVS, 0, 0, 0)) : 0;
}

// Every handle handed out is one of these, so that a board device and a system device
// look alike to the caller.
struct HwMixer {
    DWORD magic;
    bool board;
    HMIXER system;         // a system device's own handle
    UINT boardDevice;      // the board driver's device index
    DWORD_PTR boardUser;   // the board driver's instance
};

constexpr DWORD kMagic = 0x4B564D58;  // "KVMX"

HwMixer* FromHandle(HMIXEROBJ object) {
    auto* m = reinterpret_cast<HwMixer*>(object);
    if (!m) return nullptr;
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(m, &info, sizeof info) || info.State != MEM_COMMIT) return nullptr;
    return m->magic == kMagic ? m : nullptr;
}

// Sends a details request to whichever device the object names.
MMRESULT Details(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags, bool set) {
    DWORD kind = flags & MIXER_OBJECTF_TYPEMASK;
    DWORD query = flags & ~MIXER_OBJECTF_TYPEMASK;
    if (kind == MIXER_OBJECTF_HMIXER) {
        HwMixer* m = FromHandle(object);
        if (!m) return MMSYSERR_INVALHANDLE;
        if (!m->board) {
            auto h = reinterpret_cast<HMIXEROBJ>(m->system);
            return set ? mixerSetControlDetails(h, details, flags)
                       : mixerGetControlDetailsA(h, details, flags);
        }
        MxdMessageProc driver = BoardDriver();
        if (!driver) return MMSYSERR_NODRIVER;
        return driver(m->boardDevice, set ? MXDM_SETCONTROLDETAILS : MXDM_GETCONTROLDETAILS,
                      m->boardUser, reinterpret_cast<DWORD_PTR>(details), query);
    }
    if (kind == MIXER_OBJECTF_MIXER) {
        UINT id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(object));
        UINT systemCount = mixerGetNumDevs();
        if (id < systemCount)
            return set ? mixerSetControlDetails(object, details, flags)
                       : mixerGetControlDetailsA(object, details, flags);
        id -= systemCount;
        if (id >= BoardDeviceCount()) return MMSYSERR_BADDEVICEID;
        return BoardDriver()(id, set ? MXDM_SETCONTROLDETAILS : MXDM_GETCONTROLDETAILS, 0,
                             reinterpret_cast<DWORD_PTR>(details), query);
    }
    return MMSYSERR_INVALFLAG;
}

}  // namespace

extern "C" UINT WINAPI HwMixerGetNumDevs(void) { return mixerGetNumDevs() + BoardDeviceCount(); }

extern "C" MMRESULT WINAPI HwMixerGetDevCapsA(UINT_PTR deviceId, LPMIXERCAPSA caps,
                                              UINT capsSize) {
    if (!caps) return MMSYSERR_INVALPARAM;
    UINT systemCount = mixerGetNumDevs();
    if (deviceId < systemCount) return mixerGetDevCapsA(deviceId, caps, capsSize);
    UINT board = static_cast<UINT>(deviceId - systemCount);
    if (deviceId - systemCount >= BoardDeviceCount()) return MMSYSERR_BADDEVICEID;
    return BoardDriver()(board, MXDM_GETDEVCAPS, 0, reinterpret_cast<DWORD_PTR>(caps), capsSize);
}

extern "C" MMRESULT WINAPI HwMixerOpen(LPHMIXER mixer, UINT deviceId, DWORD_PTR callback,
                                       DWORD_PTR instance, DWORD flags) {
    if (!mixer) return MMSYSERR_INVALPARAM;
    *mixer = nullptr;
    UINT systemCount = mixerGetNumDevs();
    auto* m = new HwMixer{kMagic, false, nullptr, 0, 0};
    MMRESULT r;
    if (deviceId < systemCount) {
        r = mixerOpen(&m->system, deviceId, callback, instance, flags);
    } else if (deviceId - systemCount < BoardDeviceCount()) {
        m->board = true;
        m->boardDevice = deviceId - systemCount;
        MIXEROPENDESC desc = {};
        desc.hmx = reinterpret_cast<HMIXER>(m);
        desc.dwCallback = callback;
        desc.dwInstance = instance;
        r = BoardDriver()(m->boardDevice, MXDM_OPEN, reinterpret_cast<DWORD_PTR>(&m->boardUser),
                          reinterpret_cast<DWORD_PTR>(&desc), flags);
    } else {
        r = MMSYSERR_BADDEVICEID;
    }
    if (r != MMSYSERR_NOERROR) {
        m->magic = 0;
        delete m;
        return r;
    }
    *mixer = reinterpret_cast<HMIXER>(m);
    return MMSYSERR_NOERROR;
}

extern "C" MMRESULT WINAPI HwMixerClose(HMIXER mixer) {
    HwMixer* m = FromHandle(reinterpret_cast<HMIXEROBJ>(mixer));
    if (!m) return MMSYSERR_INVALHANDLE;
    MMRESULT r = m->board ? BoardDriver()(m->boardDevice, MXDM_CLOSE, m->boardUser, 0, 0)
                          : mixerClose(m->system);
    m->magic = 0;
    delete m;
    return r;
}

extern "C" MMRESULT WINAPI HwMixerGetControlDetailsA(HMIXEROBJ object,
                                                     LPMIXERCONTROLDETAILS details, DWORD flags) {
    return Details(object, details, flags, false);
}

extern "C" MMRESULT WINAPI HwMixerSetControlDetails(HMIXEROBJ object,
                                                    LPMIXERCONTROLDETAILS details, DWORD flags) {
    return Details(object, details, flags, true);
}
