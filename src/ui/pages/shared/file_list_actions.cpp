#include "ui/pages/shared/file_list_actions.h"

#include "core/app_globals.h"
#include "files/folder_scan.h"
#include "files/library_paths.h"
#include "platform/clock.h"
#include "ui/confirm.h"
#include "ui/draw.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/value_entry.h"

namespace {

// The search tells "SCANNING FOR MATCHES..." in the middle of the list and
// pauses so that it can be read.
LibraryFeedback SearchFeedback() {
  LibraryFeedback feedback = PageFeedback();
  feedback.showCentred = [](const char* text) {
    ClearMainArea();
    DrawText(512, 392, text, 'M');
  };
  feedback.pause = [](int milliseconds) { SleepMillis(milliseconds); };
  return feedback;
}

void ShowFound(BrowserList& list, int index) {
  list.page = static_cast<uint16_t>(index / kBrowserRows + 1);
  list.selected = static_cast<int16_t>(index);
}

}  // namespace

void OpenFileList(BrowserList& list, int category) {
  const bool narrow = list.narrow;
  list = BrowserList{};
  list.narrow = narrow;
  list.category = static_cast<uint16_t>(category);
  list.page = 1;
  list.selected = -1;
}

void DrawFileList(BrowserList& list, BrowserRows& rows) {
  DrawBrowserPage(list, rows);
  MarkBrowserRow(list);
}

uint8_t TurnListPage(BrowserList& list, BrowserRows& rows, bool back) {
  bool changed = false;
  const uint8_t message = PageList(list, back ? kPageBackCode : kPageForwardCode, changed);
  if (changed) DrawFileList(list, rows);
  return message;
}

uint8_t FindListedFile(BrowserList& list) {
  std::string text;
  if (!NameEntry(text, list.category, 'F')) return kMsgAborted;
  const FindResult found = FindInCategory(gApp, list.category, text, false, SearchFeedback());
  if (found.code != kMsgNone) return static_cast<uint8_t>(found.code);
  ShowFound(list, found.foundIndex);
  return kMsgDone;
}

uint8_t RenameListedFile(BrowserList& list, BrowserRows& rows) {
  const int category = list.category;
  const RenameResult renamed = RenameLibraryFile(
      gApp, category, SelectedRealName(list, rows),
      [category]() -> std::optional<std::string> {
        std::string name;
        if (!NameEntry(name, category, 'W')) return std::nullopt;
        return name;
      },
      PageFeedback());
  if (renamed.code == kMsgDone) ShowFound(list, renamed.foundIndex);
  return static_cast<uint8_t>(renamed.code);
}

bool AskYesNo(int question) { return Confirm("fYES", "fNO", static_cast<uint8_t>(question)); }

uint8_t DeleteListedFile(BrowserList& list, BrowserRows& rows) {
  const int code = DeleteLibraryFile(gApp, list.category, SelectedRealName(list, rows), AskYesNo, PageFeedback());
  if (code == kMsgDone) list.selected = -1;
  return static_cast<uint8_t>(code);
}

uint8_t ClearListedFolder(BrowserList& list) {
  const int code = ClearLibraryFolder(gApp, list.category, AskYesNo, PageFeedback());
  if (code == kMsgDone || code == kMsgSomeFilesNotDeleted) {
    list.selected = -1;
    list.page = 1;
  }
  return static_cast<uint8_t>(code);
}

std::string SelectedPath(const BrowserList& list, const BrowserRows& rows) {
  const std::string name = SelectedRealName(list, rows);
  return name.empty() ? std::string() : CategoryFilePath(gApp, list.category, name);
}
