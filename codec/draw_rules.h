// The draw handler's decisions that need no window system: which formats the overlay takes, where
// the overlay goes and how much of the frame it shows, and the copy of a frame into a YUY2
// overlay surface.
#pragma once
#include <cstdint>

#include "codec_instance.h"

namespace vancodc {

constexpr uint32_t kDrawQueryOnly = 0x1;
constexpr uint32_t kDrawFullScreen = 0x2;
constexpr int32_t kSuggestFormatResult = 1064;

// The format the overlay copy takes (ty2n, ty2c, ty0n, ty2d), found from the header; 0 when none
// or when the header's size is not one a frame can have.
uint32_t OverlayFormatOf(const void* header);
// 0 when the overlay can show the format, else -2.
int32_t DrawQuery(bool usable, const void* header);

// The begin request's values that the draw state keeps.
struct BeginRequest {
    uint32_t flags;
    int32_t dstX, dstY, dstWidth, dstHeight;
    const void* format;
    int32_t srcX, srcY, srcWidth, srcHeight;
};

// Steps of a begin that only record: decode flags, frame, format, stored size, source rectangle,
// quality and flags. The destination comes from `fullScreenClient` when the begin is full-screen.
void RecordBegin(DrawRecord& draw, const BeginRequest& request, const Rect32& fullScreenClient);

// Where the overlay goes for a destination at screen (x, y) of w x h.
struct OverlayPlacement {
    Rect32 source;       // in the overlay surface
    Rect32 destination;  // on the screen
    double shrinkX;      // -1 when the overlay is not shrunk in software
    double shrinkY;
};
OverlayPlacement PlaceOverlay(const DrawRecord& draw, int32_t x, int32_t y, int32_t w, int32_t h,
                              int32_t screenWidth, int32_t screenHeight);

// 4:2:0 planes of W' x H' re-packed into 4:2:2 (Y0 U Y1 V) of the same size; `out` holds W' x H' x 2.
void RepackPlanarToPacked(const uint8_t* planes, uint16_t width, uint16_t height, uint8_t* out);

// A locked overlay surface.
struct SurfaceView {
    uint8_t* bits;
    int32_t pitch;
    uint32_t width;   // pixels
    uint32_t height;
};

// Copies a bottom-up packed 4:2:2 frame of W' x H' into the top-down surface, decimating with the
// shrink factors; nothing is written outside the surface's rows and pitch.
void CopyFrameToOverlay(const uint8_t* frame, uint16_t width, uint16_t height, double shrinkX,
                        double shrinkY, const SurfaceView& surface);

}  // namespace vancodc
