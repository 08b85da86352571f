#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "ui/info_panels.h"
#include "ui/page_event.h"

// The line graph of a row of 33 segment values (-127..127) and its editor.
// Rows lie 33 values apart, as in a PartialTable. Segment i is drawn at
// x = 127 + 24 i, its value v at y = centre - v; the graph spans centre -
// 135 to centre + 135, with marker strips of 10 pixels above and below.

inline constexpr int kSegmentCount = 33;
inline constexpr int kSegmentGraphLeft = 127;
inline constexpr int kSegmentStep = 24;
inline constexpr int kSegmentGraphHalf = 135;

// A labelled guide line of a segment graph at a value -127..127, drawn
// dotted in the faint colour behind the curves.
struct ScaleMark {
  int value;
  std::string_view label;
};

constexpr int SegmentX(int segment) { return kSegmentGraphLeft + kSegmentStep * segment; }

// The graph around segment i of the given row: the line pieces to its
// neighbours, the context rows (first + 1, first + 2, ... modulo
// contextCount, the edited row left out) behind it in Dim. contextCount 0
// draws no context.
void DrawSegmentGraph(std::span<const int16_t> rows, int row, int segment, int centre, int firstContext = 0,
                      int contextCount = 0, std::span<const ScaleMark> guides = {});
// All 33 segments in one batch.
void DrawWholeSegmentGraph(std::span<const int16_t> rows, int row, int centre, int firstContext = 0,
                           int contextCount = 0, std::span<const ScaleMark> guides = {});

// The marker of the current segment in the strips above and below the graph.
void DrawSegmentMarkers(int segment, int centre);

// One step of the editor's input, as the page loop read it: an arrow key
// step (repeated by the loop while the key is held, with its pause), or a
// left-button press and the pointer positions while the button stays down.
struct SegmentInput {
  enum class Kind { kLeft, kRight, kUp, kDown, kPress, kDrag };
  Kind kind = Kind::kLeft;
  int x = 0;  // logical pointer position for kPress and kDrag
  int y = 0;
};

struct SegmentEditor {
  std::span<int16_t> rows;
  int row = 0;
  int centre = 0;
  int maximum = kMaxCode;
  int minimum = -kMaxCode;
  int current = 0;  // the current segment, in and out
  SegmentScale scale = SegmentScale::kLogarithmic;
  int firstContext = 0;
  int contextCount = 0;
  std::span<const ScaleMark> guides{};
  // What the press of a drag took hold of.
  enum class Grip { kNone, kValues, kMarker } grip = Grip::kNone;
};

// Applies one input step to the row without drawing; true when the current
// segment or a value moved.
bool StepSegments(SegmentEditor& editor, const SegmentInput& input);

// The "2D INPUT FIELDS": while no event is pending, applies the steps,
// redraws the graph, the markers and the readouts after each. Afterwards,
// when the row's 66 bytes differ from before, the event becomes "selection
// changed" and changed = true; otherwise changed tells whether an event was
// already pending.
void EditSegments(SegmentEditor& editor, std::span<const SegmentInput> steps, PageEvent& event, bool& changed);

// A drag that a press on the graph began (StepSegments with that press),
// followed until the left button is let go: the row, the graph and the
// markers change as the pointer moves.
void FollowSegmentDrag(SegmentEditor& editor);
