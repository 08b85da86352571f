#include "dsp/complex_fft.h"

#include "dsp/fft_kernels.h"
#include "dsp/fft_tables.h"
#include "dsp/fft_workers.h"

void ComplexFft(int32_t n, float* data, uint8_t flag) {
  if (data == nullptr || n < 2 || !IsPowerOfTwo(n)) return;
  FftTables& tables = gFftTables;
  PrepareFftTables(tables, n);
  const int direction = flag == kFftForward ? 0 : 1;
  if (tables.threadMode == 1) {
    ActiveFftKernel().transform(data, n, direction, tables);
    BitReversePermute(data, n, tables);
  } else {
    RunFftWorkers(2 * n, data, tables, direction);
  }
}
