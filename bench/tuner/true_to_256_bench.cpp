// TrueTo256 on 640 x 480 frames, the plain and the fast rows, beside ImageMagick's
// "convert -dither FloydSteinberg -remap" to the same 256 colours. ImageMagick is run once
// over a tall image of many frames so that its start-up is spread over them; its time is
// given per frame, in processor time of the convert process. The closing lines give the pixel
// rates and their ratios by processor time and by the clock.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
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

double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
Rate g_plain, g_fast, g_magick;

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

void BM_ImageMagickRemap(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kivo-bench-tuner-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path input = dir / "frames.ppm", palette = dir / "palette.ppm", output = dir / "out.ppm";
    {
        // PPM rows are top-down red, green, blue; the frames are stacked one under another.
        std::ofstream f(input, std::ios::binary);
        f << "P6\n" << kWidth << " " << kHeight * kFrames << "\n255\n";
        std::vector<char> row(kStride);
        for (const auto& frame : Frames())
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x)
                    for (int k = 0; k < 3; ++k) row[3 * x + k] = static_cast<char>(frame[y * kStride + 3 * x + 2 - k]);
                f.write(row.data(), row.size());
            }
        std::ofstream p(palette, std::ios::binary);
        p << "P6\n256 1\n255\n";
        const kvtun::PaletteColor* colors = kvtun::FixedPalette();
        for (int i = 0; i < 256; ++i) p << colors[i].r << colors[i].g << colors[i].b;
    }
    const std::string command = "convert '" + input.string() + "' -dither FloydSteinberg -remap '" +
                                palette.string() + "' '" + output.string() + "' 2>/dev/null";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ChildCpuSeconds();
        const int rc = std::system(command.c_str());
        const double cpu = ChildCpuSeconds() - cpuStart;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (rc != 0 || !fs::exists(output)) {
            state.SkipWithError("ImageMagick's convert did not run");
            break;
        }
        state.SetIterationTime(cpu / kFrames);  // processor time per frame
        g_magick.pixelsPerSecond = kPixels * kFrames / cpu;
        g_magick.pixelsPerWallSecond = kPixels * kFrames / seconds;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPixels));
    fs::remove_all(dir);
}

BENCHMARK(BM_TrueTo256Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrueTo256Fast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrueTo256Call)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickRemap)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double mp = 1e6;
    const Rate* rates[3] = {&g_plain, &g_fast, &g_magick};
    for (int wall = 0; wall < 2; ++wall) {
        auto of = [&](const Rate* r) { return (wall ? r->pixelsPerWallSecond : r->pixelsPerSecond) / mp; };
        std::printf("\n640x480 frames by %s: plain %.1f Mpixel/s, fast %.1f Mpixel/s, ImageMagick %.1f Mpixel/s",
                    wall ? "the clock" : "processor time", of(rates[0]), of(rates[1]), of(rates[2]));
        if (of(rates[2]) > 0)
            std::printf("; fast / ImageMagick = %.1fx, plain / ImageMagick = %.1fx",
                        of(rates[1]) / of(rates[2]), of(rates[0]) / of(rates[2]));
    }
    std::printf("\n");
    return 0;
}
