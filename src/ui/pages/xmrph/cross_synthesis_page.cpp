#include "ui/pages/xmrph/cross_synthesis_page.h"

#include "audio/source_kinds.h"
#include "core/message_codes.h"
#include "modules/cross_envelope.h"
#include "platform/clock.h"
#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/hold_to_play.h"
#include "ui/input.h"
#include "ui/module_graphs.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/pages/xmrph/resynthesis_options_page.h"
#include "ui/pages/xmrph/xmrph_module.h"
#include "ui/segment_graph.h"

namespace {

// The envelope edits are the engine's button codes; the rest follow.
constexpr int kLimitCode = 12;
enum Action { kOptions = 100, kPlayA, kPlayAB, kPlayBA, kPlayB, kPlayOutput };

constexpr PageButton kButtons[] = {
    {0, 0, "SET", 1},         {1, 0, "RAND", 2},        {2, 0, "SMOOTH", 3},       {3, 0, "INVERT", 4},
    {4, 0, "REVERSE", 5},     {5, 0, "SWEEP", 6},       {6, 0, "NORMAL", 7},       {9, 0, "fFFT<>", kOptions},
    {11, 0, "LIMIT", kLimitCode}, {5, 1, "pA", kPlayA}, {6, 1, "pAB", kPlayAB},    {7, 1, "pBA", kPlayBA},
    {8, 1, "pB", kPlayB},     {10, 1, "pOUTPUT", kPlayOutput},
};

constexpr int kBoxLeft = 5;
constexpr int kBoxMiddle = 512;
constexpr int kBoxRight = 1019;
constexpr int kSourcesTop = 102;
constexpr int kSourcesBottom = 232;
constexpr int kOutputTop = 236;
constexpr int kOutputBottom = 368;
constexpr int kEnvelopeCentre = kNarrowGraphBracket.centre;
constexpr int kNameChars = 21;
// Guide lines at the four pure signals; "A*B+B*A" at 0 is a label only.
constexpr ScaleMark kCrossGuides[] = {{kCrossNodeA, "A"}, {kCrossNodeAB, "A*B"}, {kCrossNodeBA, "B*A"}, {kCrossNodeB, "B"}};

void ShowNames(const XmrphModule& module) {
  DrawStatusField(0, 0, "RAM A:", module.ramNameA.substr(0, kNameChars), kNameChars);
  DrawStatusField(0, 1, "RAM B:", module.ramNameB.substr(0, kNameChars), kNameChars);
}

void DrawEnvelope(const XmrphModule& module) {
  DrawWholeSegmentGraph(module.cross.envelope, 0, kEnvelopeCentre, 0, 0, kCrossGuides);
  DrawSegmentMarkers(module.envelopeSegment, kEnvelopeCentre);
  DrawLimitBracket(module.cross.limitMode, kNarrowGraphBracket, true);
}

void DrawOutput(const CrossSynthesis& cross) {
  DrawSignalPanel(kBoxLeft, kOutputTop, kBoxRight, kOutputBottom, "OUTPUT", cross.outLeft, cross.outRight);
}

void Draw(PageRun& run) {
  const XmrphModule& module = *XmrphOf(run);
  const CrossSynthesis& cross = module.cross;
  ShowNames(module);
  DrawSignalPanel(kBoxLeft, kSourcesTop, kBoxMiddle - 2, kSourcesBottom, "FILE A: " + module.ramNameA, cross.aLeft,
                  cross.aRight);
  DrawSignalPanel(kBoxMiddle + 2, kSourcesTop, kBoxRight, kSourcesBottom, "FILE B: " + module.ramNameB, cross.bLeft,
                  cross.bRight);
  DrawOutput(cross);
  DrawScaleLabels(kEnvelopeCentre, kCrossScaleMarks);
  DrawEnvelope(module);
}

// Drawing with the pointer, within the range of the limit mode; the output
// is mixed again once the button is released.
PageEvent DrawOnEnvelope(PageRun& run, const PageEvent& event) {
  XmrphModule& module = *XmrphOf(run);
  EnvelopeNodes nodes = module.cross.envelope;
  const CrossNodeRange range = CrossLimitRange(module.cross.limitMode);
  SegmentEditor editor;
  editor.rows = nodes;
  editor.centre = kEnvelopeCentre;
  editor.maximum = range.high;
  editor.minimum = range.low;
  editor.current = module.envelopeSegment;
  editor.guides = kCrossGuides;
  if (!StepSegments(editor, {SegmentInput::Kind::kPress, event.x, event.y}) &&
      editor.grip == SegmentEditor::Grip::kNone) {
    return {};
  }
  if (!module.cross.HasOutput()) {
    run.Show(kMsgNoData);
    return {};
  }
  FollowSegmentDrag(editor);
  module.envelopeSegment = editor.current;
  if (nodes == module.cross.envelope) return {};
  module.cross.envelope = nodes;
  return PageEvent::Selection();
}

void Play(const CrossSynthesis& cross, std::span<const float> left, std::span<const float> right, int column) {
  const int64_t frames = cross.HasOutput() ? cross.length : 0;
  PlaySplitHeld(left, right, frames, false, ButtonCode(column, 1), kSourceRamData);
}

void Act(PageRun& run, int action, const PageEvent& event) {
  XmrphModule& module = *XmrphOf(run);
  CrossSynthesis& cross = module.cross;
  if (action == kNoAction) {
    if (event.kind != EventKind::SelectionChanged) return;
    RemixCrossOutput(cross);
    KeepCrossSettings(cross);
    DrawEnvelope(module);
    DrawOutput(cross);
    return;
  }
  switch (action) {
    case kPlayA: Play(cross, cross.aLeft, cross.aRight, 5); return;
    case kPlayAB: Play(cross, cross.abLeft, cross.abRight, 6); return;
    case kPlayBA: Play(cross, cross.baLeft, cross.baRight, 7); return;
    case kPlayB: Play(cross, cross.bLeft, cross.bRight, 8); return;
    case kPlayOutput: Play(cross, cross.outLeft, cross.outRight, 10); return;
    case kOptions:
      if (!cross.HasOutput()) {
        run.Show(kMsgNoData);
        return;
      }
      run.Show(static_cast<uint8_t>(RunResynthesisOptions(run)));
      run.redrawAll = true;
      return;
    default:
      break;
  }
  const MessageCode code = PressCrossSynthesisButton(cross, action);
  run.Show(code);
  if (code != kMsgNone) return;
  KeepCrossSettings(cross);
  DrawEnvelope(module);
  DrawOutput(cross);
}

}  // namespace

const Page kCrossSynthesisPage = {.title = "CROSS SYNTHESIS",
                                  .number = "2.0.0",
                                  .buttons = kButtons,
                                  .draw = Draw,
                                  .act = Act,
                                  .mouse = DrawOnEnvelope};
