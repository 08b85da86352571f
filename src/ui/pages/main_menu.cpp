#include "ui/pages/main_menu.h"

#include <array>
#include <cstdlib>

#include "core/app_globals.h"
#include "core/random.h"
#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/confirm.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/pages/page_support.h"
#include "ui/pages/playback_link.h"
#include "ui/pages/web_update_page.h"

MenuClock gMenuClock;

namespace {

constexpr int kClockRedrawStep = 400;
constexpr int kHostChars = 20;

struct MenuEntry {
  IndexRow row;
  int column;
  const char* label;
  ProgramState state;
};

constexpr std::array<MenuEntry, 6> kMenuEntries = {{
    {{"VORTA", "WAVETABLE SYNTHESIS <SINE WAVES>"}, 0, "fVORTA<>", STATE_VORTA},
    {{"XFORM", "WAVETABLE SYNTHESIS <NOISE FILTERING>"}, 1, "fXFORM<>", STATE_XFORM},
    {{"SLOOP", "LOOP SYNTHESIS"}, 2, "fSLOOP<>", STATE_SLOOP},
    {{"XMRPH", "CROSS SYNTHESIS"}, 3, "fXMRPH<>", STATE_XMRPH},
    {{"RECBIN", "UNKNOWN FILE TYPE RECYCLE BIN"}, 6, "fRECBIN<>", STATE_RECBIN},
    {{"UTILITY", "PERSISTENT GLOBAL SETTINGS"}, 7, "fUTILITY<>", STATE_UTILITY},
}};

constexpr int kResizeColumn = 8;
constexpr int kUpdateColumn = 10;

// A leave button: its place, the question asked in appliance mode and the
// state it sets.
struct LeaveButton {
  int column;
  const char* label;
  MessageCode question;
  ProgramState state;
};

constexpr std::array<LeaveButton, 3> kApplianceLeaveButtons = {{
    {9, "iEXIT", kMsgExitToHost, STATE_EXIT},
    {10, "iREBOOT", kMsgRebootMachine, STATE_REBOOT},
    {11, "iOFF", kMsgShutDownMachine, STATE_OFF},
}};
constexpr LeaveButton kDesktopExit = {11, "iEXIT", kMsgNone, STATE_EXIT};

bool ResizeAllowed() { return gDisplayState.layout.tallScreen; }

void ShowScreenSize() {
  if (!ResizeAllowed()) return;
  DrawStatusField(1, 1, "SCREEN SIZE:", gApp.settings.fullScreen ? "FULLSCREEN" : "WINDOW", 10);
}

void DrawMenu() {
  DrawPageHeader("MAIN MENU", "0.0.0", true);
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
  for (const MenuEntry& entry : kMenuEntries) SetButton(entry.column, 0, entry.label);
  if (ResizeAllowed()) SetButton(kResizeColumn, 0, "RESIZE");
  SetButton(kUpdateColumn, 0, "s UPDATE ");
  if (gApp.applianceMode) {
    for (const LeaveButton& button : kApplianceLeaveButtons) SetButton(button.column, 1, button.label);
  } else {
    SetButton(kDesktopExit.column, 1, kDesktopExit.label);
  }
  ShowLocalTime(true);
}

const LeaveButton* LeaveButtonAt(int column) {
  if (!gApp.applianceMode) return column == kDesktopExit.column ? &kDesktopExit : nullptr;
  for (const LeaveButton& button : kApplianceLeaveButtons) {
    if (button.column == column) return &button;
  }
  return nullptr;
}

// Acts on one button; true when the menu must be drawn anew.
bool ActOnMenuButton(uint8_t code, uint8_t& message) {
  const int column = ButtonColumn(code);
  if (ButtonRow(code) == 0) {
    for (const MenuEntry& entry : kMenuEntries) {
      if (entry.column == column) {
        gApp.programState = entry.state;
        return false;
      }
    }
    if (column == kResizeColumn && ResizeAllowed()) {
      gApp.programState = STATE_RESIZE;
      return false;
    }
    if (column == kUpdateColumn) {
      RunWebUpdatePage();
      if (gApp.settings.updateInstalled) {
        gApp.programState = STATE_RESTART;
        return false;
      }
      message = kMsgAborted;
      return true;
    }
    return false;
  }
  const LeaveButton* leave = LeaveButtonAt(column);
  if (!leave) return false;
  if (leave->question == kMsgNone || Confirm("fYES", "fNO", leave->question)) {
    gApp.programState = leave->state;
    return false;
  }
  message = kMsgAborted;
  return true;
}

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
  if (!gMenuClock.seeded) {
    SeedRandom(static_cast<uint32_t>(stamp));
    gMenuClock.seeded = true;
  }
  if (!force && gMenuClock.lastStamp >= 0 && std::abs(stamp - gMenuClock.lastStamp) <= kClockRedrawStep) return;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  DrawStatusField(1, 0, "LOCAL TIME:", text, 8);
  gMenuClock.lastStamp = stamp;
}

void RunMainMenu() {
  gApp.programState = STATE_MAIN_MENU;
  uint8_t message = PendingUpdateNotice();
  DrawMenu();
  ShowPending(message);
  while (gApp.programState == STATE_MAIN_MENU) {
    ShowLocalTime(false);
    const uint8_t code = NextButton();
    if (code == kNoEvent) continue;
    if (ActOnMenuButton(code, message)) {
      DrawMenu();
      ShowPending(message);
    }
  }
}
