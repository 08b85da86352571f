#include <array>
#include <cstdio>
#include <type_traits>

#include "core/app_globals.h"
#include "core/kept_for_run.h"
#include "files/library_moves.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/list_rows.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/shared/playback_link.h"
#include "ui/pages/utility/utility_pages.h"

namespace {

enum Action { kLineBack, kLineForward, kValue };

constexpr PageButton kButtons[] = {{0, 0, "<<LINE", kLineBack}, {1, 0, "LINE>>", kLineForward}, {3, 0, "VALUE", kValue}};
constexpr std::array<const char*, 4> kColourModeNames = {"CRT GREEN", "CRT YELLOW", "CRT GRAY", "LCD"};

SettingsBlock& Settings() { return gApp.settings; }

std::string OnOff(int on) { return on ? "ON" : "OFF"; }
std::string YesWhenZero(int notFlag) { return notFlag == 0 ? "YES" : "NO"; }

std::string ColourModeText(int mode) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2d: %s", mode, kColourModeNames[static_cast<size_t>(mode) % kColourModeCount]);
  return text;
}

std::string DeviceRange() {
  const int count = PlaybackDeviceCount();
  if (count == 0) return " - - - - - - - - ";
  char text[32];
  std::snprintf(text, sizeof text, "[00 ... %.2d]", count - 1);
  return text;
}

std::string DeviceText(int index) {
  const std::string name = PlaybackDeviceName();
  if (PlaybackDeviceCount() == 0 || name.empty()) return "NO VALID DEVICE FOUND";
  char text[96];
  std::snprintf(text, sizeof text, "%.2d: %s", index, name.c_str());
  return text;
}

RowChange NewColours() { return {0, true}; }

RowChange SaverChanged() {
  UpdateSaverAllowed();
  return {};
}

RowChange ResortLibrary() {
  // The line shows its new value while the library sorts itself.
  return {static_cast<uint8_t>(RetestLibrary(gApp, PageFeedback())), false};
}

RowChange NextDevice() {
  const MessageCode result = NextPlaybackDevice(Settings().playbackDeviceIndex);
  if (result == kMsgNone) ShowSoundDeviceField();
  return {static_cast<uint8_t>(result), false};
}

// A settings field as a row value.
template <auto Field>
int Get() {
  return static_cast<int>(Settings().*Field);
}
template <auto Field>
void Set(int value) {
  using Stored = std::remove_reference_t<decltype(Settings().*Field)>;
  Settings().*Field = static_cast<Stored>(value);
}
#define FIELD(name) Get<&SettingsBlock::name>, Set<&SettingsBlock::name>

const std::array<ListRow, kParameterLines> kRows = {{
    {"SCREEN COLOR MODE", "[00 ... 03]", nullptr, 0, 3, 1, FIELD(colourMode), ColourModeText, nullptr, NewColours,
     {"- SWITCHES THE COLOR MODES OF THE SCREEN"}},
    {"SCREEN BACKLIGHT", "[ON / OFF]", nullptr, 0, 1, 1, FIELD(backlight), OnOff, nullptr, NewColours,
     {"- SWITCHES THE VIRTUAL SCREEN BACKLIGHT ILLUMINATION",
      "- THIS SETTING HAS NO EFFECT ON SCREEN COLOR MODE 03 <LCD>"}},
    {"SCREEN SAVER", "[ON / OFF]", nullptr, 0, 1, 1, FIELD(screenSaverOn), OnOff, nullptr, SaverChanged,
     {"- SWITCHES THE INTERNAL SCREEN SAVER <RECOMMENDED FOR OLDER CRT SCREENS>",
      "- THE SCREEN SAVER IS ONLY USED FOR FULLSCREEN MODE <IDLE TIME: 15 MINUTES>",
      "- IF A WINDOWS SCREEN SAVER IS ENABLED THIS OPTION IS IGNORED"}},
    {"KEYBOARD SHORTCUT SUPPORT", "[ON / OFF]", nullptr, 0, 1, 1, FIELD(shortcuts), OnOff, nullptr, nullptr,
     {"- SWITCHES SHORTCUT SUPPORT", "- THIS SETTING HAS NO EFFECT ON ALPHANUMERIC INPUT",
      "- UPPER BUTTONS: [F1 - F12], LOWER BUTTONS: < [ESC] OR [CTRL] > AND [F1 - F12]",
      "- 2D INPUT FIELDS: [UP, DOWN, LEFT, RIGHT], IN ADDITION TRY [ESC] OR [CTRL] FOR SLOWER PARAMETER CHANGES",
      "- BROWSER LINES: [UP, DOWN], IN ADDITION PRESS [ESC] OR [CTRL] FOR PRELISTENING ON SELECTION <IF ENABLED>"}},
    {"BROWSER PRELISTENING ON SELECTION", "[ON / OFF]", nullptr, 0, 1, 1, FIELD(prelistenOn), OnOff, nullptr, nullptr,
     {"- SWITCHES FILE PRELISTENING FROM BROWSER LISTS", "- THIS SETTING HAS NO EFFECT ON THE PLAYBACK BUTTONS"}},
    {"FORCE LOOP FOR SINGLE CYCLE CLASSIFICATION", "[YES / NO]", nullptr, 0, 1, 1, FIELD(noForceLoop), YesWhenZero,
     nullptr, ResortLibrary,
     {"- ON: MONO FILES WITH [128 ... 4096] SAMPLES PER CHANNEL MUST HAVE LOOP DATA TO BE RECOGNIZED AS SINGLE CYCLES",
      "- OFF: ALL MONO FILES WITH [128 ... 4096] SAMPLES PER CHANNEL ARE TREATED AS SINGLE CYCLE LOOPS",
      "- SINGLE CYCLES ARE LOOPED AND RESAMPLED TO UNITY PITCH OF 172.265625 HZ",
      "- THIS PROCESS CAN CHANGE THE SOUND CHARACTER OF UNLOOPED FILES",
      "- CHANGING THIS OPTION STARTS A NEW FILE TEST RUN FOR SINGLE CYCLE WAVEFORMS"}},
    {"LOOK FOR UPDATES ON BOOT", "[YES / NO]", nullptr, 0, 1, 1, FIELD(noUpdateLookup), YesWhenZero, nullptr, nullptr,
     {"- ENABLES / DISABLES UPDATE LOOKUP AND NOTIFICATION", "- THIS SETTING HAS NO EFFECT ON MANUAL UPDATE REQUESTS",
      "- DISABLING THIS OPTION IS NOT RECOMMENDED", "- NO PERSONAL OR SYSTEM DATA IS TRANSMITTED BY SONIC-LOOM"}},
    {"WAVEOUT DEVICE", "", DeviceRange, 0, 0, 0, FIELD(playbackDeviceIndex), DeviceText, NextDevice, nullptr,
     {"- SELECTS THE WAVEOUT DEVICE FROM A LIST OF VALID DEVICES",
      "- VALID MEANS: CAPABLE OF 44.1 KHZ, 32 BIT IEEE FLOAT STEREO AND PLAYBACK POSITION REPORTING",
      "- THIS OPTION CAN ONLY BE CHANGED IF THERE ARE 2 OR MORE DEVICES IN THE LIST"}},
}};

#undef FIELD

constexpr ListLayout kLayout{};

void Draw(PageRun&) {
  DrawListRows(kRows, kLayout, gKept.parameterLine);
  ShowSoundDeviceField();
}

void Act(PageRun& run, int action, const PageEvent&) {
  int& line = gKept.parameterLine;
  if (action == kLineBack || action == kLineForward) {
    const int old = line;
    line = StepListLine(line, action == kLineBack ? -1 : 1, kParameterLines);
    if (old != line) DrawRowComments(kRows[static_cast<size_t>(line)], kLayout);
    return;
  }
  if (action != kValue) return;
  const RowChange change = ChangeRow(kRows[static_cast<size_t>(line)]);
  run.message = change.message;
  if (change.redrawAll) {
    ApplyColourMode();
    DrawScreenFrame();
    run.redrawAll = true;
  } else {
    DrawRowValue(kRows, kLayout, line);
  }
}

}  // namespace

const Page kSystemParametersPage = {
    .title = "SYSTEM PARAMETER SETTINGS", .number = "0.0.0", .buttons = kButtons, .draw = Draw, .act = Act};

std::string ParameterValueText(int line) { return RowValue(kRows[static_cast<size_t>(line)]); }
std::string ParameterRangeText(int line) { return RowRange(kRows[static_cast<size_t>(line)]); }
