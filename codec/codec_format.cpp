#include "codec_format.h"

namespace vancodc {

const CodecFormat kCodecFormats[kCodecFormatCount] = {
    {100, 40, 8, 0, 0, "8 bit Palettized"},
    {101, 40, 16, 0, 0, "16 bit RGB"},
    {102, 40, 24, 0, 0, "24 bit RGB"},
    {105, 40, 8, FourCC('r', '0', 'r', '3'), 0, "Overlay 8 bit Palettized"},
    {106, 40, 16, FourCC('r', '0', 'r', '5'), 0, "Overlay 16 bit RGB (555)"},
    {107, 40, 16, FourCC('t', '5', '6', '5'), 0, "16 bit RGB (565)"},
    {108, 40, 24, FourCC('r', '0', 'r', '8'), 0, "Overlay 24 bit RGB (888)"},
    {109, 40, 32, FourCC('r', '0', 'r', 'c'), 0, "Overlay 32 bit RGB"},
    {103, 40, 16, FourCC('y', 'u', 'v', 'u'), 0, "Overlay C&T YUV411 Unpacked"},
    {104, 40, 16, FourCC('y', 'u', 'v', 'p'), 0, "Overlay C&T YUV411 Packed"},
    {110, 40, 16, FourCC('r', '0', 'u', '1'), 0, "Overlay YUV411 Unpacked"},
    {111, 40, 16, FourCC('r', '0', 'y', '1'), 0, "Overlay YUV411 Packed"},
    {113, 44, 8, FourCC('r', 't', 'c', '3'), 0, "Compressed 8 bit Palettized"},
    {114, 44, 16, FourCC('r', 't', 'c', '5'), 0, "Compressed 16 bit RGB (555)"},
    {112, 40, 16, FourCC('t', 'y', '2', 'n'), 0, "Overlay YUV422"},
    {116, 44, 16, FourCC('r', 't', 'c', '6'), 0, "Compressed 16 bit RGB (565)"},
    {117, 44, 16, FourCC('t', 'y', '2', 'c'), 0, "Compressed YUV422"},
    {119, 44, 16, FourCC('t', 'y', '2', 'd'), 0, "Compressed YUV422"},
    {118, 44, 12, FourCC('t', 'y', '0', 'n'), 0, "Overlay YUV420"},
};

const CodecFormat* FindFormatByCompression(uint32_t compression) {
    for (const CodecFormat& row : kCodecFormats) {
        if (row.compression == compression) return &row;
    }
    return nullptr;
}

const CodecFormat* FindFormatByBitCount(uint16_t bitCount) {
    switch (bitCount) {
    case 8: return FindFormatById(kFormatRgb8);
    case 16: return FindFormatById(kFormatRgb16);
    case 24: return FindFormatById(kFormatRgb24);
    default: return nullptr;
    }
}

const CodecFormat* FindFormatForHeader(uint32_t compression, uint16_t bitCount) {
    return compression == 0 ? FindFormatByBitCount(bitCount) : FindFormatByCompression(compression);
}

const CodecFormat* FindFormatById(uint32_t id) {
    for (const CodecFormat& row : kCodecFormats) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

}  // namespace vancodc
