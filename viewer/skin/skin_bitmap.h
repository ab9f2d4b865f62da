// Bitmap resources of the skins: one cache entry per resource name, for the program's life.
// Portable: the resource bytes come from a loader the Win32 side installs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Where the packed DIB starts in a resource, and where its pixels are.
struct DibLayout {
    bool valid;
    int32_t width;
    int32_t height;       // as in the header (negative: top-down)
    uint16_t bitCount;
    uint32_t colours;     // entries of the colour table
    size_t pixelOffset;   // from the start of the resource
};

// Reads a packed DIB's header. A header that does not fit in size bytes, or whose colour table
// or rows would run past them, is not valid.
DibLayout ReadDibLayout(const void* data, size_t size);

class SkinBitmap {
public:
    std::string name;
    const void* data = nullptr;  // the locked resource, nullptr when missing
    size_t size = 0;
    SkinBitmap* next = nullptr;

    // From the header, read on the first query; 0 x 0 for a missing or broken resource.
    void Size(int32_t& width, int32_t& height);

private:
    bool sized_ = false;
    int32_t width_ = 0, height_ = 0;
};

// Returns the bytes of a bitmap resource (nullptr when there is none) and its size.
using SkinResourceLoader = std::function<const void*(const char* name, size_t* size)>;
void SetSkinResourceLoader(SkinResourceLoader loader);

// The cached entry of that name (exact, case-sensitive), loading it on first use.
SkinBitmap* GetSkinBitmap(const char* name);
// Deletes every entry (at exit).
void FreeSkinBitmaps();
// The head of the cache list, newest first.
SkinBitmap* SkinBitmapCache();
