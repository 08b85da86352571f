#include <array>
#include <cstdio>
#include <string_view>
#include <vector>

#include "core/app_globals.h"
#include "files/library_moves.h"
#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/pages/page_support.h"
#include "ui/pages/playback_link.h"
#include "ui/pages/utility_pages.h"

uint16_t gUtilitySelector = kParametersSelector;
int gParameterLine = 0;

namespace {

constexpr uint8_t kLineBackCode = ButtonCode(0, 0);
constexpr uint8_t kLineForwardCode = ButtonCode(1, 0);
constexpr uint8_t kValueCode = ButtonCode(3, 0);
constexpr int kLabelX = 130;
constexpr int kRangeX = 515;
constexpr int kValueRight = 1015;
constexpr int kCommentsTop = 400;
constexpr int kCommentsLeft = 7;
constexpr int kCommentsRight = 1017;
constexpr int kCommentStep = 22;
constexpr int kMaxComments = 5;

constexpr std::array<const char*, kParameterLines> kLabels = {
    "SCREEN COLOR MODE",
    "SCREEN BACKLIGHT",
    "SCREEN SAVER",
    "KEYBOARD SHORTCUT SUPPORT",
    "BROWSER PRELISTENING ON SELECTION",
    "FORCE LOOP FOR SINGLE CYCLE CLASSIFICATION",
    "LOOK FOR UPDATES ON BOOT",
    "WAVEOUT DEVICE",
};

constexpr std::array<const char*, 4> kColourModeNames = {"CRT GREEN", "CRT YELLOW", "CRT GRAY", "LCD"};

const std::array<std::vector<std::string_view>, kParameterLines> kComments = {{
    {"- SWITCHES THE COLOR MODES OF THE SCREEN"},
    {"- SWITCHES THE VIRTUAL SCREEN BACKLIGHT ILLUMINATION",
     "- THIS SETTING HAS NO EFFECT ON SCREEN COLOR MODE 03 <LCD>"},
    {"- SWITCHES THE INTERNAL SCREEN SAVER <RECOMMENDED FOR OLDER CRT SCREENS>",
     "- THE SCREEN SAVER IS ONLY USED FOR FULLSCREEN MODE <IDLE TIME: 15 MINUTES>",
     "- IF A WINDOWS SCREEN SAVER IS ENABLED THIS OPTION IS IGNORED"},
    {"- SWITCHES SHORTCUT SUPPORT", "- THIS SETTING HAS NO EFFECT ON ALPHANUMERIC INPUT",
     "- UPPER BUTTONS: [F1 - F12], LOWER BUTTONS: < [ESC] OR [CTRL] > AND [F1 - F12]",
     "- 2D INPUT FIELDS: [UP, DOWN, LEFT, RIGHT], IN ADDITION TRY [ESC] OR [CTRL] FOR SLOWER PARAMETER CHANGES",
     "- BROWSER LINES: [UP, DOWN], IN ADDITION PRESS [ESC] OR [CTRL] FOR PRELISTENING ON SELECTION <IF ENABLED>"},
    {"- SWITCHES FILE PRELISTENING FROM BROWSER LISTS", "- THIS SETTING HAS NO EFFECT ON THE PLAYBACK BUTTONS"},
    {"- ON: MONO FILES WITH [128 ... 4096] SAMPLES PER CHANNEL MUST HAVE LOOP DATA TO BE RECOGNIZED AS SINGLE CYCLES",
     "- OFF: ALL MONO FILES WITH [128 ... 4096] SAMPLES PER CHANNEL ARE TREATED AS SINGLE CYCLE LOOPS",
     "- SINGLE CYCLES ARE LOOPED AND RESAMPLED TO UNITY PITCH OF 172.265625 HZ",
     "- THIS PROCESS CAN CHANGE THE SOUND CHARACTER OF UNLOOPED FILES",
     "- CHANGING THIS OPTION STARTS A NEW FILE TEST RUN FOR SINGLE CYCLE WAVEFORMS"},
    {"- ENABLES / DISABLES UPDATE LOOKUP AND NOTIFICATION", "- THIS SETTING HAS NO EFFECT ON MANUAL UPDATE REQUESTS",
     "- DISABLING THIS OPTION IS NOT RECOMMENDED", "- NO PERSONAL OR SYSTEM DATA IS TRANSMITTED BY SONIC-LOOM"},
    {"- SELECTS THE WAVEOUT DEVICE FROM A LIST OF VALID DEVICES",
     "- VALID MEANS: CAPABLE OF 44.1 KHZ, 32 BIT IEEE FLOAT STEREO AND PLAYBACK POSITION REPORTING",
     "- THIS OPTION CAN ONLY BE CHANGED IF THERE ARE 2 OR MORE DEVICES IN THE LIST"},
}};

int LineY(int line) { return kListRowTop + kListRowStep * line; }

const char* OnOff(bool on) { return on ? "ON" : "OFF"; }
const char* YesNo(uint8_t notFlag) { return notFlag == 0 ? "YES" : "NO"; }

void DrawValueCell(int line) {
  HoldRepaint();
  FillBox(kRangeX + 120, LineY(line), kValueRight + 4, LineY(line) + 16);
  DrawText(kValueRight, LineY(line), ParameterValueText(line), 'R');
  FlushRegion(kRangeX + 120, LineY(line), kValueRight + 4, LineY(line) + 16);
}

void DrawComments(int line) {
  const int bottom = kCommentsTop + 17 + 8 + kCommentStep * kMaxComments;
  HoldRepaint();
  DrawPanel(kCommentsLeft, kCommentsTop, kCommentsRight, bottom, "PARAMETER COMMENTS");
  int y = kCommentsTop + 17 + 6;
  for (std::string_view comment : kComments[static_cast<size_t>(line)]) {
    DrawText(kCommentsLeft + 5, y, comment, 'L');
    y += kCommentStep;
  }
  FlushRegion(kCommentsLeft, kCommentsTop, kCommentsRight, bottom);
}

void DrawParametersPage(int selected) {
  DrawPageHeader("SYSTEM PARAMETER SETTINGS", "0.0.0", true);
  HoldRepaint();
  for (int line = 0; line < kParameterLines; ++line) {
    DrawText(kLabelX, LineY(line), kLabels[static_cast<size_t>(line)], 'L');
    DrawText(kRangeX, LineY(line), ParameterRangeText(line), 'L');
    DrawText(kValueRight, LineY(line), ParameterValueText(line), 'R');
  }
  MarkListRow(selected, kParameterLines - 1);
  FlushRegion(0, kMainAreaTop, 1023, LineY(kParameterLines));
  DrawComments(selected);
  ShowSoundDeviceField();
  SetButton(0, 0, "<<LINE");
  SetButton(1, 0, "LINE>>");
  SetButton(3, 0, "VALUE");
  SetUtilityNavigation(kParametersSelector);
}

// "VALUE" on a line; returns the message to show. redrawAll is set when
// the colours changed.
uint8_t ChangeValue(int line, bool& redrawAll) {
  SettingsBlock& settings = gApp.settings;
  switch (line) {
    case 0:
      settings.colourMode = static_cast<uint16_t>((settings.colourMode + 1) % kColourModeCount);
      redrawAll = true;
      return kMsgNone;
    case 1:
      settings.backlight = settings.backlight ? 0 : 1;
      redrawAll = true;
      return kMsgNone;
    case 2:
      settings.screenSaverOn ^= 1;
      UpdateSaverAllowed();
      return kMsgNone;
    case 3:
      settings.shortcuts ^= 1;
      return kMsgNone;
    case 4:
      settings.prelistenOn ^= 1;
      return kMsgNone;
    case 5:
      settings.noForceLoop ^= 1;
      DrawValueCell(line);
      return static_cast<uint8_t>(RetestLibrary(gApp, PageFeedback()));
    case 6:
      settings.noUpdateLookup ^= 1;
      return kMsgNone;
    default: {
      const MessageCode result = NextPlaybackDevice(settings.playbackDeviceIndex);
      if (result == kMsgNone) ShowSoundDeviceField();
      return result;
    }
  }
}

}  // namespace

std::string ParameterValueText(int line) {
  const SettingsBlock& settings = gApp.settings;
  char text[96];
  switch (line) {
    case 0:
      std::snprintf(text, sizeof text, "%.2d: %s", settings.colourMode,
                    kColourModeNames[settings.colourMode % kColourModeCount]);
      return text;
    case 1:
      return OnOff(settings.backlight != 0);
    case 2:
      return OnOff(settings.screenSaverOn != 0);
    case 3:
      return OnOff(settings.shortcuts != 0);
    case 4:
      return OnOff(settings.prelistenOn != 0);
    case 5:
      return YesNo(settings.noForceLoop);
    case 6:
      return YesNo(settings.noUpdateLookup);
    default: {
      const std::string name = PlaybackDeviceName();
      if (PlaybackDeviceCount() == 0 || name.empty()) return "NO VALID DEVICE FOUND";
      std::snprintf(text, sizeof text, "%.2d: %s", settings.playbackDeviceIndex, name.c_str());
      return text;
    }
  }
}

std::string ParameterRangeText(int line) {
  switch (line) {
    case 0:
      return "[00 ... 03]";
    case 5:
    case 6:
      return "[YES / NO]";
    case 7: {
      const int count = PlaybackDeviceCount();
      if (count == 0) return " - - - - - - - - ";
      char text[32];
      std::snprintf(text, sizeof text, "[00 ... %.2d]", count - 1);
      return text;
    }
    default:
      return "[ON / OFF]";
  }
}

void SetUtilityNavigation(uint16_t current) {
  SetButton(0, 1, current == kParametersSelector ? "" : "fPARAM<>");
  SetButton(1, 1, current == kUserPathsSelector ? "" : "fPATHS<>");
  SetButton(11, 1, "iMENU<>");
}

uint16_t FollowUtilityNavigation(uint16_t current, uint8_t code) {
  if (code == ButtonCode(0, 1)) return kParametersSelector;
  if (code == ButtonCode(1, 1)) return kUserPathsSelector;
  if (code == ButtonCode(11, 1)) return kLeaveModule;
  return current;
}

uint16_t RunSystemParametersPage() {
  int& selected = gParameterLine;
  DrawParametersPage(selected);
  for (;;) {
    const uint8_t code = NextButton();
    if (code == kNoEvent) continue;
    const uint16_t next = FollowUtilityNavigation(kParametersSelector, code);
    if (next != kParametersSelector) return next;
    uint8_t message = kMsgNone;
    if (code == kLineBackCode || code == kLineForwardCode) {
      const int old = selected;
      selected = (selected + (code == kLineBackCode ? kParameterLines - 1 : 1)) % kParameterLines;
      HoldRepaint();
      MarkListRow(selected, kParameterLines - 1);
      FlushRegion(60, kListRowTop, 125, LineY(kParameterLines));
      if (old != selected) DrawComments(selected);
    } else if (code == kValueCode) {
      bool redrawAll = false;
      message = ChangeValue(selected, redrawAll);
      if (redrawAll) {
        ApplyColourMode();
        DrawScreenFrame();
        DrawParametersPage(selected);
      } else {
        DrawValueCell(selected);
      }
    }
    ShowPending(message);
  }
}
