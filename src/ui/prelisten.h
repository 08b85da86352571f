#pragma once
#include <cstdint>
#include <functional>
#include <span>

#include "ui/browser_list.h"

// A loaded sound to prelisten to: a sequence of stereo tables (an XFORM
// table, scanned at its speed) when tableCount is above 0, else two channel
// arrays.
struct PrelistenSource {
  std::span<const float> tables;
  int tableCount = 0;
  int32_t scanSpeed = 1;
  std::span<const float> left;
  std::span<const float> right;
  int64_t frames = 0;
};

// The page loads the selected file of its list into its buffers; false when
// the file cannot be loaded.
using PrelistenLoad = std::function<bool(PrelistenSource& source)>;

// Browser prelistening: when the selection of the list has just changed
// (the list's event), prelistening is on and the user holds ESC or CTRL while
// stepping through the list, the selected file is loaded and starts
// playing, marked on the play button playCode (20 or 22) with the list's
// file kind. A table source of fewer than 2 tables plays table 0 once as a
// wave file, more are scanned; a single cycle (file kind 2) or a file of
// fewer than 4,097 frames loops. True when something plays: the list's loop
// then calls HoldAndStop.
bool Prelisten(const PrelistenLoad& load, const PageEvent& listEvent, const BrowserList& list, uint8_t playCode);
