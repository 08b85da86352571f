// The mixed-radix passes with four doubles per vector, for processors with
// AVX2 and FMA.
#include "dsp/dft_tables.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

typedef double DftVector __attribute__((vector_size(32)));
// GCC widens four floats in two halves unless told; the single instruction is faster.
#define DFT_AVX_CONVERSIONS
#include "dsp/dft_passes.inl"
#undef DFT_AVX_CONVERSIONS

#pragma GCC pop_options

DftPassRunner VectorDftPassRunner() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? RunPasses : nullptr;
}

#else

DftPassRunner VectorDftPassRunner() { return nullptr; }

#endif
