#pragma once
#include <cstdint>
#include <string>

#include "ui/page.h"
#include "ui/pages/shared/browser_page.h"

// What every browsing page does with its list of a category folder: the
// file operations screen of each module and the recycle bin. Each action
// returns the message to show; the list is drawn again from the folder
// afterwards, so that a failed move or delete shows what is really there.

// Opens the list on a folder: page 1, no selection.
void OpenFileList(BrowserList& list, int category);

// The page of the folder and the marker of its selected row.
void DrawFileList(BrowserList& list, BrowserRows& rows);

// "<<PAGE" (back) or "PAGE>>": wrapping; "SINGLE PAGE" on a single page.
uint8_t TurnListPage(BrowserList& list, BrowserRows& rows, bool back);

// "fFIND<>": the search keypad ("F"); found: the list shows the page of
// the first match and selects it.
uint8_t FindListedFile(BrowserList& list);

// "fRENAME<>": the selected file gets a name typed on the "W" keypad; the
// list then selects it under its new name.
uint8_t RenameListedFile(BrowserList& list, BrowserRows& rows);

// "fDELETE<>" (the selected file) and "fCLR_DIR<>" (every file of the
// folder) after "DELETE FILE<S>?".
uint8_t DeleteListedFile(BrowserList& list, BrowserRows& rows);
uint8_t ClearListedFolder(BrowserList& list);

// The selected file's path; empty without a selection.
std::string SelectedPath(const BrowserList& list, const BrowserRows& rows);

// The yes/no question of a message code on F11/F12.
bool AskYesNo(int question);
