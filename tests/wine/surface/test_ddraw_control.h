// The shared control of the test DirectDraw: what its objects answer, what they hold and the
// calls they received, in a named mapping that the test, the driver and every process that
// loaded the test "ddraw.dll" see alike.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace testddraw {

inline constexpr char kMappingName[] = "KivoTestDirectDrawControl";
inline constexpr uint32_t kReady = 0x44445444;
inline constexpr uint32_t kLogSize = 1024;

enum Method : uint32_t {
    kDirectDrawCreate = 1,
    kSetCooperativeLevel,
    kCreateSurface,
    kGetCaps,
    kReleaseDirectDraw,
    kIsLost,
    kRestore,
    kGetSurfaceDesc,
    kLock,
    kUnlock,
    kUpdateOverlay,
    kReleaseSurface,
    kUnsupported,
    kGetDC,
    kReleaseDC,
    kSetColorKey,
};

// arg of kCreateSurface: desc size, flags, width, height, caps, pixel-format size, its flags,
// FOURCC, bit count, red, green, blue and alpha masks. kUpdateOverlay: source rectangle (4),
// destination rectangle (4), flags, effects given, destination surface. kSetCooperativeLevel:
// desktop window given, flags. kGetCaps: driver and emulation record sizes. kLock: rectangle
// given, flags, desc size. kSetColorKey: flags, low and high value.
struct Call {
    uint32_t process;
    uint32_t method;
    uint32_t surface;  // the surface's number (1, 2 ...), 0 for the DirectDraw object
    int32_t result;
    uint32_t arg[13];
};

struct Control {
    uint32_t ready;
    // Answers of the objects; 0 (DD_OK) behaves normally.
    int32_t createResult;
    int32_t cooperativeResult;
    int32_t primaryResult;
    int32_t overlayResult;
    int32_t updateResult;
    int32_t capsResult;
    int32_t restoreResult;
    int32_t describeResult;
    int32_t lockResult;
    uint32_t stillDrawingLocks;  // the next Locks answering DDERR_WASSTILLDRAWING
    uint32_t fourccCodes;        // dwNumFourCCCodes
    uint32_t maxOverlays;        // overlays the engine shows at once, in all processes
    uint32_t heldByOthers;       // of those, shown by a program that does not use this DirectDraw
    uint32_t vidMemTotal;
    uint32_t screenWidth, screenHeight, screenBits;
    uint32_t lostEpoch;  // surfaces made or restored before this epoch are lost
    // What the objects hold, in all processes.
    uint32_t nextSurface;
    uint32_t liveObjects;
    uint32_t livePrimaries;
    uint32_t liveOverlays;
    uint32_t shownOverlays;
    uint32_t calls;
    Call log[kLogSize];
};

inline void SetDefaults(Control* c) {
    std::memset(c, 0, sizeof *c);
    c->fourccCodes = 3;
    c->maxOverlays = 1;
    c->vidMemTotal = 4u << 20;
    c->screenWidth = 640;
    c->screenHeight = 480;
    c->screenBits = 16;
    c->ready = kReady;
}

// The process's view of the control; the defaults are written when nobody has set it up.
inline Control* OpenControl() {
    static Control* control = nullptr;
    if (control) return control;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Control),
                                        kMappingName);
    if (!mapping) return nullptr;
    control = static_cast<Control*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Control)));
    if (control && control->ready != kReady) SetDefaults(control);
    return control;
}

// Behaviour fields by name, for scripts: "createResult", "fourccCodes" ...
inline bool SetField(Control* c, const char* name, uint32_t value) {
    struct Field {
        const char* name;
        void* field;
    };
    const Field fields[] = {
        {"createResult", &c->createResult},     {"cooperativeResult", &c->cooperativeResult},
        {"primaryResult", &c->primaryResult},   {"overlayResult", &c->overlayResult},
        {"updateResult", &c->updateResult},     {"capsResult", &c->capsResult},
        {"restoreResult", &c->restoreResult},   {"describeResult", &c->describeResult},
        {"lockResult", &c->lockResult},         {"stillDrawingLocks", &c->stillDrawingLocks},
        {"fourccCodes", &c->fourccCodes},       {"maxOverlays", &c->maxOverlays},
        {"heldByOthers", &c->heldByOthers},     {"vidMemTotal", &c->vidMemTotal},
    };
    for (const Field& f : fields) {
        if (std::strcmp(f.name, name) == 0) {
            std::memcpy(f.field, &value, sizeof value);
            return true;
        }
    }
    return false;
}

}  // namespace testddraw
