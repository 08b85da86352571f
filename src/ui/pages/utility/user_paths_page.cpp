#include <vector>

#include "core/app_globals.h"
#include "core/kept_for_run.h"
#include "files/category_root_move.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "platform/shell.h"
#include "ui/confirm.h"
#include "ui/draw.h"
#include "ui/list_rows.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/utility/utility_pages.h"

namespace {

enum Action { kLineBack, kLineForward, kSet, kReset, kExplore };

constexpr PageButton kButtons[] = {{0, 0, "<<LINE", kLineBack}, {1, 0, "LINE>>", kLineForward},
                                   {3, 0, "fSET<>", kSet},      {4, 0, "fRESET<>", kReset},
                                   {11, 0, "EXPLORE", kExplore}};
constexpr int kFolderX = 130;
constexpr int kKindRight = 1015;
constexpr int kPathPanelLeft = kFolderX - 68;
constexpr int kPathPanelRight = 962;
constexpr int kPathPanelTop = 540;
constexpr int kPathPanelBottom = kPathPanelTop + 47;
constexpr size_t kPathChars = 98;

// The slots that have a folder, in table order.
std::vector<int> PathLines() {
  std::vector<int> lines;
  for (int category = 0; category < kCategoryCount; ++category) {
    if (IsCategoryInUse(category)) lines.push_back(category);
  }
  return lines;
}

int LineY(int line) { return kListRowTop + kListRowStep * line; }

const char* PathKind(int category) {
  return gApp.folderUserPath[static_cast<size_t>(category)].empty() ? "DEFAULT PATH" : "USER DEFINED";
}

// The selected line's category, the line brought back into range first.
int SelectedCategory() {
  const std::vector<int> lines = PathLines();
  int& line = gKept.userPathLine;
  if (line < 0 || line >= static_cast<int>(lines.size())) line = 0;
  return lines[static_cast<size_t>(line)];
}

void DrawPathOfLine() {
  HoldRepaint();
  DrawPanel(kPathPanelLeft, kPathPanelTop, kPathPanelRight, kPathPanelBottom, "CURRENT LOCATION");
  DrawText(kPathPanelLeft + 5, kPathPanelTop + 17 + 7,
           ShortenedPath(CategoryFolderPath(gApp, SelectedCategory()), kPathChars), 'L');
  FlushRegion(kPathPanelLeft, kPathPanelTop, kPathPanelRight, kPathPanelBottom);
}

void Draw(PageRun&) {
  const std::vector<int> lines = PathLines();
  const int count = static_cast<int>(lines.size());
  SelectedCategory();
  HoldRepaint();
  for (int line = 0; line < count; ++line) {
    DrawText(kFolderX, LineY(line), ScreenFolderName(lines[static_cast<size_t>(line)]), 'L');
    DrawText(kKindRight, LineY(line), PathKind(lines[static_cast<size_t>(line)]), 'R');
  }
  MarkListRow(gKept.userPathLine, count - 1);
  FlushRegion(kFolderX - 70, kListRowTop, kKindRight + 4, LineY(count));
  DrawPathOfLine();
  ShowSoundDeviceField();
}

// The dialog through the platform: its answer gets the trailing separator
// the root moves expect.
std::optional<std::string> ChooseRoot(const std::string& title, const std::string& start) {
  std::optional<std::string> chosen = BrowseForFolder(title, start);
  if (chosen && !chosen->empty() && chosen->back() != '/') *chosen += '/';
  return chosen;
}

bool AskQuestion(int question) { return Confirm("fYES", "fNO", static_cast<uint8_t>(question)); }

void Act(PageRun& run, int action, const PageEvent&) {
  const int category = SelectedCategory();
  switch (action) {
    case kLineBack:
    case kLineForward:
      gKept.userPathLine = StepListLine(gKept.userPathLine, action == kLineBack ? -1 : 1,
                                        static_cast<int>(PathLines().size()));
      DrawPathOfLine();
      return;
    case kSet:
      run.message = static_cast<uint8_t>(SetCategoryUserRoot(gApp, category, ChooseRoot, PageFeedback()));
      run.redrawAll = true;
      return;
    case kReset:
      run.message = static_cast<uint8_t>(ResetCategoryUserRoot(gApp, category, AskQuestion, PageFeedback()));
      run.redrawAll = true;
      return;
    case kExplore:
      ExploreCategoryFolder(run, category);
      return;
    default:
      return;
  }
}

}  // namespace

const Page kUserPathsPage = {
    .title = "USER PATH SETTINGS", .number = "1.0.0", .buttons = kButtons, .draw = Draw, .act = Act};
