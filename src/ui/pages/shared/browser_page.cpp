#include "ui/pages/shared/browser_page.h"

#include <cstdio>
#include <filesystem>

#include "core/app_globals.h"
#include "files/folder_scan.h"
#include "files/library_paths.h"
#include "ui/draw.h"
#include "ui/info_panels.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"

namespace {

constexpr int kRowTop = 151;
constexpr int kRowPitch = 32;
constexpr int kNumberX = 67;
constexpr int kNameX = 172;
constexpr int kKindX = 352;
constexpr long long kFreeSpaceCapMb = 4194304;
constexpr long long kLowSpaceMb = 65;
constexpr int kNameFieldChars = 21;
constexpr size_t kDiskPathChars = 46;

// Columns x 462, 572, 682, 737, 792 by category.
struct RowColumns {
  const std::string FileInfo::*fields[5];
};

RowColumns ColumnsOf(int category) {
  using F = const std::string FileInfo::*;
  const F none = nullptr;
  switch (category) {
    case 1:
      return {{&FileInfo::length, &FileInfo::channels, &FileInfo::format, none, &FileInfo::loop}};
    case 2:
      return {{&FileInfo::length, &FileInfo::loop, &FileInfo::format, none, &FileInfo::remark}};
    case 3:
      return {{&FileInfo::count, &FileInfo::length, &FileInfo::format, none, &FileInfo::remark}};
    case 4:
      return {{&FileInfo::count, none, none, none, &FileInfo::remark}};
    case 5:
      return {{&FileInfo::count, &FileInfo::length, &FileInfo::slot, &FileInfo::device, &FileInfo::remark}};
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
      return {{&FileInfo::count, &FileInfo::length, none, none, &FileInfo::remark}};
    case 13:
      return {{&FileInfo::count, &FileInfo::length, &FileInfo::channels, none, &FileInfo::remark}};
    default:
      return {{none, none, none, none, none}};
  }
}

constexpr int kColumnX[5] = {462, 572, 682, 737, 792};

struct ScanOutcome {
  int fileCount = 0;
  bool opened = false;
};

ScanOutcome ScanPage(BrowserList& list, BrowserRows& rows, int first, int last) {
  ScanOutcome outcome;
  const FolderListing listing = VisitCategoryFiles(gApp, list.category, [&](const ListedFile& file) {
    if (!file.listed) return true;
    if (file.index >= first && file.index <= last) {
      const size_t row = static_cast<size_t>(file.index - first);
      rows.realNames[row] = file.name;
      rows.infos[row] = file.info;
      if (file.movingDenied) rows.infos[row].remark = kMovingDeniedRemark;
      list.names[row] = file.shortName;
    }
    return true;
  }, PageFeedback(), ReadWindow{first, last});
  outcome.opened = listing.opened;
  outcome.fileCount = listing.fileCount;
  return outcome;
}

void DrawRows(const BrowserList& list, const BrowserRows& rows) {
  const RowColumns columns = ColumnsOf(list.category);
  for (int k = 0; k <= list.last - list.first; ++k) {
    const size_t row = static_cast<size_t>(k);
    const int y = kRowTop + kRowPitch * k;
    DrawFormatted(kNumberX, y, "%.5d", static_cast<uint32_t>(list.first + k), 'L');
    DrawText(kNameX, y, list.names[row], 'L');
    const FileInfo& info = rows.infos[row];
    DrawText(kKindX, y, list.category == 0 ? info.remark : info.family, 'L');
    if (list.narrow) continue;
    for (int c = 0; c < 5; ++c) {
      if (columns.fields[c]) DrawText(kColumnX[c], y, info.*columns.fields[c], 'L');
    }
  }
}

}  // namespace

std::string FreeSpaceText(long long freeBytes, bool known) {
  if (!known) return "-N.A.-";
  const long long megabytes = freeBytes >> 20;
  char text[40];
  if (megabytes > kFreeSpaceCapMb) {
    std::snprintf(text, sizeof text, ">%lld", kFreeSpaceCapMb);
  } else if (megabytes < kLowSpaceMb) {
    std::snprintf(text, sizeof text, "%lld <LOW!>", megabytes);
  } else {
    std::snprintf(text, sizeof text, "%lld", megabytes);
  }
  return text;
}

void DrawDiskLine(int category) {
  const std::string path = CategoryFolderPath(gApp, category);
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(path, error);
  SetPaper(PaletteColour(kFace));
  HoldRepaint();
  DrawFrame(62, 663, 961, 680);
  FillBox(62, 664, 962, 680);
  DrawText(67, 664, gApp.folderUserPath[static_cast<size_t>(category)].empty() ? "DEFAULT PATH" : "USER DEFINED PATH",
           'L');
  DrawText(256, 664, ShortenedPath(path, kDiskPathChars), 'L');
  DrawText(685, 664, "FREE DISK SPACE <MB>:", 'L');
  DrawText(956, 664, FreeSpaceText(static_cast<long long>(space.available), !error), 'R');
  FlushRegion(62, 663, 962, 680);
  RestoreNormalColours();
}

void DrawBrowserPage(BrowserList& list, BrowserRows& rows) {
  DrawWideStatusField(0, 0, "DIR <FILE TYPE>:", ScreenFolderName(list.category));
  if (list.narrow) {
    SetPaper(PaletteColour(kFace));
    FillBox(62, 136, 422, 663);
  } else {
    FillBox(62, 136, 1023, 662);
    DrawDiskLine(list.category);
  }
  if (list.page < 1) list.page = 1;
  ScanOutcome outcome;
  int first = 0;
  int last = -1;
  for (int pass = 0; pass < 2; ++pass) {
    rows = BrowserRows{};
    list.names = {};
    first = (list.page - 1) * kBrowserRows;
    last = first + kBrowserRows - 1;
    outcome = ScanPage(list, rows, first, last);
    if (!outcome.opened) {
      list.page = 1;
      list.pageCount = 1;
      first = 0;
      last = -1;
      outcome.fileCount = 0;
      break;
    }
    if (first + kBrowserRows - 1 >= outcome.fileCount) last = outcome.fileCount - 1;
    list.pageCount = static_cast<uint16_t>(outcome.fileCount / kBrowserRows +
                                           (outcome.fileCount % kBrowserRows != 0 || outcome.fileCount == 0));
    if (list.page <= list.pageCount || list.page < 2) break;
    list.page = list.pageCount;  // files went away: the last page instead
  }
  list.first = static_cast<int16_t>(first);
  list.last = static_cast<int16_t>(last);
  list.fileCount = static_cast<uint16_t>(outcome.fileCount);
  char text[40];
  if (last < first) {
    std::snprintf(text, sizeof text, "NONE");
  } else {
    std::snprintf(text, sizeof text, "%d - %d", first, last);
  }
  DrawStatusField(0, 3, "FILES ON PAGE:", text, 11);
  DrawStatusValue(0, 2, "FILES IN FOLDER:", "%d", static_cast<int32_t>(outcome.fileCount), 11);
  DrawStatusValue(1, 3, "CURRENT PAGE:", "%d", static_cast<int32_t>(list.page - 1), 4);
  DrawStatusValue(1, 2, "SUM PAGES:", "%d", static_cast<int32_t>(list.pageCount), 4);
  if (list.narrow) SetPaper(PaletteColour(kFace));
  HoldRepaint();
  DrawRows(list, rows);
  if (outcome.fileCount == 0) DrawText(list.narrow ? 242 : 512, 392, "EMPTY DIRECTORY", 'M');
  FlushRegion(62, 136, list.narrow ? 422 : 1023, 662);
  RestoreNormalColours();
}

void MarkBrowserRow(BrowserList& list) {
  if (list.narrow) SetPaper(PaletteColour(kFace));
  HoldRepaint();
  FillBox(115, 151, 165, 650);
  if (list.selected >= list.first && list.selected <= list.last && list.selected >= 0) {
    const int row = list.selected % kBrowserRows;
    DrawText(115, kRowTop + kRowPitch * row, ">>>>>>", 'L');
    list.selectedName = list.names[static_cast<size_t>(row)];
  } else {
    list.selected = -1;
    list.selectedName.clear();
  }
  FlushRegion(115, 151, 165, 650);
  RestoreNormalColours();
  DrawStatusField(2, 0, "DISK:", list.selectedName.substr(0, kNameFieldChars), kNameFieldChars);
}

std::string SelectedRealName(const BrowserList& list, const BrowserRows& rows) {
  if (list.selected < 0 || list.selected < list.first || list.selected > list.last) return {};
  return rows.realNames[static_cast<size_t>(list.selected % kBrowserRows)];
}
