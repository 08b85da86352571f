#include "ui/pages/menu/web_update_page.h"

#include <cinttypes>
#include <cstdio>

#include "platform/clock.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/page.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/module_session.h"
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

WebUpdateModule& Update(PageRun& run) { return *run.session->webUpdate; }

void DrawLogBox(PageRun& run) {
  DrawPanel(kLogBoxLeft, kLogBoxTop, kLogBoxRight, kLogBoxBottom, "UPDATE LOG");
  Update(run).nextLogY = kFirstLogY;
}

// The whole check, download and install, with the log written into the box
// as it goes; the window keeps answering while the file comes in.
std::string RunUpdate(WebUpdateModule& state) {
  UpdateRun update = ProgramUpdateRun();
  update.report.logLine = [&state](const std::string& line) {
    DrawText(kLogX, state.nextLogY, line, 'L');
    state.nextLogY += kLogStep;
  };
  update.report.progress = [](uint64_t done, uint64_t total) {
    char text[80];
    std::snprintf(text, sizeof text, "DOWNLOAD PROGRESS: %" PRIu64 " / %" PRIu64, done, total);
    ShowMessageText(text);
    PollInput(false, false);
  };
  update.report.message = [](uint8_t code) { ShowMessage(code); };
  update.report.refuseClosing = [](bool refused) { SetCloseAllowed(!refused); };
  return CheckForUpdate(update, false);
}

// The update runs on the page's first pass; the result then stands for 4
// seconds before the main menu returns.
void Idle(PageRun& run) {
  WebUpdateModule& state = Update(run);
  if (state.closeAtMillis < 0) {
    const std::string result = RunUpdate(state);
    // The result stands 40 pixels below the last log line.
    DrawText(kLogX, state.nextLogY - kLogStep + kResultGap, result, 'L');
    state.closeAtMillis = NowMillis() + kClosingPauseMs;
  } else if (NowMillis() >= state.closeAtMillis) {
    run.Finish(kMsgNone);
  }
}

constexpr Page WebUpdatePage() {
  Page page = PlaceholderPage("WEB UPDATE", "0.1.0");
  page.draw = DrawLogBox;
  page.idle = Idle;
  return page;
}

constexpr Page kWebUpdatePage = WebUpdatePage();

}  // namespace

void RunWebUpdatePage() {
  ModuleSession session;
  session.webUpdate = std::make_unique<WebUpdateModule>();
  PageRun run;
  run.session = &session;
  RunPage(kWebUpdatePage, run);
}
