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
  UndoListEmpty = 15,  // "UNDO LIST EMPTY"
  NoFileSelected = 19, // "NO FILE SELECTED"
  Aborted = 25,        // "ABORTED"
};
