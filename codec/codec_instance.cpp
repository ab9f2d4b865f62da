#include "codec_instance.h"

#include <cstring>
#include <new>

#include "stored_size.h"

namespace vancodc {

namespace {

void CopyText(char* dst, const char* src) {
    size_t n = std::strlen(src);
    if (n > kDescriptionSize - 1) n = kDescriptionSize - 1;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

bool BuildDefaultFrame(DefaultFrame& frame) {
    frame.width = 720;
    frame.height = 480;
    frame.bitCount = 8;
    frame.imageSize = frame.width * frame.height;
    const CodecFormat* row = FindFormatForHeader(0, frame.bitCount);
    if (!row) return false;
    frame.formatId = row->id;
    return true;
}

}  // namespace

int32_t LoadDriver(SharedCodecState& shared) {
    const bool first = shared.loadCount == 0;
    ++shared.loadCount;
    if (first) {
        shared.defaultQuality = 100;
        if (!BuildDefaultFrame(shared.defaultFrame)) {
            --shared.loadCount;
            return 0;
        }
    }
    return 1;
}

void FreeDriver(SharedCodecState& shared, ProcessCodecState& process) {
    if (process.opened) {
        process.opened = false;
        --shared.loadCount;
    }
}

CodecInstance* OpenInstance(SharedCodecState& shared, ProcessCodecState& process, uint32_t type,
                            uint32_t handler, uint32_t flags, int32_t* error) {
    if (flags == 1) return nullptr;  // compression is not offered
    if (type != kTypeVidc && type != kTypeVids) return nullptr;

    CodecInstance* instance = new (std::nothrow) CodecInstance{};
    if (!instance || shared.instanceCount > kMaxInstances - 1) {
        delete instance;
        if (error) *error = kIcErrMemory;
        return nullptr;
    }
    instance->number = uint32_t(++shared.instanceCount);
    instance->openFlags = flags;
    if (error) *error = kIcErrOk;
    instance->handler = handler;

    if (handler == kHandlerDraw) {
        CopyText(instance->description, "VIDS.DRAW Driver");
    } else {
        const CodecFormat* row = FindFormatByCompression(handler);
        if (!row) {
            --shared.instanceCount;
            delete instance;
            return nullptr;
        }
        CopyText(instance->description, row->name);
    }
    CopyText(process.lastDescription, instance->description);
    process.opened = true;
    return instance;
}

void CloseInstance(SharedCodecState& shared, CodecInstance* instance) {
    if (!instance) return;
    while (instance->compressBegins > 0) --instance->compressBegins;
    while (instance->decompressBegins > 0) --instance->decompressBegins;
    while (instance->drawBegins > 0) --instance->drawBegins;
    if (shared.instanceCount > 0) --shared.instanceCount;
    delete instance;
}

}  // namespace vancodc
