#pragma once
#include <array>
#include <string>

#include "files/sound_file_records.h"
#include "ui/browser_list.h"

// What the rows of the shown page hold beyond the BrowserList: each file's
// real name (every file operation uses it; the list's names are only the
// short names drawn) and its properties.
struct BrowserRows {
  std::array<std::string, kBrowserRows> realNames;
  std::array<FileInfo, kBrowserRows> infos;
};

// One page of the list's category folder: header readouts, the disk line,
// 16 rows with their columns, "EMPTY DIRECTORY" for an empty folder. Files
// that belong elsewhere are moved to their folders on the way. A page
// beyond the last falls back to the last.
void DrawBrowserPage(BrowserList& list, BrowserRows& rows);

// The ">>>>>>" marker of the selected row and "DISK:" with its short name;
// a selection outside the page is cleared.
void MarkBrowserRow(BrowserList& list);

// The real name of the selected file; empty when none is selected.
std::string SelectedRealName(const BrowserList& list, const BrowserRows& rows);

// The path line under the list: path kind, path and free space.
void DrawDiskLine(int category);

// Free space as the disk line shows it ("-N.A." when unknown).
std::string FreeSpaceText(long long freeBytes, bool known);
