#include "ui/segment_graph.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/clock.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/wave_graph.h"

namespace {

constexpr int kLastSegment = kSegmentCount - 1;
constexpr int kStripLeftOffset = 22;   // 105 + 24 i = x - 22
constexpr int kStripRightOffset = 23;  // 150 + 24 i = x + 23
constexpr int kNeighbourGap = 24;
constexpr int kGridTopOffset = 134;
constexpr int kGridBottomOffset = 133;
constexpr int kThickPen = 3;
constexpr int kDottedPen = 1;
constexpr int kMarkerInner = 136;
constexpr int kMarkerOuter = 146;
constexpr int kMarkerHalfWidth = 3;
constexpr int kPointerLeft = 127;
constexpr int kPointerRight = 897;
constexpr int kPointerOrigin = 115;

int ValueAt(std::span<const int16_t> rows, int row, int segment) {
  const size_t index = static_cast<size_t>(row) * kSegmentCount + static_cast<size_t>(segment);
  return index < rows.size() ? rows[index] : 0;
}

// The line pieces from the previous point to this one and from this one to
// the next one.
void DrawPieces(std::span<const int16_t> rows, int row, int i, int centre) {
  const int x = SegmentX(i);
  const int y = centre - ValueAt(rows, row, i);
  if (i > 0) DrawLine(x - kNeighbourGap + 1, centre - ValueAt(rows, row, i - 1), x - 1, y);
  if (i < kLastSegment) DrawLine(x + 1, y, x + kNeighbourGap - 1, centre - ValueAt(rows, row, i + 1));
}

int RowCount(std::span<const int16_t> rows) { return static_cast<int>(rows.size() / kSegmentCount); }

}  // namespace

void DrawSegmentGraph(std::span<const int16_t> rows, int row, int i, int centre, int firstContext, int contextCount,
                      std::span<const ScaleMark> guides) {
  if (i < 0 || i > kLastSegment || row < 0 || row >= RowCount(rows)) return;
  const int x = SegmentX(i);
  const int top = centre - kSegmentGraphHalf;
  const int bottom = centre + kSegmentGraphHalf;
  HoldRepaint();
  SetPaper(PaletteColour(kFace));
  if (i > 0) FillBox(x - kStripLeftOffset, top, x, bottom + 1);
  if (i < kLastSegment) FillBox(x + 1, top, x + kStripRightOffset + 1, bottom + 1);
  if (!guides.empty()) {
    SetInk(PaletteColour(static_cast<PaletteSlot>(FaintLineSlot())));
    SetPenStyle(kDottedPen, 0);
    const int left = i > 0 ? x - kStripLeftOffset : x + 1;
    const int right = i < kLastSegment ? x + kStripRightOffset : x - 1;
    for (const ScaleMark& mark : guides) DrawLine(left, centre - mark.value, right, centre - mark.value);
    SetPenStyle(0, 0);
  }
  if (contextCount > 0) {
    SetInk(PaletteColour(kDim));
    for (int j = 1; j <= contextCount; ++j) {
      const int other = (firstContext + j) % contextCount;
      if (other != row && other < RowCount(rows)) DrawPieces(rows, other, i, centre);
    }
  }
  SetInk(PaletteColour(kText));
  SetPenStyle(0, kThickPen);
  DrawLine(x, centre - kGridTopOffset, x, centre + kGridBottomOffset);
  if (i > 0) DrawLine(x - kNeighbourGap, centre - kGridTopOffset, x - kNeighbourGap, centre + kGridBottomOffset);
  if (i < kLastSegment) {
    DrawLine(x + kNeighbourGap, centre - kGridTopOffset, x + kNeighbourGap, centre + kGridBottomOffset);
  }
  DrawPieces(rows, row, i, centre);
  SetPenStyle(0, 0);
  FlushRegion(x - kNeighbourGap, top, x + kNeighbourGap, bottom + 1);
  RestoreNormalColours();
}

void DrawWholeSegmentGraph(std::span<const int16_t> rows, int row, int centre, int firstContext, int contextCount,
                           std::span<const ScaleMark> guides) {
  HoldRepaint();
  for (int i = 0; i < kSegmentCount; ++i) DrawSegmentGraph(rows, row, i, centre, firstContext, contextCount, guides);
  FlushRegion(SegmentX(0) - kNeighbourGap, centre - kSegmentGraphHalf, SegmentX(kLastSegment) + kNeighbourGap,
              centre + kSegmentGraphHalf + 1);
}

void DrawSegmentMarkers(int segment, int centre) {
  const int left = SegmentX(0) - kNeighbourGap;
  const int right = SegmentX(kLastSegment) + kNeighbourGap;
  const int x = SegmentX(std::clamp(segment, 0, kLastSegment));
  HoldRepaint();
  FillBox(left, centre - kMarkerOuter, right, centre - kMarkerInner + 1);
  FillBox(left, centre + kMarkerInner, right, centre + kMarkerOuter + 1);
  SetPaper(PaletteColour(kAccent));
  FillBox(x - kMarkerHalfWidth, centre - kMarkerOuter, x + kMarkerHalfWidth + 1, centre - kMarkerInner + 1);
  FillBox(x - kMarkerHalfWidth, centre + kMarkerInner, x + kMarkerHalfWidth + 1, centre + kMarkerOuter + 1);
  FlushRegion(left, centre - kMarkerOuter, right, centre + kMarkerOuter + 1);
  RestoreNormalColours();
}

bool StepSegments(SegmentEditor& editor, const SegmentInput& input) {
  using Kind = SegmentInput::Kind;
  const int before = editor.current;
  const size_t base = static_cast<size_t>(editor.row) * kSegmentCount;
  if (base + kSegmentCount > editor.rows.size()) return false;
  auto valueOf = [&](int segment) -> int16_t& { return editor.rows[base + static_cast<size_t>(segment)]; };
  auto setValue = [&](int segment, int value) {
    const int16_t clamped = static_cast<int16_t>(std::clamp(value, editor.minimum, editor.maximum));
    const bool moved = valueOf(segment) != clamped;
    valueOf(segment) = clamped;
    return moved;
  };
  switch (input.kind) {
    case Kind::kLeft:
      editor.current = (editor.current + kLastSegment) % kSegmentCount;
      return true;
    case Kind::kRight:
      editor.current = (editor.current + 1) % kSegmentCount;
      return true;
    case Kind::kUp:
      return setValue(editor.current, valueOf(editor.current) + 1);
    case Kind::kDown:
      return setValue(editor.current, valueOf(editor.current) - 1);
    case Kind::kPress:
    case Kind::kDrag:
      break;
  }
  const int offset = input.y - editor.centre;
  if (input.kind == Kind::kPress) {
    editor.grip = SegmentEditor::Grip::kNone;
    if (input.x < kPointerLeft || input.x > kPointerRight) return false;
    const int distance = std::abs(offset);
    if (distance <= kSegmentGraphHalf) editor.grip = SegmentEditor::Grip::kValues;
    else if (distance >= kMarkerInner && distance <= kMarkerOuter) editor.grip = SegmentEditor::Grip::kMarker;
  }
  if (editor.grip == SegmentEditor::Grip::kNone) return false;
  // While the button stays down the pointer may leave the graph: the
  // segment follows it as far as the first and last.
  editor.current = std::clamp((input.x - kPointerOrigin) / kSegmentStep, 0, kLastSegment);
  if (editor.grip == SegmentEditor::Grip::kMarker) return editor.current != before;
  return setValue(editor.current, -offset) || editor.current != before;
}

void EditSegments(SegmentEditor& editor, std::span<const SegmentInput> steps, PageEvent& event, bool& changed) {
  const size_t base = static_cast<size_t>(editor.row) * kSegmentCount;
  if (!event.None() || base + kSegmentCount > editor.rows.size()) {
    changed = !event.None();
    return;
  }
  const std::vector<int16_t> before(editor.rows.begin() + static_cast<std::ptrdiff_t>(base),
                                    editor.rows.begin() + static_cast<std::ptrdiff_t>(base + kSegmentCount));
  for (const SegmentInput& input : steps) {
    const int previous = editor.current;
    if (!StepSegments(editor, input)) continue;
    const std::span<const int16_t> rows(editor.rows);
    if (editor.current != previous) {
      ShowCurrentSegment(editor.current);
      DrawSegmentMarkers(editor.current, editor.centre);
    }
    DrawSegmentGraph(rows, editor.row, editor.current, editor.centre, editor.firstContext, editor.contextCount,
                     editor.guides);
    ShowSegmentValue(editor.scale, editor.rows[base + static_cast<size_t>(editor.current)]);
  }
  const bool differs = !std::equal(before.begin(), before.end(), editor.rows.begin() + static_cast<std::ptrdiff_t>(base));
  if (differs) event = PageEvent::Selection();
  changed = differs || !event.None();
}

void FollowSegmentDrag(SegmentEditor& editor) {
  auto redraw = [&editor] {
    DrawWholeSegmentGraph(editor.rows, editor.row, editor.centre, editor.firstContext, editor.contextCount,
                          editor.guides);
    DrawSegmentMarkers(editor.current, editor.centre);
  };
  redraw();
  while (!LeftReleased()) {
    FlushMouse();
    WaitForInput(10);
    if (StepSegments(editor, {SegmentInput::Kind::kDrag, MouseLogicalX(), MouseLogicalY()})) redraw();
  }
}
