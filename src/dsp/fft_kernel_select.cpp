#include "dsp/fft_kernels.h"

namespace {

const FftKernel* gActiveKernel = nullptr;

}  // namespace

const FftKernel& ActiveFftKernel() {
  if (gActiveKernel == nullptr) gActiveKernel = VectorFftKernelAvailable() ? &VectorFftKernel() : &ScalarFftKernel();
  return *gActiveKernel;
}

void SelectFftKernel(FftKernelKind kind) {
  const bool vector = kind == FftKernelKind::kVector && VectorFftKernelAvailable();
  gActiveKernel = vector ? &VectorFftKernel() : &ScalarFftKernel();
  // The kernels keep different stage tables: start them afresh.
  if (gFftTables.maxLength > 0)
    AllocateFftTables(gFftTables.maxLength);
  else
    gFftTables.cachedLength = 0;
}
