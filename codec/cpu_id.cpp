#include "cpu_id.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace vancodc {

namespace {

std::atomic<int> g_mask{-1};
// Detected once; detecting twice gives the same answer, so no guarded static: the runtime's guard
// would create a semaphore that outlives every unload of the driver.
std::atomic<int> g_detected{-1};

int DetectFeatures() {
    int features = 0;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d)) {
        if (d & bit_SSE2) features |= kCpuSse2;
        // AVX2 needs the system to save the upper register halves (OSXSAVE and XCR0 bits 1-2).
        const bool osxsave = (c & bit_OSXSAVE) != 0;
        const bool avx = (c & bit_AVX) != 0;
        if (osxsave && avx) {
            unsigned xcr0lo = 0, xcr0hi = 0;
            __asm__ volatile("xgetbv" : "=a"(xcr0lo), "=d"(xcr0hi) : "c"(0));
            unsigned a7 = 0, b7 = 0, c7 = 0, d7 = 0;
            if ((xcr0lo & 6) == 6 && __get_cpuid_count(7, 0, &a7, &b7, &c7, &d7)) {
                if (b7 & bit_AVX2) features |= kCpuAvx2;
                // The opmask and upper ZMM state must be saved by the system too (XCR0 bits 5-7).
                const bool zmmState = (xcr0lo & 0xE6) == 0xE6;
                if (zmmState && (b7 & bit_AVX512F) && (b7 & bit_AVX512BW) && (c7 & bit_AVX512VBMI))
                    features |= kCpuAvx512;
            }
        }
    }
#endif
    return features;
}

}  // namespace

int CpuFeatures() {
    int detected = g_detected.load(std::memory_order_relaxed);
    if (detected < 0) {
        detected = DetectFeatures();
        g_detected.store(detected, std::memory_order_relaxed);
    }
    return detected & g_mask.load(std::memory_order_relaxed);
}

void MaskCpuFeatures(int mask) { g_mask.store(mask, std::memory_order_relaxed); }

}  // namespace vancodc
