#include "modules/progress_hooks.h"

bool ProgressCancelled(const ProgressHooks& hooks, const char* label, int64_t done, int64_t total) {
  if (!hooks.step) return false;
  return hooks.step(label, done, total);
}

void ProgressFinished(const ProgressHooks& hooks, const char* label, int64_t total) {
  if (hooks.step) hooks.step(label, total, total);
}
