#include "ui/pages/recycle_bin.h"

#include "core/app_globals.h"
#include "files/folder_scan.h"
#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/confirm.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/pages/browser_page.h"
#include "ui/pages/page_support.h"
#include "ui/value_entry.h"

uint16_t gRecycleBinPage = 1;

namespace {

constexpr int kRecycleCategory = 0;
constexpr uint8_t kPageBackCode = ButtonCode(0, 0);
constexpr uint8_t kPageForwardCode = ButtonCode(1, 0);
constexpr uint8_t kFindCode = ButtonCode(2, 0);
constexpr uint8_t kDeleteCode = ButtonCode(4, 0);
constexpr uint8_t kClearCode = ButtonCode(6, 0);
constexpr uint8_t kExploreCode = ButtonCode(11, 0);
constexpr uint8_t kMenuCode = ButtonCode(11, 1);

void SetRecycleButtons() {
  SetButton(0, 0, "<<PAGE");
  SetButton(1, 0, "PAGE>>");
  SetButton(2, 0, "fFIND<>");
  SetButton(4, 0, "fDELETE<>");
  SetButton(6, 0, "fCLR_DIR<>");
  SetButton(11, 0, "EXPLORE");
  SetButton(11, 1, "iMENU<>");
}

void DrawRecycleBin(BrowserList& list, BrowserRows& rows) {
  DrawPageHeader("RECYCLE BIN", "0.0.0", true);
  SetRecycleButtons();
  DrawBrowserPage(list, rows);
  MarkBrowserRow(list);
}

LibraryFeedback SearchFeedback() {
  LibraryFeedback feedback = PageFeedback();
  feedback.showCentred = [](const char* text) {
    ClearMainArea();
    DrawText(512, 392, text, 'M');
  };
  feedback.pause = [](int milliseconds) { SleepMillis(milliseconds); };
  return feedback;
}

bool AskQuestion(int question) { return Confirm("fYES", "fNO", static_cast<uint8_t>(question)); }

// One button of the page; the message to show.
uint8_t ActOnButton(uint8_t code, BrowserList& list, BrowserRows& rows) {
  bool changed = false;
  switch (code) {
    case kPageBackCode:
    case kPageForwardCode: {
      const MessageCode result = PageList(list, code, changed);
      if (changed) {
        DrawBrowserPage(list, rows);
        MarkBrowserRow(list);
      }
      return result;
    }
    case kFindCode: {
      std::string text;
      const bool confirmed = NameEntry(text, kRecycleCategory, 'F');
      uint8_t message = kMsgAborted;
      if (confirmed) {
        const FindResult found = FindInCategory(gApp, kRecycleCategory, text, false, SearchFeedback());
        if (found.code == 0) {
          list.page = static_cast<uint16_t>(found.page);
          list.selected = static_cast<int16_t>(found.foundIndex);
          message = kMsgNone;
        } else {
          message = static_cast<uint8_t>(found.code);
        }
      }
      DrawRecycleBin(list, rows);
      return message;
    }
    case kDeleteCode: {
      const uint8_t message =
          static_cast<uint8_t>(DeleteLibraryFile(gApp, kRecycleCategory, SelectedRealName(list, rows), AskQuestion,
                                                PageFeedback()));
      if (message == kMsgDone) list.selected = -1;
      DrawRecycleBin(list, rows);
      return message;
    }
    case kClearCode: {
      const uint8_t message =
          static_cast<uint8_t>(ClearLibraryFolder(gApp, kRecycleCategory, AskQuestion, PageFeedback()));
      if (message == kMsgDone) list.selected = -1;
      DrawRecycleBin(list, rows);
      return message;
    }
    case kExploreCode:
      ExploreCategoryFolder(kRecycleCategory);
      return kMsgNone;
    default:
      return kMsgNone;
  }
}

}  // namespace

void RunRecycleBinPage() {
  BrowserList list;
  list.category = kRecycleCategory;
  list.page = gRecycleBinPage;
  list.selected = -1;
  BrowserRows rows;
  DrawRecycleBin(list, rows);
  for (;;) {
    uint8_t code = kNoEvent;
    bool changed = false;
    if (PollInput(true, false)) {
      StepList(list, code, changed);
      if (gInput.clickPolled && code != kNoEvent) FlushMouse();  // the click was the list's
      TranslateButton(code);
    }
    if (code == kNoEvent) {
      IdleTick();
      continue;
    }
    if (code == kSelectionChanged) {
      MarkBrowserRow(list);
      continue;
    }
    if (code > 24 || ButtonLabel(ButtonColumn(code), ButtonRow(code)).empty()) continue;
    if (code == kMenuCode) break;
    uint8_t message = ActOnButton(code, list, rows);
    ShowPending(message);
  }
  gRecycleBinPage = list.page;
}
