// The DDE server of the resident remote-control program: service "remctl", topic "infoctl",
// item "control", CF_TEXT. Every name is handed to the clients' advise loops as one advise.
#pragma once
#include <windows.h>

#include <ddeml.h>

#include <string>

namespace remctl {

class DdeServer {
public:
    // Registers the service; false when DDE cannot be initialised or the name not registered.
    bool Start();
    void Stop();
    // One advise of name to every advise loop on "control".
    void Advise(const std::string& name);
    int Clients() const { return clients_; }
    // Posted message (wParam = number of clients) when a client connects or goes.
    void NotifyClients(HWND window, UINT message) {
        notifyWindow_ = window;
        notifyMessage_ = message;
    }

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conversation, HSZ hsz1, HSZ hsz2,
                                      HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
    HDDEDATA OnTransaction(UINT type, UINT format, HSZ hsz1, HSZ hsz2);
    HDDEDATA NameData(const std::string& name, HSZ item) const;
    void ClientsChanged(int delta);

    DWORD instance_ = 0;
    HSZ service_ = nullptr, topic_ = nullptr, item_ = nullptr;
    bool registered_ = false;
    std::string current_;  // the name being advised; also the answer to a request
    int clients_ = 0;
    HWND notifyWindow_ = nullptr;
    UINT notifyMessage_ = 0;
};

}  // namespace remctl
