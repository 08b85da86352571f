#include "ui/pages/xmrph/resynthesis_options_page.h"

#include "audio/source_kinds.h"
#include "core/message_codes.h"
#include "modules/resynthesis_options.h"
#include "ui/hold_to_play.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/pages/xmrph/xmrph_module.h"
#include "ui/progress.h"

namespace {

// The settings buttons are the engine's codes; "fCANCEL" restores what
// the page found, so it is the page's own action and not the loop's.
enum Action { kCancel = 100, kPlayA, kPlayB };

constexpr PageButton kButtons[] = {
    {0, 0, "OVERLAP", kOptionOverlap},       {1, 0, "FFT_SIZE", kOptionFrameSize},
    {2, 0, "-CNTRST", kOptionLowerContrast}, {3, 0, "+CNTRST", kOptionRaiseContrast},
    {5, 0, "PH_CORR", kOptionPhaseCorrection}, {9, 0, "LOOP", kOptionLoop},
    {10, 0, "fCOMPUTE", kApplyAction},       {11, 0, "fCANCEL", kCancel},
    {5, 1, "pA", kPlayA},                    {8, 1, "pB", kPlayB},
};

constexpr int kBoxLeft = 5;
constexpr int kBoxRight = 1019;
constexpr int kFileATop = 102;
constexpr int kFileABottom = 394;
constexpr int kFileBTop = 398;
constexpr int kFileBBottom = 688;
constexpr int kNumberChars = 5;
constexpr int kTypeChars = 9;

void ShowSettings(const XmrphModule& module) {
  const ResynthesisSettings& edited = module.options.edited;
  const CrossSynthesis& cross = module.cross;
  DrawStatusValue(0, 0, "OVERLAP FACTOR:", "%d", edited.overlap, kNumberChars);
  DrawStatusValue(0, 1, "FFT FRAME SIZE:", "%d", edited.frameSize, kNumberChars);
  DrawStatusValue(0, 2, "SPECTRAL CONTRAST:", "%1.2f", ShownSpectralContrast(edited.contrast), kNumberChars);
  DrawStatusField(0, 3, "PHASE CORRECTION:", edited.phaseCorrection ? "ON" : "OFF", 3);
  DrawStatusField(1, 0, "LOOP ACTIVE FOR:", LoopActiveText(cross.loopMode), kTypeChars);
  DrawStatusField(1, 1, "FILE A LOOP TYPE:", LoopTypeText(cross.a.loop.type), kTypeChars);
  DrawStatusField(1, 2, "FILE B LOOP TYPE:", LoopTypeText(cross.b.loop.type), kTypeChars);
}

void DrawFiles(const XmrphModule& module) {
  const CrossSynthesis& cross = module.cross;
  DrawSignalPanel(kBoxLeft, kFileATop, kBoxRight, kFileABottom, "FILE A: " + module.ramNameA, cross.aLeft,
                  cross.aRight);
  DrawSignalPanel(kBoxLeft, kFileBTop, kBoxRight, kFileBBottom, "FILE B: " + module.ramNameB, cross.bLeft,
                  cross.bRight);
}

void Draw(PageRun& run) {
  const XmrphModule& module = *XmrphOf(run);
  ShowSettings(module);
  DrawFiles(module);
}

void Compute(PageRun& run, XmrphModule& module) {
  uint8_t preparing = kMsgPreparingCalculations;
  ShowMessage(preparing);
  uint8_t progress = kMsgNone;
  const MessageCode code = ComputeResynthesisOptions(module.options, module.cross, CalcProgressHooks(progress));
  KeepCrossSettings(module.cross);
  if (code == kMsgDone) {
    run.Finish(kMsgDone);
    return;
  }
  run.redrawAll = true;  // the progress display took the buttons
  run.Show(code);
}

void Act(PageRun& run, int action, const PageEvent&) {
  XmrphModule& module = *XmrphOf(run);
  CrossSynthesis& cross = module.cross;
  switch (action) {
    case kApplyAction:
      Compute(run, module);
      return;
    case kCancel:
      CancelResynthesisOptions(module.options, cross);
      KeepCrossSettings(cross);
      run.Finish(kMsgAborted);
      return;
    case kPlayA:
    case kPlayB: {
      const bool a = action == kPlayA;
      PlaySplitHeld(a ? cross.aLeft : cross.bLeft, a ? cross.aRight : cross.bRight, cross.length, false,
                    ButtonCode(a ? 5 : 8, 1), kSourceRamData);
      return;
    }
    default:
      break;
  }
  const MessageCode code = PressResynthesisOption(module.options, cross, action, ProgressHooks{});
  run.Show(code);
  ShowSettings(module);
  if (action == kOptionLoop && code == kMsgNone) DrawFiles(module);
}

}  // namespace

const Page kResynthesisOptionsPage = {
    .title = "RESYNTHESIS OPTIONS", .number = "2.1.0", .buttons = kButtons, .draw = Draw, .act = Act};

int RunResynthesisOptions(PageRun& run) {
  XmrphModule* module = XmrphOf(run);
  if (!module) return kMsgNoData;
  OpenResynthesisOptions(module->options, module->cross);
  PageRun options;
  options.session = run.session;
  return RunPage(kResynthesisOptionsPage, options);
}
