#pragma once
// What the processor offers for the vector code of the loaders.

namespace lv::platform {

// 0: SSE2 only. 1: AVX2 with BMI2 and POPCNT. 2: besides, AVX-512 (F, BW,
// VBMI2) and PCLMUL. Each level enabled by the system too, not only present.
int VectorLevel();

}  // namespace lv::platform
