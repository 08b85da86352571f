#include <array>

#include "ui/draw.h"
#include "ui/info_panels.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "ui/wave_by_hand.h"
#include "ui/wave_graph.h"
#include "wavetable/drawing_pad.h"
#include "wavetable/slice_editor.h"

namespace {

enum Action { kRandom, kSmooth, kInvert, kNormal, kRestore, kClear, kPadSync, kPlayResynthesis };

constexpr int kPlayColumn = 9;

constexpr PageButton kButtons[] = {
    {0, 0, "RAND", kRandom},       {1, 0, "SMOOTH", kSmooth},      {2, 0, "INVERT", kInvert},
    {3, 0, "NORMAL", kNormal},     {5, 0, "RESTORE", kRestore},    {6, 0, "CLEAR", kClear},
    {7, 0, "PAD_SYNC", kPadSync},  {10, 0, "fAPPLY", kApplyAction}, {11, 0, "fCANCEL", kCancelAction},
    {kPlayColumn, 1, "pRESYNTH", kPlayResynthesis},
};

// The pad: the drawn half (x 255 to 512) and its mirrored half beside it,
// zero at y 562, 92 pixels full scale; the resynthesised slice above.
constexpr int kPadLeft = 255;
constexpr int kPadRight = 512;
constexpr int kPadCentre = 562;
constexpr int kPadHalfHeight = 92;
constexpr int kPadTop = kPadCentre - kPadHalfHeight - 1;
constexpr int kPadBottom = kPadCentre + kPadHalfHeight + 1;
constexpr int kMirrorWidth = 254;
constexpr int kGridColumns[] = {319, 383, 447};
constexpr int kGridRows[] = {516, 562, 608};
constexpr int kResynthLeft = 255;
constexpr int kResynthWidth = 512;
constexpr int kResynthCentre = 290;
constexpr int kResynthHalfHeight = 92;
constexpr int kCaptionGap = 26;

WaveformDrawing& Drawing(const PageRun& run) { return EditOf(run).tool.drawing; }

// The drawn half as the hand draws it: the line in the background colour
// on a filled box, so that a stroke continues the same picture.
void DrawPadHalf(const DrawingPad& pad) {
  HoldRepaint();
  SetPaper(PaletteColour(kText));
  FillBox(kPadLeft, kPadTop + 1, kPadRight + 1, kPadBottom);
  SetInk(PaletteColour(kFaint));
  SetPenStyle(2, 0);
  for (int x : kGridColumns) DrawLine(x, kPadTop + 1, x, kPadBottom - 1);
  for (int y : kGridRows) DrawLine(kPadLeft, y, kPadRight, y);
  SetPenStyle(0, 0);
  SetInk(PaletteColour(kBackground));
  auto yOf = [](float sample) { return kPadCentre - static_cast<int>(Nearest(sample * kPadHalfHeight)); };
  PenMoveTo(kPadLeft, yOf(pad[0]));
  for (int m = 1; m <= kPadHalf; ++m) PenLineTo(kPadLeft + m, yOf(pad[static_cast<size_t>(m)]));
  FlushRegion(kPadLeft, kPadTop, kPadRight + 1, kPadBottom);
  RestoreNormalColours();
}

void DrawPad(const PageRun& run) {
  const WaveformDrawing& drawing = Drawing(run);
  DrawPadHalf(drawing.pad);
  DrawWaveGraph(std::span(drawing.pad).subspan(kPadHalf + 1), kPadRight + 1, kPadCentre, kMirrorWidth,
                kPadHalfHeight);
}

void DrawResynthesis(const PageRun& run) {
  const WaveformDrawing& drawing = Drawing(run);
  const SlicePreview preview = RenderSlicePreview(drawing.working, drawing.slice);
  DrawWaveGraph(preview.drawn, kResynthLeft, kResynthCentre, kResynthWidth, kResynthHalfHeight);
  ShowCurrentSlice(drawing.slice, SliceIsFilled(drawing.working, drawing.slice));
  DrawStatusField(2, 0, "PAD HAS ORIGINAL DATA:", PadHasOriginalData(drawing) ? "YES" : "NO", 3);
}

void Draw(PageRun& run) {
  DrawText(kResynthLeft, kResynthCentre - kResynthHalfHeight - kCaptionGap, "WAVEFORM <RESYNTHESIS>", 'L');
  DrawText(kPadLeft, kPadTop - kCaptionGap + 4, "WAVE DRAWING PAD", 'L');
  DrawText(kPadRight + 1 + kMirrorWidth, kPadTop - kCaptionGap + 4, "MIRRORED AREA", 'R');
  ShowRamName(run);
  DrawPad(run);
  DrawResynthesis(run);
}

// A stroke on the pad: drawn as the pointer moves, read back when the
// button is released, then turned into the slice's partials.
PageEvent Pointer(PageRun& run, const PageEvent& event) {
  WaveformDrawing& drawing = Drawing(run);
  PageEvent stroke;
  bool changed = false;
  PointerPoint previous{event.x, event.y};
  HandWave wave = drawing.pad;
  FollowPointer(event.x, event.y, [&](int x, int y) {
    const PointerPoint points[] = {previous, {x, y}};
    DrawWaveByHand(wave, points, stroke, changed);
    previous = {x, y};
  });
  if (!changed) return {};
  drawing.pad = wave;
  drawing.awaitingData = false;
  ResynthesizePad(drawing.working, drawing.slice, drawing.pad, PadMode::Draw);
  DrawPad(run);
  DrawResynthesis(run);
  return {};
}

void Act(PageRun& run, int action, const PageEvent&) {
  WaveformDrawing& drawing = Drawing(run);
  switch (action) {
    case kApplyAction:
      RamOf(run).table = drawing.working;
      return;
    case kPlayResynthesis:
      PlaySliceHeldAt(drawing.working, drawing.slice, kPlayColumn);
      return;
    case kNoAction:
      return;
    default: {
      static constexpr PadButton kPadButtons[] = {PadButton::Random,  PadButton::Smooth, PadButton::Invert,
                                                  PadButton::Normal,  PadButton::Restore, PadButton::Clear,
                                                  PadButton::PadSync};
      ApplyPadButton(drawing, kPadButtons[action]);
      if (action != kRestore && action != kPadSync) drawing.awaitingData = false;
      DrawPad(run);
      DrawResynthesis(run);
      return;
    }
  }
}

constexpr Page kWaveformDrawingPage = {.title = "WAVEFORM DRAWING",
                                       .number = "3.1.0",
                                       .buttons = kButtons,
                                       .draw = Draw,
                                       .act = Act,
                                       .mouse = Pointer};

}  // namespace

int RunWaveformDrawing(PageRun& run) {
  Drawing(run) = StartWaveformDrawing(RamOf(run).table, EditOf(run).slice.slice);
  PageRun inner;
  inner.session = run.session;
  return RunPage(kWaveformDrawingPage, inner);
}
