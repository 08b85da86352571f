#pragma once
#include <cstdint>

#include "core/progress_hooks.h"

inline constexpr int kProgressBarWidth = 333;
inline constexpr int kNoProgressBar = -100;

// Draws the progress bar on the right of the message line; a null label
// removes it (and clears the line). Nothing is drawn while the bar's width
// stays the same.
void ShowProgress(const char* label, double value, double maximum);

// The width last drawn, kNoProgressBar when no bar is shown.
int ProgressWidth();

// The standard progress display of long calculations: on the first step
// (done = 0) a "CANCEL" button on F12 and "CALCULATING, PLEASE WAIT". True
// when finished (result 3, "DONE") or cancelled with F12 (result 25,
// "ABORTED"); the bar and the button are then removed.
bool CalcProgress(int64_t done, int64_t total, uint8_t& result, const char* label = "CALCULATION PROGRESS: ");

// Lets an engine computation that takes ProgressHooks drive CalcProgress:
// message 21 and "fCANCEL" at the start, the bar on the message line
// (under the computation's own label), F12 or a click on "fCANCEL" stops
// it. result is then 3 ("DONE") or 25 ("ABORTED"); the page redraws its
// buttons afterwards.
ProgressHooks CalcProgressHooks(uint8_t& result);
