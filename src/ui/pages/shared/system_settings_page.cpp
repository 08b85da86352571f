#include "ui/pages/shared/system_settings_page.h"

#include <vector>

#include "core/app_globals.h"
#include "ui/hold_to_play.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/shared/playback_link.h"
#include "ui/pages/xform/xform_pages.h"
#include "ui/playback_status.h"
#include "wavetable/vorta_synthesis.h"

namespace {

enum Action { kLowerVolume, kRaiseVolume, kSlower, kFaster, kFlush, kPlayRam };

constexpr PageButton kButtons[] = {
    {0, 0, "-VOLUME", kLowerVolume}, {1, 0, "+VOLUME", kRaiseVolume}, {8, 0, "-SPEED", kSlower},
    {9, 0, "+SPEED", kFaster},       {11, 0, "FLUSH", kFlush},        {9, 1, "pRAM_WT", kPlayRam},
};
constexpr int kNameChars = 21;

VortaWorkspace* Vorta(const PageRun& run) { return run.session->vorta ? &run.session->vorta->ram : nullptr; }
XformWorkspace* Xform(const PageRun& run) { return run.session->xform ? &run.session->xform->ram : nullptr; }

// The speed and the RAM table's play button belong to the table modules.
bool Shows(const PageRun& run, const PageButton& button) {
  const bool tableOnly = button.action == kSlower || button.action == kFaster || button.action == kPlayRam;
  return !tableOnly || Vorta(run) != nullptr || Xform(run) != nullptr;
}

void ShowRamNames(const ModuleSession& session) {
  auto field = [](int row, const char* label, const std::string& name) {
    DrawStatusField(0, row, label, name.substr(0, kNameChars), kNameChars);
  };
  if (session.xmrph) {
    field(0, "RAM A:", session.xmrph->ramNameA);
    field(1, "RAM B:", session.xmrph->ramNameB);
  } else if (session.vorta) {
    field(0, "RAM:", session.vorta->ram.ramName);
  } else if (session.xform) {
    field(0, "RAM:", session.xform->ram.table.ramName);
  } else {
    field(0, "RAM:", session.sloop ? session.sloop->ramName : std::string());
  }
}

void ShowSpeed(const PageRun& run) {
  if (Vorta(run)) ShowRamSpeed(Vorta(run)->playbackStretch);
  if (Xform(run)) ShowXformSpeed(Xform(run)->table.speed);
}

void Draw(PageRun& run) {
  std::vector<IndexRow> rows;
  for (const ModuleScreen& screen : run.session->screens) {
    rows.push_back({rows.empty() ? "SYSTEM <CURRENT>" : screen.indexName, screen.indexDescription});
  }
  DrawIndexBox("SCREEN INDEX", rows);
  ShowRamNames(*run.session);
  ShowSoundDeviceField();
  ShowPlaybackVolume();
  ShowSpeed(run);
}

void Act(PageRun& run, int action, const PageEvent&) {
  float& volume = gApp.settings.playbackVolume;
  VortaWorkspace* vorta = Vorta(run);
  switch (action) {
    case kLowerVolume:
    case kRaiseVolume:
      run.message = action == kLowerVolume ? LowerPlaybackVolume(volume) : RaisePlaybackVolume(volume);
      if (run.message == kMsgNone) ShowPlaybackVolume();
      return;
    case kFlush:
      FlushModule(*run.session);
      ShowRamNames(*run.session);
      ShowSpeed(run);
      run.message = kMsgDone;
      return;
    case kSlower:
    case kFaster:
      if (XformWorkspace* xform = Xform(run)) {
        run.message = action == kSlower ? SlowerXformPlayback(*xform) : FasterXformPlayback(*xform);
        ShowSpeed(run);
        return;
      }
      run.message = action == kSlower ? SlowerTablePlayback(vorta->playbackStretch)
                                      : FasterTablePlayback(vorta->playbackStretch);
      if (run.message == kMsgNone) {
        RenderRamWavetable(vorta->table, vorta->ram, vorta->playbackStretch);
        ShowSpeed(run);
      }
      return;
    case kPlayRam:
      if (XformWorkspace* xform = Xform(run)) {
        PlayXformScanHeld(run, xform->table, xform->table.speed, kXformRamPlayCode);
        return;
      }
      PlayRamWavetableHeld(vorta->ram, vorta->playbackStretch);
      return;
    default:
      return;
  }
}

}  // namespace

const Page kSystemSettingsPage = {
    .title = "SYSTEM SETTINGS", .number = "0.0.0", .buttons = kButtons, .draw = Draw, .act = Act, .shows = Shows};
