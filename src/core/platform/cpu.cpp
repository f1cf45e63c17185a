#include "core/platform/cpu.h"

// The compiler's own check reads the processor and whether the system saves
// the vector registers (XGETBV), the same on every system.
namespace lv::platform {

int VectorLevel() {
#if defined(__GNUC__) && defined(__x86_64__)
    static const int level = [] {
        if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("bmi2") || !__builtin_cpu_supports("popcnt"))
            return 0;
        const bool wide = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("avx512f") &&
                          __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi2");
        return wide ? 2 : 1;
    }();
    return level;
#else
    return 0;
#endif
}

}  // namespace lv::platform
