// BOARDMIX.DRV: the mixer driver of the board's sound hardware (product identifier 23).
#include "board_api.h"

#include <mmsystem.h>
#include <mmddk.h>

extern "C" __declspec(dllexport) DWORD WINAPI mxdMessage(UINT deviceId, UINT message,
                                                          DWORD_PTR user, DWORD_PTR param1,
                                                          DWORD_PTR param2) {
    return BoardMixerMessage(deviceId, message, user, param1, param2);
}

// The installable-driver entry every driver module has; the mixer needs nothing of it.
extern "C" __declspec(dllexport) LRESULT WINAPI DriverProc(DWORD_PTR, HDRVR, UINT message,
                                                           LPARAM, LPARAM) {
    switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_OPEN:
    case DRV_CLOSE:
        return 1;
    }
    return 0;
}
