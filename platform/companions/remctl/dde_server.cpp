#include "dde_server.h"

namespace remctl {

namespace {
// The DDE manager's callback has no context of its own.
DdeServer* g_server = nullptr;
}  // namespace

bool DdeServer::Start() {
    g_server = this;
    const DWORD flags = APPCLASS_STANDARD | CBF_FAIL_EXECUTES | CBF_FAIL_POKES | CBF_SKIP_REGISTRATIONS |
                        CBF_SKIP_UNREGISTRATIONS;
    if (DdeInitializeA(&instance_, Callback, flags, 0) != DMLERR_NO_ERROR) {
        instance_ = 0;
        return false;
    }
    service_ = DdeCreateStringHandleA(instance_, "remctl", CP_WINANSI);
    topic_ = DdeCreateStringHandleA(instance_, "infoctl", CP_WINANSI);
    item_ = DdeCreateStringHandleA(instance_, "control", CP_WINANSI);
    registered_ = service_ && topic_ && item_ && DdeNameService(instance_, service_, nullptr, DNS_REGISTER);
    if (!registered_) Stop();
    return registered_;
}

void DdeServer::Stop() {
    notifyWindow_ = nullptr;
    if (instance_) {
        if (registered_) DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
        for (HSZ* h : {&service_, &topic_, &item_}) {
            if (*h) DdeFreeStringHandle(instance_, *h);
            *h = nullptr;
        }
        DdeUninitialize(instance_);
    }
    instance_ = 0;
    registered_ = false;
    clients_ = 0;
    g_server = nullptr;
}

void DdeServer::Advise(const std::string& name) {
    if (!instance_) return;
    current_ = name;
    // The manager asks for the data (XTYP_ADVREQ) once per advise loop before this returns.
    DdePostAdvise(instance_, topic_, item_);
}

HDDEDATA DdeServer::NameData(const std::string& name, HSZ item) const {
    return DdeCreateDataHandle(instance_, reinterpret_cast<LPBYTE>(const_cast<char*>(name.c_str())),
                               static_cast<DWORD>(name.size() + 1), 0, item, CF_TEXT, 0);
}

void DdeServer::ClientsChanged(int delta) {
    clients_ += delta;
    if (clients_ < 0) clients_ = 0;
    if (notifyWindow_) PostMessageA(notifyWindow_, notifyMessage_, static_cast<WPARAM>(clients_), 0);
}

HDDEDATA CALLBACK DdeServer::Callback(UINT type, UINT format, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA,
                                      ULONG_PTR, ULONG_PTR) {
    return g_server ? g_server->OnTransaction(type, format, hsz1, hsz2) : nullptr;
}

HDDEDATA DdeServer::OnTransaction(UINT type, UINT format, HSZ hsz1, HSZ hsz2) {
    const bool ourTopic = hsz1 && DdeCmpStringHandles(hsz1, topic_) == 0;
    switch (type) {
    case XTYP_CONNECT:  // hsz1 topic, hsz2 service
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(
            ourTopic && DdeCmpStringHandles(hsz2, service_) == 0));
    case XTYP_CONNECT_CONFIRM:
        ClientsChanged(+1);
        return nullptr;
    case XTYP_DISCONNECT:
        ClientsChanged(-1);
        return nullptr;
    case XTYP_ADVSTART:  // hsz1 topic, hsz2 item
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(
            ourTopic && DdeCmpStringHandles(hsz2, item_) == 0 && format == CF_TEXT));
    case XTYP_ADVSTOP:
        return nullptr;
    case XTYP_ADVREQ:
    case XTYP_REQUEST:
        if (!ourTopic || DdeCmpStringHandles(hsz2, item_) != 0 || format != CF_TEXT) return nullptr;
        return NameData(current_, item_);
    default:
        return nullptr;
    }
}

}  // namespace remctl
