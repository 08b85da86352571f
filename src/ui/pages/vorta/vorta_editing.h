#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "ui/page.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/segment_graph.h"

// What the VORTA editing screens share: the RAM table, changes with undo
// and redo, the tool dialogs, playing a table or one of its slices, and the
// pointer held down on a graph.

// The screens a change is recorded with (their selector values).
inline constexpr int16_t kSliceEditorScreen = 3;
inline constexpr int16_t kAssemblingScreen = 4;
inline constexpr int16_t kEnvelopeScreen = 5;
inline constexpr int16_t kTableEditingScreen = 6;

inline VortaModule& VortaOf(const PageRun& run) { return *run.session->vorta; }
inline VortaWorkspace& RamOf(const PageRun& run) { return run.session->vorta->ram; }
inline VortaEditMemory& EditOf(const PageRun& run) { return run.session->vorta->edit; }

// "UNDO ENTRIES <OF 512>:" and the "RAM:" name.
void ShowUndoEntries(const PageRun& run);
void ShowRamName(const PageRun& run);

// After a change of the RAM table: an undo entry with the screen (none when
// the table did not change), the table rendered again, the redo steps
// dropped, the count shown. True when the table had changed.
bool CommitEdit(PageRun& run, int16_t screen);

// "s UNDO " and "s REDO ". When the step belongs to another screen the
// selector moves there; otherwise the page is drawn again.
void UndoEdit(PageRun& run, int16_t screen);
void RedoEdit(PageRun& run, int16_t screen);

// The tool dialogs. Each is an option page whose function buttons choose
// one action; the page that opened it applies the choice. The result is 3
// with the choice, 25 without.
enum class ToolDialog { kSlice, kRow, kPolarity };
struct ToolChoice {
  bool chosen = false;
  int action = 0;  // SliceAction, RowAction or PolarityAction
};
ToolChoice RunToolDialog(PageRun& run, ToolDialog dialog, const char* number, bool offerOptimize = false,
                         bool tableRow = true);

// Play buttons: a whole table rendered at the stretch (once) or one slice of
// 256 samples (looped), held while the button of that lower-row column is.
void PlayTableHeldAt(const PartialTable& table, int32_t stretch, int column);
void PlaySliceHeldAt(const PartialTable& table, int slice, int column);
// Samples rendered elsewhere, 256 looped.
void PlayCycleHeldAt(std::span<const float> cycle, int column);

// The pointer positions while the left button stays down after a click,
// the click's own position first and the release position last.
template <typename Step>
void FollowPointer(int x, int y, Step step);
void NextPointer(int& x, int& y, bool& released);

template <typename Step>
void FollowPointer(int x, int y, Step step) {
  bool released = false;
  step(x, y);
  while (!released) {
    NextPointer(x, y, released);
    step(x, y);
  }
}

// A table as 33 small waves across the page (x 50 to 974, slice s at
// 50 + 28 s) around centre y, with its caption above.
inline constexpr int kWaveRowLeft = 50;
inline constexpr int kWaveRowStep = 28;
void DrawTableWaveRow(const PartialTable& table, int centre, int halfHeight, std::string_view caption);
// The down arrow over slice s of such a row (the strip above it cleared).
void MarkWaveRowSlice(int slice, int centre, int halfHeight);

// "LIMIT RANGE:" of a limit mode in a status field.
void ShowLimitRange(int column, int row, int limitMode);

// An option page run inside the calling page (no navigation row).
int RunOptionPage(PageRun& run, const Page& page);

// A segment graph edited by a held arrow key (LEFT and RIGHT move the
// current segment, UP and DOWN its value, repeated while held) or by the
// pointer held down on it; drawn as it goes. True when a value changed.
bool EditSegmentsByKey(SegmentEditor& editor, int key);
bool EditSegmentsByPointer(SegmentEditor& editor, int x, int y);
