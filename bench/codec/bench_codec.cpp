// Each conversion at 640 x 480 output beside libyuv's and swscale's nearest routines and a
// memcpy of the output size. Items are output pixels, so items_per_second compares directly.
#include <benchmark/benchmark.h>
#include <libyuv.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <cstring>
#include <random>
#include <vector>

#include "codec_format.h"
#include "convert_row.h"
#include "frame_convert.h"

using namespace vancodc;

namespace {

constexpr int kW = 640;
constexpr int kH = 480;
constexpr int kPixels = kW * kH;

std::vector<uint8_t> Noise(size_t n) {
    std::vector<uint8_t> v(n);
    std::mt19937 rng(1);
    for (auto& b : v) b = uint8_t(rng());
    return v;
}

const uint32_t kDest[3] = {kFormatRgb16, kFormatRgb24, kFormatRgb32};

enum Rows { kSelected, kPlain, kSse2, kAvx2 };

void Codec(benchmark::State& state, uint32_t srcId, uint16_t flags, int kind, Rows which) {
    const auto src = Noise(SourceBytesRead(srcId, flags, kW, kH));
    std::vector<uint8_t> dst(size_t(kPixels) * kOutBytes[kind]);
    const RowSet* chosen = which == kPlain ? &PlainRows() : which == kSse2 ? Sse2Rows()
                         : which == kAvx2 ? Avx2Rows() : &SelectedRows();
    if (!chosen) {
        state.SkipWithError("rows not built here");
        return;
    }
    const RowSet& rows = *chosen;
    for (auto _ : state) {
        ConvertFrameWith(rows, srcId, flags, src.data(), kW, kH, kDest[kind], dst.data(), nullptr, nullptr);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void Memcpy(benchmark::State& state, int bytesPerPixel) {
    const auto src = Noise(size_t(kPixels) * bytesPerPixel);
    std::vector<uint8_t> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void LibyuvYuy2ToArgb(benchmark::State& state) {
    const auto src = Noise(size_t(kPixels) * 2);
    std::vector<uint8_t> dst(size_t(kPixels) * 4);
    for (auto _ : state) {
        libyuv::YUY2ToARGB(src.data(), kW * 2, dst.data(), kW * 4, kW, kH);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void LibyuvI420ToArgb(benchmark::State& state) {
    const auto y = Noise(size_t(kPixels));
    const auto u = Noise(size_t(kPixels) / 4);
    const auto v = Noise(size_t(kPixels) / 4);
    std::vector<uint8_t> dst(size_t(kPixels) * 4);
    for (auto _ : state) {
        libyuv::I420ToARGB(y.data(), kW, u.data(), kW / 2, v.data(), kW / 2, dst.data(), kW * 4, kW, kH);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void LibyuvI420(benchmark::State& state, bool rgb24) {
    const auto y = Noise(size_t(kPixels));
    const auto u = Noise(size_t(kPixels) / 4);
    const auto v = Noise(size_t(kPixels) / 4);
    std::vector<uint8_t> dst(size_t(kPixels) * (rgb24 ? 3 : 2));
    for (auto _ : state) {
        if (rgb24) libyuv::I420ToRGB24(y.data(), kW, u.data(), kW / 2, v.data(), kW / 2, dst.data(), kW * 3, kW, kH);
        else libyuv::I420ToRGB565(y.data(), kW, u.data(), kW / 2, v.data(), kW / 2, dst.data(), kW * 2, kW, kH);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void LibyuvRgb565ToArgb(benchmark::State& state) {
    const auto src = Noise(size_t(kPixels) * 2);
    std::vector<uint8_t> dst(size_t(kPixels) * 4);
    for (auto _ : state) {
        libyuv::RGB565ToARGB(src.data(), kW * 2, dst.data(), kW * 4, kW, kH);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

// swscale from a srcW x srcH frame to 640 x 480 (nearest neighbour when it enlarges).
void Swscale(benchmark::State& state, AVPixelFormat from, int srcW, int srcH, AVPixelFormat to, int outBytes) {
    SwsContext* ctx = sws_getContext(srcW, srcH, from, kW, kH, to, SWS_POINT, nullptr, nullptr, nullptr);
    if (!ctx) {
        state.SkipWithError("sws_getContext failed");
        return;
    }
    const bool planar = from == AV_PIX_FMT_YUV420P;
    const auto y = Noise(size_t(srcW) * srcH * 2);
    const auto u = Noise(size_t(srcW) * srcH / 4);
    const auto v = Noise(size_t(srcW) * srcH / 4);
    const uint8_t* srcPlanes[4] = {y.data(), planar ? u.data() : nullptr, planar ? v.data() : nullptr, nullptr};
    const int srcStrides[4] = {planar ? srcW : srcW * 2, planar ? srcW / 2 : 0, planar ? srcW / 2 : 0, 0};
    std::vector<uint8_t> dst(size_t(kPixels) * outBytes);
    uint8_t* dstPlanes[4] = {dst.data(), nullptr, nullptr, nullptr};
    const int dstStrides[4] = {kW * outBytes, 0, 0, 0};
    for (auto _ : state) {
        sws_scale(ctx, srcPlanes, srcStrides, 0, srcH, dstPlanes, dstStrides);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
    sws_freeContext(ctx);
}

}  // namespace

// The driver's conversions with the rows this processor selects.
BENCHMARK_CAPTURE(Codec, t565_to_555, 107, 0, kOut555, kSelected);
BENCHMARK_CAPTURE(Codec, t565_to_24, 107, 0, kOut24, kSelected);
BENCHMARK_CAPTURE(Codec, t565_to_32, 107, 0, kOut32, kSelected);
BENCHMARK_CAPTURE(Codec, ty2n_to_555, 112, 0, kOut555, kSelected);
BENCHMARK_CAPTURE(Codec, ty2n_to_24, 112, 0, kOut24, kSelected);
BENCHMARK_CAPTURE(Codec, ty2n_to_32, 112, 0, kOut32, kSelected);
BENCHMARK_CAPTURE(Codec, ty2c_f3_to_555, 117, 0x03, kOut555, kSelected);
BENCHMARK_CAPTURE(Codec, ty2c_f3_to_24, 117, 0x03, kOut24, kSelected);
BENCHMARK_CAPTURE(Codec, ty2c_f3_to_32, 117, 0x03, kOut32, kSelected);
BENCHMARK_CAPTURE(Codec, ty2d_f4_to_24, 119, 0x04, kOut24, kSelected);
BENCHMARK_CAPTURE(Codec, ty0n_f3_to_555, 118, 0x03, kOut555, kSelected);
BENCHMARK_CAPTURE(Codec, ty0n_f3_to_24, 118, 0x03, kOut24, kSelected);
BENCHMARK_CAPTURE(Codec, ty0n_f3_to_32, 118, 0x03, kOut32, kSelected);
// The same through the plain rows, and through the SSE2 and AVX2 rows on their own.
BENCHMARK_CAPTURE(Codec, plain_ty2n_to_555, 112, 0, kOut555, kPlain);
BENCHMARK_CAPTURE(Codec, plain_ty2n_to_24, 112, 0, kOut24, kPlain);
BENCHMARK_CAPTURE(Codec, plain_ty0n_f3_to_24, 118, 0x03, kOut24, kPlain);
BENCHMARK_CAPTURE(Codec, sse2_ty2n_to_555, 112, 0, kOut555, kSse2);
BENCHMARK_CAPTURE(Codec, sse2_ty2n_to_24, 112, 0, kOut24, kSse2);
BENCHMARK_CAPTURE(Codec, sse2_ty2n_to_32, 112, 0, kOut32, kSse2);
BENCHMARK_CAPTURE(Codec, avx2_ty2n_to_555, 112, 0, kOut555, kAvx2);
BENCHMARK_CAPTURE(Codec, avx2_ty2n_to_24, 112, 0, kOut24, kAvx2);
BENCHMARK_CAPTURE(Codec, avx2_ty2n_to_32, 112, 0, kOut32, kAvx2);

BENCHMARK(LibyuvYuy2ToArgb);
BENCHMARK_CAPTURE(LibyuvI420, I420ToRGB24, true);
BENCHMARK_CAPTURE(LibyuvI420, I420ToRGB565, kSelected);
BENCHMARK(LibyuvI420ToArgb);
BENCHMARK(LibyuvRgb565ToArgb);

BENCHMARK_CAPTURE(Swscale, rgb565_to_rgb555, AV_PIX_FMT_RGB565LE, kW, kH, AV_PIX_FMT_RGB555LE, 2);
BENCHMARK_CAPTURE(Swscale, yuyv_to_rgb555, AV_PIX_FMT_YUYV422, kW, kH, AV_PIX_FMT_RGB555LE, 2);
BENCHMARK_CAPTURE(Swscale, yuyv_to_bgr24, AV_PIX_FMT_YUYV422, kW, kH, AV_PIX_FMT_BGR24, 3);
BENCHMARK_CAPTURE(Swscale, yuyv_to_bgr0, AV_PIX_FMT_YUYV422, kW, kH, AV_PIX_FMT_BGR0, 4);
BENCHMARK_CAPTURE(Swscale, yuyv_320x240_to_bgr24, AV_PIX_FMT_YUYV422, 320, 240, AV_PIX_FMT_BGR24, 3);
BENCHMARK_CAPTURE(Swscale, i420_320x240_to_rgb555, AV_PIX_FMT_YUV420P, 320, 240, AV_PIX_FMT_RGB555LE, 2);
BENCHMARK_CAPTURE(Swscale, i420_320x240_to_bgr24, AV_PIX_FMT_YUV420P, 320, 240, AV_PIX_FMT_BGR24, 3);

BENCHMARK_CAPTURE(Memcpy, out_555, 2);
BENCHMARK_CAPTURE(Memcpy, out_24, 3);
BENCHMARK_CAPTURE(Memcpy, out_32, 4);

BENCHMARK_MAIN();
