// A program that uses vddusr32 as a 16-bit caller's process would: it runs the commands of
// its command line in order and writes one result line per command to the file named first.
//   load | load16 | unload                        vddusr32.dll / VDDUSR16.DLL
//   exports                                        how many of the eight names vddusr32 exports
//   call | count | size | mode                     _DLL32Call@0, _ddGetUserCount32@0 ...
//   add W H FOURCC PAIR | release N | offset N | stride N
//   16:<any call above>                            the same call through VDDUSR16.DLL
//   set FIELD VALUE | lose                         the test DirectDraw's control
//   wait EVENT                                     until the named event is set (60 s at most)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "test_ddraw_control.h"
#include "vddusr16_link.h"

namespace {

HMODULE g_helper = nullptr;
HMODULE g_partner = nullptr;

template <typename F>
F Proc(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

uint32_t Number(const char* text) {
    if (std::strlen(text) == 4 && !(text[0] >= '0' && text[0] <= '9')) {
        return static_cast<uint8_t>(text[0]) | static_cast<uint8_t>(text[1]) << 8 |
               static_cast<uint8_t>(text[2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
    }
    return static_cast<uint32_t>(std::strtoul(text, nullptr, 0));
}

const char* const kExports[] = {"_DLL32Call@0",      "_ddAdd32@16",         "_ddGetBufferSize32@0",
                                "_ddGetMode32@0",    "_ddGetOffset32@4",    "_ddGetStride32@4",
                                "_ddGetUserCount32@0", "_ddRelease32@4"};

// One call of the helper, directly or through the partner; "missing" when it is not loaded.
std::string Call(const std::string& name, char** args, int available, int* used) {
    const bool via16 = name.rfind("16:", 0) == 0;
    const std::string op = via16 ? name.substr(3) : name;
    auto arg = [&](int i) { return i < available ? Number(args[i]) : 0u; };
    long result = 0;
    bool found = true;
    *used = 0;
    if (!via16) {
        if (op == "call") {
            auto f = Proc<LONG(WINAPI*)()>(g_helper, "_DLL32Call@0");
            found = f && ((result = f()), true);
        } else if (op == "count") {
            auto f = Proc<LONG(WINAPI*)()>(g_helper, "_ddGetUserCount32@0");
            found = f && ((result = f()), true);
        } else if (op == "size") {
            auto f = Proc<LONG(WINAPI*)()>(g_helper, "_ddGetBufferSize32@0");
            found = f && ((result = f()), true);
        } else if (op == "mode") {
            auto f = Proc<LONG(WINAPI*)()>(g_helper, "_ddGetMode32@0");
            found = f && ((result = f()), true);
        } else if (op == "add") {
            auto f = Proc<LONG(WINAPI*)(DWORD, DWORD, DWORD, DWORD)>(g_helper, "_ddAdd32@16");
            *used = 4;
            found = f && ((result = f(arg(0), arg(1), arg(2), arg(3))), true);
        } else {
            const char* export_ = op == "release" ? "_ddRelease32@4"
                                  : op == "offset" ? "_ddGetOffset32@4"
                                  : op == "stride" ? "_ddGetStride32@4"
                                                   : nullptr;
            if (!export_) return "unknown";
            auto f = Proc<LONG(WINAPI*)(DWORD)>(g_helper, export_);
            *used = 1;
            found = f && ((result = f(arg(0))), true);
        }
    } else {
        if (!g_partner) g_partner = GetModuleHandleA("VDDUSR16.DLL");
        if (op == "call") {
            auto f = Proc<Vdd16DLL32Call>(g_partner, "DLL32Call");
            found = f && ((result = static_cast<LONG>(f())), true);
        } else if (op == "count") {
            auto f = Proc<Vdd16ddGetUserCount32>(g_partner, "ddGetUserCount32");
            found = f && ((result = static_cast<LONG>(f())), true);
        } else if (op == "size") {
            auto f = Proc<Vdd16ddGetBufferSize32>(g_partner, "ddGetBufferSize32");
            found = f && ((result = static_cast<LONG>(f())), true);
        } else if (op == "mode") {
            auto f = Proc<Vdd16ddGetMode32>(g_partner, "ddGetMode32");
            found = f && ((result = static_cast<LONG>(f())), true);
        } else if (op == "add") {
            auto f = Proc<Vdd16ddAdd32>(g_partner, "ddAdd32");
            *used = 4;
            found = f && ((result = static_cast<LONG>(
                               f(static_cast<WORD>(arg(0)), static_cast<WORD>(arg(1)), arg(2), arg(3)))),
                          true);
        } else if (op == "release") {
            auto f = Proc<Vdd16ddRelease32>(g_partner, "ddRelease32");
            *used = 1;
            found = f && ((result = static_cast<LONG>(f(static_cast<WORD>(arg(0))))), true);
        } else if (op == "offset") {
            auto f = Proc<Vdd16ddGetOffset32>(g_partner, "ddGetOffset32");
            *used = 1;
            found = f && ((result = static_cast<LONG>(f(static_cast<WORD>(arg(0))))), true);
        } else if (op == "stride") {
            auto f = Proc<Vdd16ddGetStride32>(g_partner, "ddGetStride32");
            *used = 1;
            found = f && ((result = static_cast<LONG>(f(static_cast<WORD>(arg(0))))), true);
        } else {
            return "unknown";
        }
    }
    return found ? std::to_string(result) : "missing";
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    if (argc < 2) return 2;
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 3;
    for (int i = 2; i < argc; ++i) {
        const std::string cmd = argv[i];
        std::string result = "ok";
        if (cmd == "load") {
            g_helper = LoadLibraryA("vddusr32.dll");
            if (!g_helper) result = "fail";
        } else if (cmd == "load16") {
            g_partner = LoadLibraryA("VDDUSR16.DLL");
            if (!g_partner) result = "fail";
        } else if (cmd == "unload") {
            if (!g_helper || !FreeLibrary(g_helper)) result = "fail";
            g_helper = nullptr;
        } else if (cmd == "exports") {
            int n = 0;
            for (const char* name : kExports) n += Proc<FARPROC>(g_helper, name) ? 1 : 0;
            result = std::to_string(n);
        } else if (cmd == "set" && i + 2 < argc) {
            if (!testddraw::SetField(testddraw::OpenControl(), argv[i + 1], Number(argv[i + 2]))) result = "unknown";
            i += 2;
        } else if (cmd == "lose") {
            InterlockedIncrement(reinterpret_cast<LONG*>(&testddraw::OpenControl()->lostEpoch));
        } else if (cmd == "wait" && i + 1 < argc) {
            HANDLE event = CreateEventA(nullptr, TRUE, FALSE, argv[++i]);
            if (!event || WaitForSingleObject(event, 60000) != WAIT_OBJECT_0) result = "timeout";
            if (event) CloseHandle(event);
        } else {
            int used = 0;
            result = Call(cmd, argv + i + 1, argc - i - 1, &used);
            i += used;
        }
        std::fprintf(out, "%s\n", result.c_str());
        std::fflush(out);
    }
    std::fclose(out);
    return 0;
}
