#include "ui/pages/menu/credits_boot.h"

#include <cstdio>
#include <filesystem>

#include "core/app_globals.h"
#include "files/folder_table.h"
#include "files/library_moves.h"
#include "files/library_paths.h"
#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/shared/playback_link.h"
#include "update/web_update.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLabelX = 2;
constexpr int kResultX = 1021;
constexpr int kFirstRowY = 64;
constexpr int kRowStep = 20;
constexpr int kFolderLineLeft = 238;
constexpr int kFolderLineRight = 1020;
constexpr int kFolderKindX = 668;
constexpr int kRowPauseMs = 50;
constexpr int kFinalPauseMs = 2500;
constexpr int kCreditsMs = 3000;

constexpr const char* kMakerLine = "A SONIC-LOOM PRODUCTION (C) THE SONIC-LOOM DEVELOPERS";
constexpr const char* kThanksLine = "THANKS TO EVERYONE WHO TESTED, REPORTED AND SUGGESTED";

void ClearCanvas() {
  RestoreNormalColours();
  HoldRepaint();
  FillBox(0, 0, kCanvasWidth, kCanvasHeight);
  DrawText(2, 2, gApp.screenTitle, 'L');
  FlushRegion(0, 0, kCanvasWidth, kCanvasHeight);
}

void DrawResult(int y, const std::string& text) {
  HoldRepaint();
  FillBox(kFolderKindX + 120, y, kResultX + 2, y + 16);
  DrawText(kResultX, y, text, 'R');
  FlushRegion(kFolderKindX + 120, y, kResultX + 2, y + 16);
}

void DrawFolderRow(int y, int category) {
  const long count = CountFolderFiles(CategoryFolderPath(gApp, category));
  HoldRepaint();
  DrawLine(kFolderLineLeft, y + 12, kFolderLineRight, y + 12);
  DrawText(kFolderLineLeft, y, ScreenFolderName(category), 'L');
  DrawText(kFolderKindX, y, gApp.folderUserPath[static_cast<size_t>(category)].empty() ? "DEFAULT PATH" : "USER DEFINED",
           'L');
  FlushRegion(kFolderLineLeft, y, kFolderLineRight, y + 16);
  char text[32];
  if (count < 0) {
    DrawResult(y, "ACCESS DENIED");
  } else {
    std::snprintf(text, sizeof text, "%ld FILES", count);
    DrawResult(y, text);
  }
}

}  // namespace

long CountFolderFiles(const std::string& folder) {
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (error) return -1;
  long count = 0;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    std::error_code kindError;
    if (it->is_regular_file(kindError)) ++count;
  }
  return count;
}

void ShowCredits() {
  ClearCanvas();
  ClearButtons();
  DrawPanel(212, 284, 812, 484, "CREDITS");
  DrawText(512, 330, gApp.screenTitle, 'M');
  DrawText(512, 370, ScreenName(kMakerLine), 'M');
  DrawText(512, 410, kThanksLine, 'M');
  const int64_t until = NowMillis() + kCreditsMs;
  while (NowMillis() < until) {
    if (PollInput(false, false)) break;  // any key skips the rest of the box
    IdleTick();
  }
}

void RunBootSequence() {
  ClearCanvas();
  int y = kFirstRowY;
  DrawText(kLabelX, y, ">PERFORMING INITIAL FILE TESTS:", 'L');
  DrawResult(y, "0 DONE");
  const int firstRowY = y;
  LibraryFeedback feedback = PageFeedback();  // tells when another process holds the library
  feedback.progress = [firstRowY](int handled) {
    char text[32];
    std::snprintf(text, sizeof text, "%d DONE", handled);
    DrawResult(firstRowY, text);
  };
  SortLibrary(gApp, feedback);
  y += 2 * kRowStep;
  for (int category = 0; category < kCategoryCount; ++category) {
    if (!IsCategoryInUse(category)) continue;
    DrawFolderRow(y, category);
    SleepMillis(kRowPauseMs);
    y += kRowStep;
  }
  y += kRowStep;
  DrawText(kLabelX, y, ">TESTING SOUND DEVICES:", 'L');
  char text[40];
  std::snprintf(text, sizeof text, "%d DEVICE<S> FOUND", CountPlaybackDevices());
  DrawResult(y, text);
  SleepMillis(kRowPauseMs);
  y += kRowStep;
  DrawText(kLabelX, y, ">LOOKING FOR UPDATES:", 'L');
  UpdateRun update = ProgramUpdateRun();
  DrawResult(y, CheckForUpdate(update, true));
  SleepMillis(kRowPauseMs);
  y += kRowStep;
  DrawText(kLabelX, y, ">LOOKING FOR PENDING UPDATE FILES:", 'L');
  DrawResult(y, ReplacePendingManual(update.files));
  SleepMillis(kRowPauseMs);
  y += 2 * kRowStep;
  DrawText(kLabelX, y, ">PREPARATIONS COMPLETE, STARTING SONIC-LOOM...", 'L');
  SleepMillis(kFinalPauseMs);
}
