#include <vector>

#include "core/app_globals.h"
#include "files/category_root_move.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "ui/button_bar.h"
#include "ui/input.h"
#include "ui/confirm.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/pages/page_support.h"
#include "ui/pages/utility_pages.h"

int gUserPathLine = 0;

namespace {

constexpr uint8_t kLineBackCode = ButtonCode(0, 0);
constexpr uint8_t kLineForwardCode = ButtonCode(1, 0);
constexpr uint8_t kSetCode = ButtonCode(3, 0);
constexpr uint8_t kResetCode = ButtonCode(4, 0);
constexpr uint8_t kExploreCode = ButtonCode(11, 0);
constexpr int kFolderX = 130;
constexpr int kKindRight = 1015;
constexpr int kPathPanelTop = 540;

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

void DrawPathOfLine(int category) {
  HoldRepaint();
  DrawPanel(kFolderX - 68, kPathPanelTop, 962, kPathPanelTop + 17 + 30, "CURRENT LOCATION");
  DrawText(kFolderX - 63, kPathPanelTop + 17 + 7, ScreenName(CategoryFolderPath(gApp, category)).substr(0, 98), 'L');
  FlushRegion(kFolderX - 68, kPathPanelTop, 962, kPathPanelTop + 47);
}

void DrawLines(const std::vector<int>& lines) {
  HoldRepaint();
  FillBox(kFolderX, kListRowTop, kKindRight + 4, LineY(static_cast<int>(lines.size())));
  for (size_t line = 0; line < lines.size(); ++line) {
    const int y = LineY(static_cast<int>(line));
    DrawText(kFolderX, y, ScreenFolderName(lines[line]), 'L');
    DrawText(kKindRight, y, PathKind(lines[line]), 'R');
  }
  FlushRegion(kFolderX, kListRowTop, kKindRight + 4, LineY(static_cast<int>(lines.size())));
}

void DrawUserPathsPage(const std::vector<int>& lines, int selected) {
  DrawPageHeader("USER PATH SETTINGS", "1.0.0", true);
  DrawLines(lines);
  MarkListRow(selected, static_cast<int>(lines.size()) - 1);
  DrawPathOfLine(lines[static_cast<size_t>(selected)]);
  ShowSoundDeviceField();
  SetButton(0, 0, "<<LINE");
  SetButton(1, 0, "LINE>>");
  SetButton(3, 0, "fSET<>");
  SetButton(4, 0, "fRESET<>");
  SetButton(11, 0, "EXPLORE");
  SetUtilityNavigation(kUserPathsSelector);
}

// The dialog through the platform: its answer gets the trailing separator
// the root moves expect.
std::optional<std::string> ChooseRoot(const std::string& title, const std::string& start) {
  std::optional<std::string> chosen = BrowseForFolder(title, start);
  if (chosen && !chosen->empty() && chosen->back() != '/') *chosen += '/';
  return chosen;
}

}  // namespace

void ExploreCategoryFolder(int category) {
  ExploreFolder(CategoryFolderPath(gApp, category));
  MinimiseDisplayWindow();
}

uint16_t RunUserPathsPage() {
  const std::vector<int> lines = PathLines();
  const int count = static_cast<int>(lines.size());
  int& selected = gUserPathLine;
  if (selected < 0 || selected >= count) selected = 0;
  DrawUserPathsPage(lines, selected);
  for (;;) {
    const uint8_t code = NextButton();
    if (code == kNoEvent) continue;
    const uint16_t next = FollowUtilityNavigation(kUserPathsSelector, code);
    if (next != kUserPathsSelector) return next;
    const int category = lines[static_cast<size_t>(selected)];
    uint8_t message = kMsgNone;
    switch (code) {
      case kLineBackCode:
      case kLineForwardCode:
        selected = (selected + (code == kLineBackCode ? count - 1 : 1)) % count;
        HoldRepaint();
        MarkListRow(selected, count - 1);
        FlushRegion(60, kListRowTop, 125, LineY(count));
        DrawPathOfLine(lines[static_cast<size_t>(selected)]);
        break;
      case kSetCode:
        message = static_cast<uint8_t>(SetCategoryUserRoot(gApp, category, ChooseRoot, PageFeedback()));
        DrawUserPathsPage(lines, selected);
        break;
      case kResetCode: {
        const ConfirmQuestion ask = [](int question) {
          return Confirm("fYES", "fNO", static_cast<uint8_t>(question));
        };
        message = static_cast<uint8_t>(ResetCategoryUserRoot(gApp, category, ask, PageFeedback()));
        DrawUserPathsPage(lines, selected);
        break;
      }
      case kExploreCode:
        ExploreCategoryFolder(category);
        break;
      default:
        break;
    }
    ShowPending(message);
  }
}
