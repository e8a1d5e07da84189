#define QH_XXH3_KERNEL_NAME(name) name##Baseline
#include "savefile/fingerprint/Xxh3Kernel.inc"
