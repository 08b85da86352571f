#include "modules/frame_transform.h"

#include "dsp/complex_fft.h"
#include "dsp/fft_kernels.h"
#include "dsp/fft_tables.h"

void PrepareFrameTransforms(int32_t n) { PrepareFftTables(gFftTables, n); }

void FrameTransform(int32_t n, float* data, uint8_t flag) {
  const FftTables& tables = gFftTables;
  ActiveFftKernel().transform(data, n, flag == kFftForward ? 0 : 1, tables);
  BitReversePermute(data, n, tables);
}
