#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/message_codes.h"
#include "ui/page_event.h"

inline constexpr int kBrowserRows = 16;

// One page of a category folder in a browsing page.
struct BrowserList {
  std::array<std::string, kBrowserRows> names;  // short (8.3) names by row
  std::string selectedName;                     // empty when none
  int16_t first = 0;  // indices of the first and last file on the page;
  int16_t last = -1;  // last < first when the page is empty
  uint16_t pageCount = 1;
  uint16_t fileCount = 0;
  uint16_t category = 0;
  uint16_t page = 1;  // counted from 1
  int16_t selected = -1;
  bool narrow = false;  // the list takes only x 62 to 422
};

inline constexpr uint8_t kPageBackCode = 1;     // the "<<PAGE" button (0, 0), and LEFT
inline constexpr uint8_t kPageForwardCode = 2;  // "PAGE>>" (1, 0), and RIGHT

// Keyboard and mouse navigation of the list's lines: a held key or a click
// becomes a changed selection (UP, DOWN wrapping on the page; a click on a
// row; LEFT or RIGHT with CTRL or ESC for prelistening the selection), a
// page button (LEFT or RIGHT alone), or nothing.
PageEvent StepList(BrowserList& list, const PageEvent& event);

// Page back (code 1) or forward (code 2), wrapping; a single page answers
// "SINGLE PAGE" (returned) and changes nothing.
MessageCode PageList(BrowserList& list, uint8_t code, bool& changed);
