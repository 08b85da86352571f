#pragma once
#include <cstdint>
#include <functional>

// How a long computation reports how far it is and learns that the user
// wants to stop. The pages connect the step to the progress bar and the
// "fCANCEL" button; tests script it; an empty step runs without either.
inline constexpr const char* kCalculationProgressLabel = "CALCULATION PROGRESS: ";
inline constexpr const char* kAnalysisProgressLabel = "ANALYSIS PROGRESS: ";

struct ProgressHooks {
  // Called with done = 0 before the first step, with 0 < done < total
  // between steps, and once with done = total when the work is complete.
  // Returning true asks the computation to stop; the answer to the last
  // call is ignored.
  std::function<bool(const char* label, int64_t done, int64_t total)> step;
};

// True when the computation should stop here.
bool ProgressCancelled(const ProgressHooks& hooks, const char* label, int64_t done, int64_t total);

// The closing call with done = total (removes the bar on screen).
void ProgressFinished(const ProgressHooks& hooks, const char* label, int64_t total);
