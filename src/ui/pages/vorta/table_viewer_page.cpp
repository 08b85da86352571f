#include "ui/pages/vorta/table_viewer_page.h"

#include "core/kept_for_run.h"
#include "core/message_codes.h"
#include "ui/button_bar.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/pages/shared/module_session.h"
#include "ui/playback_status.h"
#include "ui/table_graphs.h"

namespace {

enum Action { kLessMagnification, kMoreMagnification, kViewMode, kPlayRam, kFirstView };

constexpr int kViewCount = 6;
constexpr int kWaveViewCount = 2;  // views 0 and 1 draw waves, the others partials
constexpr double kMinMagnification = 0.0625;
constexpr double kMaxMagnification = 1.0;
constexpr int kEveryWave = 1;
constexpr int kSlicesOnly = 4;

constexpr PageButton kButtons[] = {
    {0, 0, "-MAG", kLessMagnification},  {1, 0, "+MAG", kMoreMagnification}, {3, 0, "V_MODE", kViewMode},
    {6, 0, "WAVE_A", kFirstView},        {7, 0, "WAVE_B", kFirstView + 1},   {8, 0, "SPEC", kFirstView + 2},
    {9, 0, "MSPEC", kFirstView + 3},     {10, 0, "PROF", kFirstView + 4},    {11, 0, "MPROF", kFirstView + 5},
    {9, 1, "pRAM_WT", kPlayRam},
};

constexpr PartialView kPartialViews[] = {PartialView::kSpectra, PartialView::kMagnitudeSpectra,
                                         PartialView::kProfiles, PartialView::kMagnitudeProfiles};

VortaWorkspace& Ram(const PageRun& run) { return run.session->vorta->ram; }

bool IsWaveView(int view) { return view < kWaveViewCount; }

// "V_MODE" belongs to the wave views only.
bool Shows(const PageRun&, const PageButton& button) {
  return button.action != kViewMode || IsWaveView(gKept.viewerView);
}

void ShowReadouts() { ShowTableViewerReadouts(gKept.viewerView, gKept.viewerMagnification, gKept.viewerStep); }

void Draw(PageRun& run) {
  const VortaWorkspace& ram = Ram(run);
  TableContentStrip(SliceLevels(ram.table));
  ShowNameReadout(3, 0, "RAM:", ram.ramName);
  ShowRamSpeed(ram.playbackStretch);
  ShowReadouts();
  DrawTableView(run);
}

void Act(PageRun& run, int action, const PageEvent&) {
  double& magnification = gKept.viewerMagnification;
  switch (action) {
    case kLessMagnification:
      if (magnification <= kMinMagnification) {
        run.Show(kMsgMinValue);
        return;
      }
      magnification /= 2.0;
      break;
    case kMoreMagnification:
      if (magnification >= kMaxMagnification) {
        run.Show(kMsgMaxValue);
        return;
      }
      magnification *= 2.0;
      break;
    case kViewMode:
      gKept.viewerStep = gKept.viewerStep == kEveryWave ? kSlicesOnly : kEveryWave;
      break;
    case kPlayRam:
      PlayRamWavetableHeld(Ram(run).ram, Ram(run).playbackStretch);
      return;
    default:
      if (action < kFirstView || action >= kFirstView + kViewCount) return;
      if (action - kFirstView == gKept.viewerView) {
        run.Show(kMsgOnScreen);
        return;
      }
      gKept.viewerView = action - kFirstView;
      ClearButtons();  // "V_MODE" comes and goes with the wave views
      SetPageButtons(kTableViewerPage, run);
      break;
  }
  ShowReadouts();
  DrawTableView(run);
}

}  // namespace

void DrawTableView(const PageRun& run) {
  const PartialTable& table = Ram(run).table;
  const int view = gKept.viewerView;
  if (IsWaveView(view)) {
    const WaveView waveView = view == 0 ? WaveView::kOblique : WaveView::kFlat;
    DrawTableWaves(RenderViewerWaves(table), gKept.viewerStep, gKept.viewerMagnification * kWaveViewGain, waveView);
  } else {
    DrawPartialWaterfall(table, gKept.viewerMagnification * kPartialViewGain,
                         kPartialViews[view - kWaveViewCount]);
  }
}

const Page kTableViewerPage = {
    .title = "TABLE VIEWER", .number = "2.0.0", .buttons = kButtons, .draw = Draw, .act = Act, .shows = Shows};
