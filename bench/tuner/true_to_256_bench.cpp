// TrueTo256 on 640 x 480 frames, the plain, the table-driven and the AVX2 rows, beside
// ImageMagick's Floyd-Steinberg remap to the same 256 colours ("-dither FloydSteinberg -remap"),
// called through MagickCore in this process on the same frames already in memory, on one
// thread. No file is read or written by either. Each side's output is checked: ours against the
// plain rows, ImageMagick's for colours outside the palette; the closing lines give the pixel
// rates, their ratios and how far each output strays from its frame.
#include <benchmark/benchmark.h>

#include <magick/MagickCore.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "true_to_256.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrames = 32;  // 32 * 480 rows stay below ImageMagick's usual 16K height limit
constexpr size_t kStride = kWidth * 3;
constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;

// Moving pictures of a sort: gradients, a bright disc, stripes and sensor noise.
std::vector<std::vector<uint8_t>> MakeFrames() {
    std::vector<std::vector<uint8_t>> frames(kFrames);
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 6.0);
    for (int f = 0; f < kFrames; ++f) {
        auto& rows = frames[f];
        rows.resize(kStride * kHeight);
        const double cx = 320 + 200 * std::sin(f * 0.3), cy = 240 + 150 * std::cos(f * 0.2);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                double b = 255.0 * x / kWidth, g = 255.0 * y / kHeight, r = 128 + 100 * std::sin((x + 4 * f) / 23.0);
                const double d = std::hypot(x - cx, y - cy);
                if (d < 90) b = g = r = 230 - d;
                if ((y / 40) % 4 == 3) b = g = r = (b + g + r) / 3;  // grey bands
                uint8_t* p = &rows[y * kStride + 3 * x];
                const double c[3] = {b, g, r};
                for (int k = 0; k < 3; ++k)
                    p[k] = static_cast<uint8_t>(std::clamp(c[k] + noise(rng), 0.0, 255.0));
            }
    }
    return frames;
}

const std::vector<std::vector<uint8_t>>& Frames() {
    static const auto frames = MakeFrames();
    return frames;
}

// Pixel rates by processor time (ImageMagick's: its child process's) and by the clock; the
// first does not depend on what else the machine is doing.
struct Rate {
    double pixelsPerSecond = 0;
    double pixelsPerWallSecond = 0;
};

Rate g_plain, g_fast, g_avx2, g_magick, g_magickStacked;

void Reduce(benchmark::State& state, kvtun::ReduceRowsFunction reduce, Rate& rate) {
    const auto& frames = Frames();
    std::vector<uint8_t> out(kPixels);
    std::vector<uint16_t> errors(kvtun::ErrorRowEntries(kWidth) * 3);
    size_t i = 0, done = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    for (auto _ : state) {
        std::fill(errors.begin(), errors.end(), 0);
        reduce(frames[i].data(), kStride, out.data(), kWidth, kWidth, kHeight, errors.data());
        benchmark::DoNotOptimize(out.data());
        i = (i + 1) % frames.size();
        ++done;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    rate.pixelsPerSecond = done * kPixels / cpu;
    rate.pixelsPerWallSecond = done * kPixels / seconds;
    state.SetItemsProcessed(static_cast<int64_t>(done * kPixels));
}

void BM_TrueTo256Plain(benchmark::State& state) { Reduce(state, kvtun::ReduceRowsReference, g_plain); }
void BM_TrueTo256Fast(benchmark::State& state) { Reduce(state, kvtun::ReduceRowsFast, g_fast); }

// The whole library call on one frame: headers, palette and the fast rows.
void BM_TrueTo256Call(benchmark::State& state) {
    std::vector<uint8_t> source(40 + kStride * kHeight), destination(1064 + kPixels);
    source[0] = 40;
    source[4] = kWidth & 0xFF;
    source[5] = kWidth >> 8;
    source[8] = kHeight & 0xFF;
    source[9] = kHeight >> 8;
    source[14] = 24;
    std::copy(Frames()[0].begin(), Frames()[0].end(), source.begin() + 40);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvtun::TrueTo256(source.data(), destination.data()));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPixels));
}

// How far an output strays from its frame: the mean of |colour - source| over the channels.
double MeanError(const std::vector<uint8_t>& frame, const uint8_t* bgr, size_t pixelStep) {
    double sum = 0;
    for (size_t i = 0; i < kPixels; ++i)
        for (int k = 0; k < 3; ++k) sum += std::abs(int(frame[3 * i + k]) - int(bgr[pixelStep * i + k]));
    return sum / (3.0 * kPixels);
}
double g_ourError = 0, g_magickError = 0;
size_t g_sameColour = 0;

void BM_TrueTo256Avx2(benchmark::State& state) {
    if (!kvtun::HasAvx2()) {
        state.SkipWithError("no AVX2 on this processor");
        return;
    }
    // Checked first: the AVX2 rows give the plain rows' bytes on every frame.
    std::vector<uint8_t> a(kPixels), b(kPixels);
    std::vector<uint16_t> ea(kvtun::ErrorRowEntries(kWidth) * 3), eb(ea.size());
    for (const auto& frame : Frames()) {
        std::fill(ea.begin(), ea.end(), 0);
        std::fill(eb.begin(), eb.end(), 0);
        kvtun::ReduceRowsReference(frame.data(), kStride, a.data(), kWidth, kWidth, kHeight, ea.data());
        kvtun::ReduceRowsAvx2(frame.data(), kStride, b.data(), kWidth, kWidth, kHeight, eb.data());
        if (a != b) {
            state.SkipWithError("the AVX2 rows differ from the plain rows");
            return;
        }
    }
    Reduce(state, kvtun::ReduceRowsAvx2, g_avx2);
}

// ImageMagick: each frame constituted once up front (not timed); each iteration clones it,
// since the remap works in place, and remaps it to the palette with Floyd-Steinberg dithering.
void BM_ImageMagickRemap(benchmark::State& state) {
    ExceptionInfo* exception = AcquireExceptionInfo();
    SetMagickResourceLimit(ThreadResource, 1);
    std::vector<uint8_t> paletteRgb;
    const kvtun::PaletteColor* colors = kvtun::FixedPalette();
    std::set<uint32_t> palette;
    for (int i = 0; i < 256; ++i) {
        paletteRgb.insert(paletteRgb.end(), {colors[i].r, colors[i].g, colors[i].b});
        palette.insert(uint32_t(colors[i].r) << 16 | colors[i].g << 8 | colors[i].b);
    }
    Image* remap = ConstituteImage(256, 1, "RGB", CharPixel, paletteRgb.data(), exception);
    std::vector<Image*> images;
    for (const auto& frame : Frames())
        images.push_back(ConstituteImage(kWidth, kHeight, "BGR", CharPixel, frame.data(), exception));
    QuantizeInfo* quantize = AcquireQuantizeInfo(nullptr);
    quantize->dither = MagickTrue;
    quantize->dither_method = FloydSteinbergDitherMethod;
    if (!remap || std::find(images.begin(), images.end(), nullptr) != images.end()) {
        state.SkipWithError("MagickCore could not take the frames");
        return;
    }
    size_t i = 0, done = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    for (auto _ : state) {
        Image* work = CloneImage(images[i], 0, 0, MagickTrue, exception);
        if (!work || RemapImage(quantize, work, remap) == MagickFalse) {
            state.SkipWithError("RemapImage failed");
            break;
        }
        benchmark::DoNotOptimize(work);
        DestroyImage(work);
        i = (i + 1) % images.size();
        ++done;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    g_magick.pixelsPerSecond = done * kPixels / cpu;
    g_magick.pixelsPerWallSecond = done * kPixels / seconds;
    state.SetItemsProcessed(static_cast<int64_t>(done * kPixels));

    // Outputs of frame 0: ImageMagick's only in the palette; how far each strays, how often
    // the two agree.
    Image* work = CloneImage(images[0], 0, 0, MagickTrue, exception);
    RemapImage(quantize, work, remap);
    std::vector<uint8_t> theirs(kPixels * 3);
    ExportImagePixels(work, 0, 0, kWidth, kHeight, "BGR", CharPixel, theirs.data(), exception);
    DestroyImage(work);
    for (size_t p = 0; p < kPixels; ++p)
        if (!palette.count(uint32_t(theirs[3 * p + 2]) << 16 | theirs[3 * p + 1] << 8 | theirs[3 * p])) {
            state.SkipWithError("ImageMagick left a colour outside the palette");
            break;
        }
    std::vector<uint8_t> ours(kPixels), ourBgr(kPixels * 3);
    std::vector<uint16_t> errors(kvtun::ErrorRowEntries(kWidth) * 3);
    kvtun::ReduceRowsReference(Frames()[0].data(), kStride, ours.data(), kWidth, kWidth, kHeight, errors.data());
    for (size_t p = 0; p < kPixels; ++p) {
        const kvtun::PaletteColor& c = colors[ours[p]];
        ourBgr[3 * p] = c.b;
        ourBgr[3 * p + 1] = c.g;
        ourBgr[3 * p + 2] = c.r;
        g_sameColour += std::equal(&ourBgr[3 * p], &ourBgr[3 * p] + 3, &theirs[3 * p]);
    }
    g_ourError = MeanError(Frames()[0], ourBgr.data(), 3);
    g_magickError = MeanError(Frames()[0], theirs.data(), 3);
    for (Image* image : images) DestroyImage(image);
    DestroyImage(remap);
    DestroyQuantizeInfo(quantize);
    DestroyExceptionInfo(exception);
}

// ImageMagick over the 32 frames stacked into one tall image, one remap call each iteration:
// its colour cache then stays warm from frame to frame, its fastest case.
void BM_ImageMagickRemapStacked(benchmark::State& state) {
    ExceptionInfo* exception = AcquireExceptionInfo();
    SetMagickResourceLimit(ThreadResource, 1);
    std::vector<uint8_t> paletteRgb, stacked;
    const kvtun::PaletteColor* colors = kvtun::FixedPalette();
    for (int i = 0; i < 256; ++i) paletteRgb.insert(paletteRgb.end(), {colors[i].r, colors[i].g, colors[i].b});
    for (const auto& frame : Frames()) stacked.insert(stacked.end(), frame.begin(), frame.end());
    Image* remap = ConstituteImage(256, 1, "RGB", CharPixel, paletteRgb.data(), exception);
    Image* tall = ConstituteImage(kWidth, kHeight * kFrames, "BGR", CharPixel, stacked.data(), exception);
    QuantizeInfo* quantize = AcquireQuantizeInfo(nullptr);
    quantize->dither = MagickTrue;
    quantize->dither_method = FloydSteinbergDitherMethod;
    size_t done = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    for (auto _ : state) {
        Image* work = tall && remap ? CloneImage(tall, 0, 0, MagickTrue, exception) : nullptr;
        if (!work || RemapImage(quantize, work, remap) == MagickFalse) {
            state.SkipWithError("RemapImage failed");
            break;
        }
        DestroyImage(work);
        done += kFrames;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    g_magickStacked.pixelsPerSecond = done * kPixels / cpu;
    g_magickStacked.pixelsPerWallSecond = done * kPixels / seconds;
    state.SetItemsProcessed(static_cast<int64_t>(done * kPixels));
    if (tall) DestroyImage(tall);
    if (remap) DestroyImage(remap);
    DestroyQuantizeInfo(quantize);
    DestroyExceptionInfo(exception);
}

BENCHMARK(BM_TrueTo256Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrueTo256Fast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrueTo256Avx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrueTo256Call)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickRemap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickRemapStacked)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    MagickCoreGenesis(argv[0], MagickFalse);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    MagickCoreTerminus();
    const double mp = 1e6;
    for (int wall = 0; wall < 2; ++wall) {
        auto of = [&](const Rate& r) { return (wall ? r.pixelsPerWallSecond : r.pixelsPerSecond) / mp; };
        std::printf("\n640x480 frames by %s: plain %.1f, fast %.1f, AVX2 %.1f, ImageMagick %.1f Mpixel/s",
                    wall ? "the clock" : "processor time", of(g_plain), of(g_fast), of(g_avx2), of(g_magick));
        if (of(g_magick) > 0)
            std::printf("\n  per frame: plain %.3f ms, fast %.3f ms, AVX2 %.3f ms, ImageMagick %.3f ms;"
                        " AVX2 / ImageMagick = %.1fx, fast / ImageMagick = %.1fx, plain / ImageMagick = %.1fx",
                        kPixels / of(g_plain) / 1e3, kPixels / of(g_fast) / 1e3,
                        of(g_avx2) > 0 ? kPixels / of(g_avx2) / 1e3 : 0.0, kPixels / of(g_magick) / 1e3,
                        of(g_avx2) / of(g_magick), of(g_fast) / of(g_magick), of(g_plain) / of(g_magick));
        if (of(g_magickStacked) > 0)
            std::printf("\n  ImageMagick over 32 stacked frames: %.3f ms a frame; AVX2 / that = %.1fx, fast / that = %.1fx",
                        kPixels / of(g_magickStacked) / 1e3, of(g_avx2) / of(g_magickStacked),
                        of(g_fast) / of(g_magickStacked));
    }
    std::printf("\nframe 0: mean channel error ours %.2f, ImageMagick's %.2f; same colour on %.1f%% of the pixels\n",
                g_ourError, g_magickError, 100.0 * g_sameColour / kPixels);
    return 0;
}
