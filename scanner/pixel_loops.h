// Marks loops over packed RGB triplets. Reading every third byte vectorises only with byte
// shuffles, which the baseline x86-64 instruction set lacks, so these loops are also compiled
// for newer sets and the best one the processor has is chosen when the module loads.
#pragma once

#if defined(__x86_64__)
#define QV_TRIPLET_LOOP __attribute__((target_clones("avx2", "ssse3", "default")))
// Plain byte loops (inversion) that only gain from wider vectors.
#define QV_WIDE_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define QV_TRIPLET_LOOP
#define QV_WIDE_LOOP
#endif

// True when the processor shuffles bytes within vector registers. Without that the compiler
// spells block shuffles out byte by byte, slower than copying pixel by pixel.
inline bool HasByteShuffles() {
#if defined(__x86_64__)
  return __builtin_cpu_supports("ssse3");
#else
  return true;
#endif
}
