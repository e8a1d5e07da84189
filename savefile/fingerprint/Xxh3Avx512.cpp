#define QH_XXH3_KERNEL_NAME(name) name##Avx512
#include "savefile/fingerprint/Xxh3Kernel.inc"
