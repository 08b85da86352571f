#pragma once
#include <cstdint>

// The message-line codes the table tools hand back to their pages; the
// values are the message numbers the message line shows.
enum class TableMessage : uint8_t {
  None = 0,
  MinValue = 1,        // "MIN VALUE"
  MaxValue = 2,        // "MAX VALUE"
  Done = 3,            // "DONE"
  NoData = 8,          // "NO DATA"
  AccessDenied = 11,   // "ACCESS DENIED"
  UndoListEmpty = 15,  // "UNDO LIST EMPTY"
  NoFileSelected = 19, // "NO FILE SELECTED"
  Calculating = 21,    // "CALCULATING, PLEASE WAIT"
  MinimumRange = 22,   // "MINIMUM ANALYSIS RANGE <4097 SAMPLES>"
  Aborted = 25,        // "ABORTED"
};
