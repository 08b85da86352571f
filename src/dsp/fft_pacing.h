#pragma once
#include <cstdint>

// When another program keeps one processor busy, a transform shared between
// threads waits for the thread that lost its processor and takes longer than
// the calling thread alone. The pace of each transform length remembers how
// long both ways took lately and runs the transform alone while that is
// faster: for a stretch of transforms that doubles each time sharing loses
// again, after which one shared transform tries whether the machine has
// become quiet. A quiet machine runs one transform alone now and then to
// keep the comparison fresh.
inline constexpr int kFirstSoloStretch = 4;
inline constexpr int kLongestSoloStretch = 256;
inline constexpr int kSharedRunsBetweenSoloRuns = 64;

struct FftPace {
  double soloMicros = 0;    // recent time of the transform alone, 0 = not yet known
  double sharedMicros = 0;  // recent time shared between threads, 0 = not yet known
  int soloLeft = 0;         // transforms still to run alone in the current stretch
  int soloStretch = kFirstSoloStretch;
  int sharedSinceSolo = 0;
  // The helpers have slept through a stretch: the next shared transform
  // pays for waking them and is not a fair measure.
  bool helpersAsleep = false;
  // A stretch alone has just ended: the next fair shared time replaces the
  // old one instead of blending in, so a machine that has become quiet is
  // recognised at the first try.
  bool probing = false;
};

// True when the next transform should run on the calling thread alone.
bool ShouldRunSolo(const FftPace& pace);
void RecordSolo(FftPace& pace, double micros);
void RecordShared(FftPace& pace, double micros);
