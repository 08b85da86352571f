#include "ui/pages/sloop/loop_synthesis_page.h"

#include <algorithm>

#include "audio/source_kinds.h"
#include "core/message_codes.h"
#include "modules/loop_synthesis.h"
#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/draw.h"
#include "ui/hold_to_play.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/module_graphs.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/pages/sloop/sloop_module.h"
#include "ui/progress.h"
#include "ui/segment_graph.h"

namespace {

// Actions are the engine's button codes; the players come after them.
enum Action { kPlayInput = 100, kPlayOutput };

constexpr PageButton kButtons[] = {
    {0, 0, "-DENSITY", kLoopLowerDensity}, {1, 0, "+DENSITY", kLoopRaiseDensity},
    {2, 0, "-SMEAR", kLoopLowerSmear},     {3, 0, "+SMEAR", kLoopRaiseSmear},
    {5, 0, "BIDIR", kLoopBidirectional},   {6, 0, "WIDE", kLoopWide},
    {7, 0, "REVERSE", kLoopReverse},       {8, 0, "OUT>IN", kLoopOutToIn},
    {9, 0, "E_RESET", kLoopEnvelopeReset}, {11, 0, "fCOMPUTE", kLoopCompute},
    {9, 1, "pINPUT", kPlayInput},          {10, 1, "pOUTPUT", kPlayOutput},
};

// The input box holds the enveloped input above the envelope graph.
constexpr int kBoxLeft = 5;
constexpr int kBoxRight = 1019;
constexpr int kInputTop = 102;
constexpr int kInputWaveBottom = 246;
constexpr int kInputBottom = 540;
constexpr int kEnvelopeCentre = 390;
constexpr int kOutputTop = 544;
constexpr int kOutputBottom = 688;
constexpr int kNameChars = 21;
constexpr int kNumberChars = 5;
constexpr int kSwitchChars = 3;
constexpr ScaleMark kLevelMarks[] = {{kEnvelopeNodeMax, "MAX"}, {kEnvelopeNodeMin, "MIN"}};

const char* OnOff(bool on) { return on ? "ON" : "OFF"; }

void ShowSettings(const SloopModule& module) {
  const LoopSynthesis& loop = module.loop;
  DrawStatusField(0, 0, "RAM:", module.ramName.substr(0, kNameChars), kNameChars);
  DrawStatusValue(1, 0, "SPECTRAL DENSITY:", "%d", loop.density, kNumberChars);
  DrawStatusValue(1, 1, "SPECTRAL SMEARING:", "%d", loop.smear, kNumberChars);
  DrawStatusField(2, 0, "BIDIRECTIONAL MIX:", OnOff(loop.bidirectional), kSwitchChars);
  DrawStatusField(2, 1, "STEREO WIDENING:", OnOff(loop.widening), kSwitchChars);
}

void DrawInputWave(const LoopSynthesis& loop) {
  DrawSignalInPanel(kBoxLeft, kInputTop, kBoxRight, kInputWaveBottom, loop.envelopedLeft, loop.envelopedRight);
}

void DrawEnvelope(const LoopSynthesis& loop) {
  DrawWholeSegmentGraph(loop.envelope, 0, kEnvelopeCentre, 0, 0, kLevelMarks);
}

void DrawOutput(const LoopSynthesis& loop) {
  DrawSignalPanel(kBoxLeft, kOutputTop, kBoxRight, kOutputBottom, "OUTPUT FILE <NORMALIZED>", loop.outputLeft,
                  loop.outputRight);
}

// After an edit of the envelope or the input: both boxes again (the output
// is gone then).
void DrawSignals(const SloopModule& module) {
  DrawInputWave(module.loop);
  DrawEnvelope(module.loop);
  DrawSegmentMarkers(module.envelopeSegment, kEnvelopeCentre);
  DrawOutput(module.loop);
}

void Draw(PageRun& run) {
  const SloopModule& module = *SloopOf(run);
  ShowSettings(module);
  DrawPanel(kBoxLeft, kInputTop, kBoxRight, kInputBottom, "INPUT FILE");
  DrawScaleLabels(kEnvelopeCentre, kLevelMarks);
  DrawFrame(kBoxLeft, kInputTop, kBoxRight, kInputBottom);  // the labels' strip reaches the left edge
  DrawSignals(module);
}

// Drawing on the envelope graph: the nodes follow the pointer while the
// button is down; the envelope is applied once it is released.
PageEvent DrawOnEnvelope(PageRun& run, const PageEvent& event) {
  SloopModule& module = *SloopOf(run);
  EnvelopeNodes nodes = module.loop.envelope;
  SegmentEditor editor;
  editor.rows = nodes;
  editor.centre = kEnvelopeCentre;
  editor.maximum = kEnvelopeNodeMax;
  editor.minimum = kEnvelopeNodeMin;
  editor.current = module.envelopeSegment;
  editor.guides = kLevelMarks;
  if (!StepSegments(editor, {SegmentInput::Kind::kPress, event.x, event.y}) &&
      editor.grip == SegmentEditor::Grip::kNone) {
    return {};
  }
  if (!module.loop.HasInput()) {
    run.Show(kMsgNoData);
    return {};
  }
  FollowSegmentDrag(editor);
  module.envelopeSegment = editor.current;
  if (nodes == module.loop.envelope) return {};
  SetLoopEnvelope(module.loop, nodes);
  return PageEvent::Selection();
}

void Compute(PageRun& run, SloopModule& module) {
  if (!module.loop.HasInput()) {
    run.Show(kMsgNoData);
    return;
  }
  DrawPanel(kBoxLeft, kOutputTop, kBoxRight, kOutputBottom, "OUTPUT FILE <NORMALIZED>");
  uint8_t preparing = kMsgPreparingCalculations;
  ShowMessage(preparing);
  uint8_t progress = kMsgNone;
  const MessageCode code = PressLoopSynthesisButton(module.loop, kLoopCompute, CalcProgressHooks(progress));
  run.redrawAll = true;  // the progress display took the buttons
  run.Show(code);
}

void Act(PageRun& run, int action, const PageEvent& event) {
  SloopModule& module = *SloopOf(run);
  LoopSynthesis& loop = module.loop;
  if (action == kNoAction) {
    if (event.kind == EventKind::SelectionChanged) DrawSignals(module);
    return;
  }
  switch (action) {
    case kPlayInput:
      PlaySplitHeld(loop.envelopedLeft, loop.envelopedRight, loop.length, false, ButtonCode(9, 1), kSourceRamData);
      return;
    case kPlayOutput:
      PlaySplitHeld(loop.outputLeft, loop.outputRight, loop.HasOutput() ? loop.length : 0, false, ButtonCode(10, 1),
                    kSourceRamData);
      return;
    case kLoopCompute:
      Compute(run, module);
      return;
    default:
      break;
  }
  const MessageCode code = PressLoopSynthesisButton(loop, action, ProgressHooks{});
  run.Show(code);
  if (code != kMsgNone) return;
  ShowSettings(module);
  if (action == kLoopReverse || action == kLoopOutToIn || action == kLoopEnvelopeReset) {
    DrawSignals(module);
  } else {
    DrawOutput(loop);
  }
}

}  // namespace

const Page kLoopSynthesisPage = {.title = "LOOP SYNTHESIS",
                                 .number = "2.0.0",
                                 .buttons = kButtons,
                                 .draw = Draw,
                                 .act = Act,
                                 .mouse = DrawOnEnvelope};
