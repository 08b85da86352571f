#include "ui/pages/recbin/recycle_bin.h"

#include "core/kept_for_run.h"
#include "ui/pages/shared/file_list_actions.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"

namespace {

constexpr int kRecycleCategory = 0;

enum Action { kPageBack, kPageForward, kFind, kDelete, kClear, kExplore, kMenu };

constexpr PageButton kButtons[] = {
    {0, 0, "<<PAGE", kPageBack}, {1, 0, "PAGE>>", kPageForward}, {2, 0, "fFIND<>", kFind},
    {4, 0, "fDELETE<>", kDelete}, {6, 0, "fCLR_DIR<>", kClear},  {11, 0, "EXPLORE", kExplore},
    {11, 1, "iMENU<>", kMenu},
};

RecycleBinModule& Bin(PageRun& run) { return *run.session->recycleBin; }

void Draw(PageRun& run) { DrawFileList(Bin(run).list, Bin(run).rows); }

void Act(PageRun& run, int action, const PageEvent& event) {
  RecycleBinModule& bin = Bin(run);
  BrowserList& list = bin.list;
  if (event.kind == EventKind::SelectionChanged) {
    MarkBrowserRow(list);
    return;
  }
  switch (action) {
    case kPageBack:
    case kPageForward:
      run.message = TurnListPage(list, bin.rows, action == kPageBack);
      break;
    case kFind:
      run.message = FindListedFile(list);
      run.redrawAll = true;
      break;
    case kDelete:
      run.message = DeleteListedFile(list, bin.rows);
      run.redrawAll = true;
      break;
    case kClear:
      run.message = ClearListedFolder(list);
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
  OpenFileList(list, kRecycleCategory);
  list.page = gKept.recycleBinPage;
  PageRun run;
  run.session = &session;
  RunPage(kRecycleBinPage, run);
  gKept.recycleBinPage = list.page;
}
