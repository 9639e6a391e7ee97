// Marks loops over packed RGB triplets. Reading every third byte vectorises only with byte
// shuffles, which the baseline x86-64 instruction set lacks, so these loops are also compiled
// for newer sets and the best one the processor has is chosen when the module loads.
#pragma once

#if defined(__x86_64__)
#define QV_TRIPLET_LOOP __attribute__((target_clones("avx2", "ssse3", "default")))
#else
#define QV_TRIPLET_LOOP
#endif
