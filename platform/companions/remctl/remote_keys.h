// The keys of the remote control and where the remote's window shows them. Portable: no windows.h.
#pragma once
#include <cstddef>

namespace remctl {

struct RemoteKey {
    const char* name;   // the command name handed to the clients
    const char* label;  // Shift-JIS
};

constexpr size_t kKeyCount = 13;
extern const RemoteKey kKeys[kKeyCount];

struct Box {
    int left, top, right, bottom;
};

// Client-area layout: the keys three to a row, then the edit line with its send button, then
// the status line.
struct RemoteLayout {
    Box keys[kKeyCount];
    Box edit;
    Box send;
    Box status;
    int width, height;  // of the client area
};

RemoteLayout LayOutRemote();

}  // namespace remctl
