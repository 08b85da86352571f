#pragma once
#include <vector>

#include "platform/frame_buffer.h"

inline constexpr int kSaverStepMillis = 30;
inline constexpr int kSaverRestoreMillis = 200;
inline constexpr size_t kCanvasPixels = 1024 * 768;

// Copies the logical canvas row by row into pixels (1024 x 768 colours),
// under the FrameLock. Stops early, leaving the rest untouched, as soon as
// the saver is no longer due (when stopWhenSaverEnds).
void SaveScreen(std::vector<Colour>& pixels, bool stopWhenSaverEnds = true);

// Fills the canvas with the current brush, then puts back every saved pixel
// that differs from the Background colour; pushes the whole canvas.
void RestoreScreen(const std::vector<Colour>& pixels);

// The program's own screen saver: runs when the idle timer made it due, no
// desktop saver is configured, and the display is full screen. A walking
// title until any input; then the screen comes back and the waking input
// has no other effect.
void RunScreenSaverIfDue();
