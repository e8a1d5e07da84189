#define QH_XXH3_KERNEL_NAME(name) name##Avx2
#include "savefile/fingerprint/Xxh3Kernel.inc"
