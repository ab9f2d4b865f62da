// Another program that loads kvtun32.dll: "load TAG" loads it from this program's folder,
// sets the event TAG_ready and keeps it until the event TAG_quit (or a minute) has passed;
// the process then ends, which detaches the library. Exit code 1 when the load fails.
#include <windows.h>

#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], "load") != 0) return 2;
    const std::string tag = argv[2];
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (tag + "_ready").c_str());
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (tag + "_quit").c_str());
    if (!ready || !quit) return 3;
    if (!LoadLibraryA("kvtun32.dll")) return 1;
    SetEvent(ready);
    WaitForSingleObject(quit, 60000);
    return 0;
}
