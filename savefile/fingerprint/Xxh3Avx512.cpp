// GCC 12 warns about its own AVX-512 header (an "undefined" vector it makes on purpose).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#define QH_XXH3_KERNEL_NAME(name) name##Avx512
#include "savefile/fingerprint/Xxh3Kernel.inc"
