// The driver's records: one CodecInstance per open, the state every process shares, and the
// state of one process. Opening, closing, loading and freeing work on them.
#pragma once
#include <cstdint>

#include "codec_format.h"

namespace vancodc {

// Result codes of the compression manager.
constexpr int32_t kIcErrOk = 0;
constexpr int32_t kIcErrUnsupported = -1;
constexpr int32_t kIcErrBadFormat = -2;
constexpr int32_t kIcErrMemory = -3;
constexpr int32_t kIcErrInternal = -4;
constexpr int32_t kIcErrError = -100;

constexpr uint32_t kTypeVidc = FourCC('v', 'i', 'd', 'c');
constexpr uint32_t kTypeVids = FourCC('v', 'i', 'd', 's');
constexpr uint32_t kHandlerDraw = FourCC('d', 'r', 'a', 'w');
constexpr int32_t kMaxInstances = 10;
constexpr int kDescriptionSize = 128;

struct Rect32 {
    int32_t left, top, right, bottom;
};

// What the draw handler keeps between its messages.
struct DrawRecord {
    void* window;
    uint32_t beginFlags;
    uint32_t formatId;
    uint16_t decodeFlags;
    uint16_t storedWidth;
    uint16_t storedHeight;
    Rect32 frame;
    Rect32 source;
    Rect32 destination;
    int32_t screenX;
    int32_t screenY;
    bool palette;
    bool flipRows;
    uint32_t quality;
    void* dc;
};

struct CodecInstance {
    uint32_t number;   // 1..10
    uint32_t openFlags;
    int32_t compressBegins;
    int32_t decompressBegins;
    int32_t drawBegins;
    uint32_t handler;
    char description[kDescriptionSize];
    void* drawDib;     // the "draw" handler's DIB drawing handle
    uint32_t sourceId;
    uint32_t destId;
    uint16_t decodeFlags;
    bool familiesDiffer;
    DrawRecord draw;
};

// The frame description a first load builds for the capture hardware layer.
struct DefaultFrame {
    uint32_t width;
    uint32_t height;
    uint16_t bitCount;
    uint32_t imageSize;
    uint32_t formatId;
};

// One copy for every process that loads the driver. Plain memory, no interlocking: callers open
// and close from one thread at a time.
struct SharedCodecState {
    int32_t instanceCount;
    int32_t loadCount;
    int32_t overlaySlot[2];
    int32_t overlayInUse;
    int32_t defaultQuality;
    DefaultFrame defaultFrame;
};

struct ProcessCodecState {
    char lastDescription[kDescriptionSize];
    bool opened;
};

// DRV_LOAD: 1, or 0 when the default set-up cannot be made (the count is lowered again).
int32_t LoadDriver(SharedCodecState& shared);
// DRV_FREE.
void FreeDriver(SharedCodecState& shared, ProcessCodecState& process);

// DRV_OPEN with an open request. nullptr when refused; *error is set as the request's error
// field is (-3 for no record or no instance number left, 0 once the record exists), and left
// alone for refusals that come before.
CodecInstance* OpenInstance(SharedCodecState& shared, ProcessCodecState& process, uint32_t type,
                            uint32_t handler, uint32_t flags, int32_t* error);

// DRV_CLOSE: ends every begun compression, decompression and draw, then frees the record.
// The caller closes the DIB drawing handle first.
void CloseInstance(SharedCodecState& shared, CodecInstance* instance);

}  // namespace vancodc
