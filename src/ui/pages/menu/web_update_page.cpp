#include "ui/pages/menu/web_update_page.h"

#include <cinttypes>
#include <cstdio>

#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "update/web_update.h"

namespace {

constexpr int kLogBoxLeft = 30;
constexpr int kLogBoxTop = 130;
constexpr int kLogBoxRight = 994;
constexpr int kLogBoxBottom = 670;
constexpr int kLogX = 50;
constexpr int kFirstLogY = 160;
constexpr int kLogStep = 20;
constexpr int kResultGap = 40;
constexpr int kClosingPauseMs = 4000;

}  // namespace

void RunWebUpdatePage() {
  DrawPageHeader("WEB UPDATE", "0.1.0", true);
  ClearButtons();
  DrawPanel(kLogBoxLeft, kLogBoxTop, kLogBoxRight, kLogBoxBottom, "UPDATE LOG");
  int nextY = kFirstLogY;
  UpdateRun run = ProgramUpdateRun();
  run.report.logLine = [&nextY](const std::string& line) {
    DrawText(kLogX, nextY, line, 'L');
    nextY += kLogStep;
  };
  run.report.progress = [](uint64_t done, uint64_t total) {
    char text[80];
    std::snprintf(text, sizeof text, "DOWNLOAD PROGRESS: %" PRIu64 " / %" PRIu64, done, total);
    ShowMessageText(text);
  };
  run.report.message = [](uint8_t code) { ShowMessage(code); };
  run.report.refuseClosing = [](bool refused) { SetCloseAllowed(!refused); };
  const std::string result = CheckForUpdate(run, false);
  // The result stands 40 pixels below the last log line.
  DrawText(kLogX, nextY - kLogStep + kResultGap, result, 'L');
  SleepMillis(kClosingPauseMs);
}
