#include "ui/pages/system_settings_page.h"

#include <vector>

#include "core/app_globals.h"
#include "ui/button_bar.h"
#include "ui/draw.h"
#include "ui/hold_to_play.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/pages/page_support.h"
#include "ui/pages/playback_link.h"
#include "ui/playback_status.h"
#include "wavetable/vorta_synthesis.h"
#include "wavetable/vorta_workspace.h"

namespace {

constexpr uint8_t kLowerVolumeCode = ButtonCode(0, 0);
constexpr uint8_t kRaiseVolumeCode = ButtonCode(1, 0);
constexpr uint8_t kSlowerCode = ButtonCode(8, 0);
constexpr uint8_t kFasterCode = ButtonCode(9, 0);
constexpr uint8_t kFlushCode = ButtonCode(11, 0);
constexpr uint8_t kPlayRamCode = ButtonCode(9, 1);
constexpr int kNameChars = 21;

bool IsVorta(const ModuleSession& session) { return session.state == STATE_VORTA && session.vorta != nullptr; }

void ShowVolume() { ShowPlaybackVolume(); }

void ShowSpeed(const ModuleSession& session) { ShowRamSpeed(session.vorta->playbackStretch); }

void ShowRamNames(const ModuleSession& session) {
  if (session.state == STATE_XMRPH) {
    DrawStatusField(0, 0, "RAM A:", session.ramName.substr(0, kNameChars), kNameChars);
    DrawStatusField(0, 1, "RAM B:", session.ramNameB.substr(0, kNameChars), kNameChars);
    return;
  }
  const std::string& name = IsVorta(session) ? session.vorta->ramName : session.ramName;
  DrawStatusField(0, 0, "RAM:", name.substr(0, kNameChars), kNameChars);
}

void DrawSettingsPage(const ModuleSession& session) {
  DrawPageHeader("SYSTEM SETTINGS", "0.0.0", true);
  std::vector<IndexRow> rows;
  bool first = true;
  for (const ModuleScreen& screen : ModuleScreens(session.state)) {
    rows.push_back({first ? "SYSTEM <CURRENT>" : screen.indexName, screen.indexDescription});
    first = false;
  }
  DrawIndexBox("SCREEN INDEX", rows);
  ShowRamNames(session);
  ShowSoundDeviceField();
  ShowVolume();
  SetButton(0, 0, "-VOLUME");
  SetButton(1, 0, "+VOLUME");
  SetButton(11, 0, "FLUSH");
  if (IsVorta(session)) {
    ShowSpeed(session);
    SetButton(8, 0, "-SPEED");
    SetButton(9, 0, "+SPEED");
    SetButton(9, 1, "pRAM_WT");
  }
  SetNavigationRow(session.state, 0);
}

void RenderAgain(ModuleSession& session) {
  RenderRamWavetable(session.vorta->table, session.vorta->ram, session.vorta->playbackStretch);
}

uint8_t ActOnSettingsButton(ModuleSession& session, uint8_t code) {
  switch (code) {
    case kLowerVolumeCode:
    case kRaiseVolumeCode: {
      float& volume = gApp.settings.playbackVolume;
      const MessageCode result = code == kLowerVolumeCode ? LowerPlaybackVolume(volume) : RaisePlaybackVolume(volume);
      if (result == kMsgNone) ShowVolume();
      return result;
    }
    case kFlushCode:
      FlushModule(session);
      ShowRamNames(session);
      if (IsVorta(session)) ShowSpeed(session);
      return kMsgDone;
    default:
      break;
  }
  if (!IsVorta(session)) return kMsgNone;
  if (code == kSlowerCode || code == kFasterCode) {
    int32_t& stretch = session.vorta->playbackStretch;
    const MessageCode result = code == kSlowerCode ? SlowerTablePlayback(stretch) : FasterTablePlayback(stretch);
    if (result == kMsgNone) {
      RenderAgain(session);
      ShowSpeed(session);
    }
    return result;
  }
  if (code == kPlayRamCode) PlayRamWavetableHeld(session.vorta->ram, session.vorta->playbackStretch, kPlayRamCode);
  return kMsgNone;
}

}  // namespace

void FlushModule(ModuleSession& session) {
  if (IsVorta(session)) FlushVorta(*session.vorta);  // renders the empty table at R = 16
  session.ramName.clear();
  session.ramNameB.clear();
}

void RunSystemSettingsPage(ModuleSession& session) {
  DrawSettingsPage(session);
  while (session.selector == 0) {
    const uint8_t code = NextButton();
    if (code == kNoEvent) continue;
    if (FollowNavigation(session.state, 0, code, session.selector)) break;
    uint8_t message = ActOnSettingsButton(session, code);
    ShowPending(message);
  }
}
