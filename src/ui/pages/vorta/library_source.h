#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/message_codes.h"
#include "ui/browser_list.h"
#include "ui/page.h"
#include "ui/pages/shared/browser_page.h"
#include "wavetable/partial_table.h"

// The narrow library list of the pages that take one slice from another
// file (table assembling, filter shape import): a folder of single cycles or
// VORTA tables, paged, searched and chosen by type; the chosen file read as
// a table (a single cycle arrives as partials in slice 0).
struct LibrarySource {
  BrowserList list;
  BrowserRows rows;
  bool present = false;       // a file has been read
  bool singleCycle = false;
  PartialTable table;
  int32_t stretch = 16;       // the table file's playback stretch
  std::vector<float> cycle;   // the single cycle as the file holds it
};

// The list as it stands at the first visit: single cycles, page 1.
LibrarySource FreshLibrarySource();

// The list's own buttons: "<<PAGE", "PAGE>>", "fFIND<>", "fF_TYPE<>".
enum class ListButton { kPageBack, kPageForward, kFind, kType };
// Acts on the list; true when a new page or folder is shown (the page
// draws everything again).
bool ActOnList(PageRun& run, LibrarySource& source, ListButton button);

// Reads the selected file; "NO FILE SELECTED" without a selection, the
// loader's message when it cannot be read (the source is then empty).
MessageCode ReadSelectedFile(LibrarySource& source);

// Selects a single cycle by its file name and shows its page; false when
// the folder does not hold it.
bool SelectSingleCycle(LibrarySource& source, const std::string& fileName);
