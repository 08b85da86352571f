#include "ui/pages/recbin/recycle_bin.h"

#include "core/app_globals.h"
#include "core/kept_for_run.h"
#include "files/folder_scan.h"
#include "platform/clock.h"
#include "ui/confirm.h"
#include "ui/draw.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/value_entry.h"

namespace {

constexpr int kRecycleCategory = 0;

enum Action { kPageBack, kPageForward, kFind, kDelete, kClear, kExplore, kMenu };

constexpr PageButton kButtons[] = {
    {0, 0, "<<PAGE", kPageBack}, {1, 0, "PAGE>>", kPageForward}, {2, 0, "fFIND<>", kFind},
    {4, 0, "fDELETE<>", kDelete}, {6, 0, "fCLR_DIR<>", kClear},  {11, 0, "EXPLORE", kExplore},
    {11, 1, "iMENU<>", kMenu},
};

RecycleBinModule& Bin(PageRun& run) { return *run.session->recycleBin; }

void Draw(PageRun& run) {
  RecycleBinModule& bin = Bin(run);
  DrawBrowserPage(bin.list, bin.rows);
  MarkBrowserRow(bin.list);
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

uint8_t Find(BrowserList& list) {
  std::string text;
  if (!NameEntry(text, kRecycleCategory, 'F')) return kMsgAborted;
  const FindResult found = FindInCategory(gApp, kRecycleCategory, text, false, SearchFeedback());
  if (found.code != 0) return static_cast<uint8_t>(found.code);
  list.page = static_cast<uint16_t>(found.page);
  list.selected = static_cast<int16_t>(found.foundIndex);
  return kMsgNone;
}

void Act(PageRun& run, int action, const PageEvent& event) {
  BrowserList& list = Bin(run).list;
  if (event.kind == EventKind::SelectionChanged) {
    MarkBrowserRow(list);
    return;
  }
  switch (action) {
    case kPageBack:
    case kPageForward: {
      bool changed = false;
      run.message = PageList(list, action == kPageBack ? kPageBackCode : kPageForwardCode, changed);
      if (changed) Draw(run);
      break;
    }
    case kFind:
      run.message = Find(list);
      run.redrawAll = true;
      break;
    case kDelete:
    case kClear:
      run.message = static_cast<uint8_t>(
          action == kDelete ? DeleteLibraryFile(gApp, kRecycleCategory, SelectedRealName(list, Bin(run).rows), AskQuestion,
                                              PageFeedback())
                            : ClearLibraryFolder(gApp, kRecycleCategory, AskQuestion, PageFeedback()));
      if (run.message == kMsgDone) list.selected = -1;
      run.redrawAll = true;
      break;
    case kExplore:
      ExploreCategoryFolder(run, kRecycleCategory);
      break;
    case kMenu:
      run.Finish(kMsgNone);
      break;
    default:
      break;
  }
  gKept.recycleBinPage = list.page;
}

PageEvent StepTheList(PageRun& run, const PageEvent& event) { return StepList(Bin(run).list, event); }

const Page kRecycleBinPage = {.title = "RECYCLE BIN",
                              .number = "0.0.0",
                              .buttons = kButtons,
                              .draw = Draw,
                              .act = Act,
                              .held = StepTheList,
                              .mouse = StepTheList,
                              .listRepeat = true};

}  // namespace

void RunRecycleBinPage() {
  ModuleSession session;
  session.state = STATE_RECBIN;
  session.recycleBin = std::make_unique<RecycleBinModule>();
  BrowserList& list = session.recycleBin->list;
  list.category = kRecycleCategory;
  list.page = gKept.recycleBinPage;
  list.selected = -1;
  PageRun run;
  run.session = &session;
  RunPage(kRecycleBinPage, run);
  gKept.recycleBinPage = list.page;
}
