// A client bound to kvtun32.dll at load time through the import library by ordinal, as the
// viewer is: tunes the channel given and answers 0 when every call answered as expected.
#include <cstdlib>

#include "kvtun32.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (GetUseTuner() != 0 || GetPipeLine() != 0 || StillTV(0) != -1) return 3;
    return SelChannel(static_cast<DWORD>(std::strtoul(argv[1], nullptr, 0))) == 0 ? 0 : 4;
}
