// Another program on the machine's board: "open" opens ZTUNER.VXD and answers 0 when it
// could; "tune N" tunes channel code N and answers 0.
#include <cstdlib>
#include <cstring>

#include "vxd.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    HANDLE device = VxdOpen("ZTUNER.VXD");
    if (device == INVALID_HANDLE_VALUE) return 1;
    int result = 0;
    if (std::strcmp(argv[1], "tune") == 0 && argc > 2) {
        unsigned code = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 0));
        unsigned char in[2] = {static_cast<unsigned char>(code), static_cast<unsigned char>(code >> 8)};
        DWORD returned = 0;
        result = VxdControl(device, 16, in, 2, nullptr, 0, &returned, nullptr) ? 0 : 3;
    }
    VxdClose(device);
    return result;
}
