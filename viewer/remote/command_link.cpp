#include "command_link.h"

#include <windows.h>
#include <ddeml.h>

#include <cstring>

#include "command_filter.h"
#include "commands.h"
#include "viewer_state.h"
#include "viewer_util.h"

namespace {

DWORD g_instance = 0;
HCONV g_conversation = nullptr;
PFNCALLBACK g_callback = nullptr;

FilterContext CurrentContext() {
    FilterContext c{};
    c.mouseCaptured = GetCapture() != nullptr;
    c.setupWindowExists = FindSetupWindow() != nullptr;
    c.voiceReceiverExists = g_viewer.voiceReceiver != nullptr;
    c.ownWindowActive = IsOwnWindowActive();
    c.mainWindowDragging = g_viewer.mainWindowDragging != 0;
    HWND active = GetActiveWindow();
    c.hasActiveWindow = active != nullptr;
    if (active) {
        char title[32] = {};
        GetWindowTextA(active, title, sizeof title);
        c.activeTitle = title;
    }
    return c;
}

HDDEDATA CALLBACK LinkCallback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
    if (type != XTYP_ADVDATA) return nullptr;
    DWORD size = DdeGetData(data, nullptr, 0, 0);
    if (size == 0) return reinterpret_cast<HDDEDATA>(DDE_FACK);
    char name[kMaxCommandName + 1] = {};
    DWORD take = size < kMaxCommandName ? size : static_cast<DWORD>(kMaxCommandName);
    DdeGetData(data, reinterpret_cast<LPBYTE>(name), take, 0);
    name[kMaxCommandName] = '\0';
    if (FilterPassesName(name, CurrentContext())) DispatchCommandName(name);
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

}  // namespace

int OpenCommandLink() {
    if (!g_callback) g_callback = LinkCallback;
    if (!g_instance && DdeInitializeA(&g_instance, g_callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        g_instance = 0;
        return 1;
    }
    HSZ service = DdeCreateStringHandleA(g_instance, "remctl", CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(g_instance, "infoctl", CP_WINANSI);
    HSZ item = DdeCreateStringHandleA(g_instance, "control", CP_WINANSI);
    g_conversation = DdeConnect(g_instance, service, topic, nullptr);
    DdeFreeStringHandle(g_instance, service);
    DdeFreeStringHandle(g_instance, topic);
    if (!g_conversation) {
        DdeFreeStringHandle(g_instance, item);
        return 1;
    }
    DWORD result = 0;
    DdeClientTransaction(nullptr, 0, g_conversation, item, CF_TEXT, XTYP_ADVSTART | XTYPF_ACKREQ,
                         TIMEOUT_ASYNC, &result);
    DdeFreeStringHandle(g_instance, item);
    return 0;
}

void CloseCommandLink() {
    if (g_conversation) {
        DdeDisconnect(g_conversation);
        g_conversation = nullptr;
    }
    if (g_instance) {
        DdeUninitialize(g_instance);
        g_instance = 0;
    }
}
