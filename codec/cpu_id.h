// What the processor offers, asked once; tests can mask features off to reach the plain rows.
#pragma once

namespace vancodc {

enum CpuFeature : int {
    kCpuSse2 = 0x1,
    kCpuAvx2 = 0x2,
    kCpuAvx512 = 0x4,  // F, BW and VBMI
};

int CpuFeatures();
// Only the features in `mask` are used from now on; -1 uses all again.
void MaskCpuFeatures(int mask);

}  // namespace vancodc
