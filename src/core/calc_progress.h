#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

// How a long calculation reports how far it is and learns that the user
// pressed "fCANCEL". A page connects step to its progress bar (and input
// poll); calculations only call ReportProgress between their steps, always
// from the main thread.
struct CalcProgressHook {
  // label: the bar's text ("ANALYSIS PROGRESS: "); done of total steps.
  // Returns false when the calculation is to stop.
  std::function<bool(std::string_view label, int64_t done, int64_t total)> step;
};

// True to go on. A hook without a step never stops anything.
inline bool ReportProgress(const CalcProgressHook& hook, std::string_view label, int64_t done, int64_t total) {
  return !hook.step || hook.step(label, done, total);
}
