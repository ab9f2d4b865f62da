// Calls Kvhook and KVTHK32 from a second process, linked through their import libraries as the
// viewer is (built for both targets, so the i686 build proves that stdcall callers link).
//   companions_peer hook-install [0xINSTANCE] | hook-remove | start-dos N | dos-instance N | thk N
//                   | count-hook | count-thk   (any number, in order)
// Exit code: the last count asked for, else 0; 100 for a word it does not know.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "kvhook.h"
#include "kvthk32.h"

int main(int argc, char** argv) {
    int result = 0;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        const bool hasValue = i + 1 < argc && std::strchr("0123456789-", argv[i + 1][0]);
        const unsigned long long value = hasValue ? std::strtoull(argv[i + 1], nullptr, 0) : 0;
        if (!std::strcmp(word, "hook-install")) {
            TvInstallHook(hasValue ? reinterpret_cast<HINSTANCE>(static_cast<UINT_PTR>(value))
                                   : GetModuleHandleA(nullptr));
        } else if (!std::strcmp(word, "hook-remove")) {
            TvRemoveHook();
        } else if (!std::strcmp(word, "start-dos") && hasValue) {
            SetStartDos(static_cast<int>(std::strtol(argv[i + 1], nullptr, 0)));
        } else if (!std::strcmp(word, "dos-instance") && hasValue) {
            SetDosTvInstance(static_cast<DWORD>(value));
        } else if (!std::strcmp(word, "thk") && hasValue) {
            KvThkSetTvOwner(static_cast<DWORD>(value));
        } else if (!std::strcmp(word, "count-hook")) {
            result = KvhookCallCount();
        } else if (!std::strcmp(word, "count-thk")) {
            result = KvThkCallCount();
        } else {
            return 100;
        }
        if (hasValue) ++i;
    }
    return result;
}
