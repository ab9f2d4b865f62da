// The mixer functions through which the system reaches the sound hardware.
//
// They take the arguments and give the results of winmm's mixer functions. The devices listed
// are the system's mixer devices followed by those of the board's mixer driver, the module
// "BOARDMIX.DRV" when it can be loaded (entry "mxdMessage", the standard mixer-driver protocol).
#pragma once
#include <windows.h>
#include <mmsystem.h>

#ifdef __cplusplus
extern "C" {
#endif

UINT WINAPI HwMixerGetNumDevs(void);
MMRESULT WINAPI HwMixerGetDevCapsA(UINT_PTR deviceId, LPMIXERCAPSA caps, UINT capsSize);
MMRESULT WINAPI HwMixerOpen(LPHMIXER mixer, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance,
                            DWORD flags);
MMRESULT WINAPI HwMixerClose(HMIXER mixer);
MMRESULT WINAPI HwMixerGetControlDetailsA(HMIXEROBJ object, LPMIXERCONTROLDETAILS details,
                                          DWORD flags);
MMRESULT WINAPI HwMixerSetControlDetails(HMIXEROBJ object, LPMIXERCONTROLDETAILS details,
                                         DWORD flags);

#ifdef __cplusplus
}
#endif
