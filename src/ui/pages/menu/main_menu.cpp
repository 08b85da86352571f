#include "ui/pages/menu/main_menu.h"

#include <array>
#include <cstdlib>

#include "core/app_globals.h"
#include "core/kept_for_run.h"
#include "core/random.h"
#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/confirm.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/page.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/shared/playback_link.h"
#include "ui/pages/menu/web_update_page.h"

namespace {

constexpr int kClockRedrawStep = 400;
constexpr int kHostChars = 20;

enum Action { kResize = 100, kUpdate, kExit, kReboot, kOff };

struct MenuEntry {
  IndexRow row;
  ProgramState state;
};

// The FUNCTION INDEX rows; their buttons carry the state as their action.
constexpr std::array<MenuEntry, 6> kMenuEntries = {{
    {{"VORTA", "WAVETABLE SYNTHESIS <SINE WAVES>"}, STATE_VORTA},
    {{"XFORM", "WAVETABLE SYNTHESIS <NOISE FILTERING>"}, STATE_XFORM},
    {{"SLOOP", "LOOP SYNTHESIS"}, STATE_SLOOP},
    {{"XMRPH", "CROSS SYNTHESIS"}, STATE_XMRPH},
    {{"RECBIN", "UNKNOWN FILE TYPE RECYCLE BIN"}, STATE_RECBIN},
    {{"UTILITY", "PERSISTENT GLOBAL SETTINGS"}, STATE_UTILITY},
}};

// The leave buttons: in appliance mode three that ask first, else "iEXIT"
// alone at (11, 1), which leaves at once. Two buttons share (11, 1); Shows
// picks the one of the mode.
constexpr PageButton kButtons[] = {
    {0, 0, "fVORTA<>", STATE_VORTA},  {1, 0, "fXFORM<>", STATE_XFORM},    {2, 0, "fSLOOP<>", STATE_SLOOP},
    {3, 0, "fXMRPH<>", STATE_XMRPH},  {6, 0, "fRECBIN<>", STATE_RECBIN},  {7, 0, "fUTILITY<>", STATE_UTILITY},
    {8, 0, "RESIZE", kResize},        {10, 0, "s UPDATE ", kUpdate},      {9, 1, "iEXIT", kExit},
    {10, 1, "iREBOOT", kReboot},      {11, 1, "iOFF", kOff},              {11, 1, "iEXIT", kExit},
};

bool ResizeAllowed() { return gDisplayState.layout.tallScreen; }

bool Shows(const PageRun&, const PageButton& button) {
  if (button.action == kResize) return ResizeAllowed();
  if (button.row == 0) return true;
  const bool applianceButton = !(button.column == 11 && button.action == kExit);
  return applianceButton == gApp.applianceMode;
}

void ShowScreenSize() {
  if (!ResizeAllowed()) return;
  DrawStatusField(1, 1, "SCREEN SIZE:", gApp.settings.fullScreen ? "FULLSCREEN" : "WINDOW", 10);
}

void Draw(PageRun&) {
  HoldRepaint();
  DrawStatusField(0, 0, "HOST:", ScreenName(gApp.hostName.substr(0, kHostChars)), kHostChars);
  DrawStatusValue(0, 1, "NUMBER OF PROCESSORS:", "%d", static_cast<int32_t>(gApp.processorCount), 3);
  DrawStatusValue(0, 2, "INSTALLED RAM <MB>:", "%u", static_cast<uint32_t>(gApp.physicalMemory >> 20), 7);
  ShowSoundDeviceField();
  ShowScreenSize();
  std::array<IndexRow, kMenuEntries.size()> rows{};
  for (size_t i = 0; i < kMenuEntries.size(); ++i) rows[i] = kMenuEntries[i].row;
  DrawIndexBox("FUNCTION INDEX", rows);
  FlushRegion(0, 0, 1023, 767);
  ShowLocalTime(true);
}

// Question asked before a leave in appliance mode, and the state it sets.
struct Leave {
  MessageCode question;
  ProgramState state;
};

Leave LeaveOf(int action) {
  switch (action) {
    case kReboot: return {kMsgRebootMachine, STATE_REBOOT};
    case kOff: return {kMsgShutDownMachine, STATE_OFF};
    default: return {gApp.applianceMode ? kMsgExitToHost : kMsgNone, STATE_EXIT};
  }
}

void Act(PageRun& run, int action, const PageEvent&) {
  if (action >= STATE_VORTA && action <= STATE_UTILITY) {
    gApp.programState = static_cast<ProgramState>(action);
  } else if (action == kResize) {
    gApp.programState = STATE_RESIZE;
  } else if (action == kUpdate) {
    RunWebUpdatePage();
    if (gApp.settings.updateInstalled) {
      gApp.programState = STATE_RESTART;
    } else {
      run.message = kMsgAborted;
      run.redrawAll = true;
    }
  } else if (action == kExit || action == kReboot || action == kOff) {
    const Leave leave = LeaveOf(action);
    if (leave.question == kMsgNone || Confirm("fYES", "fNO", leave.question)) {
      gApp.programState = leave.state;
    } else {
      run.message = kMsgAborted;
      run.redrawAll = true;
    }
  }
  if (gApp.programState != STATE_MAIN_MENU) run.Finish(gApp.programState);
}

void Idle(PageRun&) { ShowLocalTime(false); }

constexpr Page kMainMenuPage = {.title = "MAIN MENU",
                                .number = "0.0.0",
                                .buttons = kButtons,
                                .draw = Draw,
                                .act = Act,
                                .shows = Shows,
                                .idle = Idle};

}  // namespace

uint8_t PendingUpdateNotice() {
  SettingsBlock& settings = gApp.settings;
  if (settings.updateInstalled) {
    settings.updateInstalled = 0;
    settings.updateAvailable = 0;
    return kMsgUpdateComplete;
  }
  if (settings.updateAvailable) {
    if (settings.noUpdateLookup) {
      settings.updateAvailable = 0;
      return kMsgNone;
    }
    return kMsgUpdateAvailable;
  }
  return kMsgNone;
}

void ShowLocalTime(bool force) {
  const LocalTime now = QueryLocalTime();
  const int32_t stamp = now.second * 1000 + now.millisecond;
  if (!gKept.randomSeeded) {
    SeedRandom(static_cast<uint32_t>(stamp));
    gKept.randomSeeded = true;
  }
  if (!force && gKept.menuClockStamp >= 0 && std::abs(stamp - gKept.menuClockStamp) <= kClockRedrawStep) return;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  DrawStatusField(1, 0, "LOCAL TIME:", text, 8);
  gKept.menuClockStamp = stamp;
}

void RunMainMenu() {
  gApp.programState = STATE_MAIN_MENU;
  PageRun run;
  run.message = PendingUpdateNotice();
  RunPage(kMainMenuPage, run);
}
