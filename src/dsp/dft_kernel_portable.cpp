// The mixed-radix passes with two doubles per vector, for any processor.
#include "dsp/dft_tables.h"

typedef double DftVector __attribute__((vector_size(16)));
#include "dsp/dft_passes.inl"

DftPassRunner PortableDftPassRunner() { return RunPasses; }
