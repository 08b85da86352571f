#include "dsp/fft_pacing.h"

#include <algorithm>

namespace {

// Recent times weigh a quarter: one slow transform (a page fault, an
// interrupt) does not flip the choice, a lasting change does within a few.
double Blend(double recent, double micros) { return recent == 0 ? micros : 0.75 * recent + 0.25 * micros; }

}  // namespace

bool ShouldRunSolo(const FftPace& pace) {
  if (pace.soloLeft > 0) return true;
  return pace.soloMicros == 0 || pace.sharedSinceSolo >= kSharedRunsBetweenSoloRuns;
}

void RecordSolo(FftPace& pace, double micros) {
  pace.soloMicros = Blend(pace.soloMicros, micros);
  pace.sharedSinceSolo = 0;
  pace.helpersAsleep = true;
  if (pace.soloLeft > 0 && --pace.soloLeft == 0) pace.probing = true;
}

void RecordShared(FftPace& pace, double micros) {
  ++pace.sharedSinceSolo;
  if (pace.helpersAsleep) {
    pace.helpersAsleep = false;
    return;
  }
  pace.sharedMicros = pace.probing ? micros : Blend(pace.sharedMicros, micros);
  pace.probing = false;
  if (pace.soloMicros > 0 && pace.sharedMicros > pace.soloMicros) {
    pace.soloLeft = pace.soloStretch;
    pace.soloStretch = std::min(2 * pace.soloStretch, kLongestSoloStretch);
  } else {
    pace.soloStretch = kFirstSoloStretch;
  }
}
