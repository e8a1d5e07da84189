// XXH3 over an opaque state, once per vector width (Xxh3Kernel.inc).
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellhart::fingerprint {

#define QH_XXH3_KERNEL_DECLARE(width)                                 \
    void* Create##width();                                            \
    void Free##width(void* state);                                    \
    void Update##width(void* state, const void* bytes, size_t count); \
    uint64_t Digest##width(const void* state);

QH_XXH3_KERNEL_DECLARE(Baseline)
#if QH_FINGERPRINT_WIDE_KERNELS
QH_XXH3_KERNEL_DECLARE(Avx2)
QH_XXH3_KERNEL_DECLARE(Avx512)
#endif

#undef QH_XXH3_KERNEL_DECLARE

}  // namespace quellhart::fingerprint
