#include "ui/pages/shared/page_support.h"

#include <algorithm>

#include "core/app_globals.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "platform/shell.h"
#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/playback_status.h"

namespace {

constexpr int kIndexHeadingHeight = 17;
constexpr int kIndexFirstRowGap = 7;

}  // namespace

void DrawIndexBox(std::string_view heading, std::span<const IndexRow> rows) {
  const int count = std::min(static_cast<int>(rows.size()), kMaxIndexRows);
  const int top = IndexBoxTop(count);
  const int firstRow = top + kIndexHeadingHeight + kIndexFirstRowGap;
  const int bottom = firstRow + kIndexRowStep * count;
  HoldRepaint();
  DrawPanel(kIndexBoxLeft, top, kIndexBoxRight, bottom, heading);
  for (int row = 0; row < count; ++row) {
    const int y = firstRow + kIndexRowStep * row;
    DrawText(kIndexNameX, y, rows[static_cast<size_t>(row)].name, 'L');
    DrawText(kIndexDescriptionX, y, rows[static_cast<size_t>(row)].description, 'R');
  }
  FlushRegion(kIndexBoxLeft, top, kIndexBoxRight, bottom);
}

std::string ScreenName(std::string_view name) {
  std::string shown(name);
  for (char& c : shown) {
    if (c == '(') c = '<';
    else if (c == ')') c = '>';
    else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return shown;
}

std::string ScreenFolderName(int category) {
  if (category < 0 || category >= kCategoryCount) return {};
  return ScreenName(kFolderTable[static_cast<size_t>(category)].folderName);
}

std::string ShortenedPath(std::string_view path, size_t maxChars) {
  constexpr std::string_view kEllipsis = "...";
  if (path.size() <= maxChars) return std::string(path);
  if (maxChars <= kEllipsis.size()) return std::string(kEllipsis.substr(0, maxChars));
  return std::string(kEllipsis) + std::string(path.substr(path.size() - (maxChars - kEllipsis.size())));
}

void ExploreCategoryFolder(PageRun& run, int category) {
  if (ExploreFolder(CategoryFolderPath(gApp, category))) {
    MinimiseDisplayWindow();
  } else {
    run.message = kMsgAccessDenied;
  }
}

void ShowSoundDeviceField() { ShowSoundDevice(); }

LibraryFeedback PageFeedback() {
  LibraryFeedback feedback;
  feedback.showMessage = [](int code) {
    uint8_t message = static_cast<uint8_t>(code);
    ShowMessage(message);
  };
  feedback.refuseClosing = [](bool refused) { SetCloseAllowed(!refused); };
  feedback.pause = [](int milliseconds) { SleepMillis(milliseconds); };
  return feedback;
}
