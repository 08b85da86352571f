#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

// A settings list whose every row is declared once: its label, its range
// text, how "VALUE" steps it, how its value reads, what a change does
// besides, and its comment lines. Rows are 27 pixels apart from y 147,
// marked by ">>>>>>" (MarkListRow); the comments of the selected row stand
// in a panel under the list.
inline constexpr int kMaxRowComments = 5;

// What a change did beyond the value: the message to show and whether the
// whole page must be drawn again (a new colour mode).
struct RowChange {
  uint8_t message = 0;
  bool redrawAll = false;
};

struct ListRow {
  const char* label = "";
  // The range text: fixed, or made by rangeText when that is given.
  const char* range = "";
  std::string (*rangeText)() = nullptr;
  // "VALUE": value + step, past maximum back to minimum.
  int minimum = 0;
  int maximum = 1;
  int step = 1;
  int (*get)() = nullptr;
  void (*set)(int value) = nullptr;
  // The value text of a value.
  std::string (*format)(int value) = nullptr;
  // Replaces the stepping above when given (a value whose steps are not
  // numbers: the next sound device).
  RowChange (*change)() = nullptr;
  // Runs after a stepped change (apply the colours, sort the library again).
  RowChange (*after)() = nullptr;
  std::array<const char*, kMaxRowComments> comments{};
};

// Where a list's columns stand.
struct ListLayout {
  int labelX = 130;
  int rangeX = 515;
  int valueRight = 1015;
  const char* commentsTitle = "PARAMETER COMMENTS";
  int commentsTop = 400;
};

std::string RowRange(const ListRow& row);
std::string RowValue(const ListRow& row);

// "VALUE" on a row.
RowChange ChangeRow(const ListRow& row);

// All rows with label, range and value, the marker at selected and its
// comments.
void DrawListRows(std::span<const ListRow> rows, const ListLayout& layout, int selected);
// The value cell of one row.
void DrawRowValue(std::span<const ListRow> rows, const ListLayout& layout, int index);
void DrawRowComments(const ListRow& row, const ListLayout& layout);

// "<<LINE" (delta -1) and "LINE>>" (+1): the selected line moves, wrapping,
// and the marker follows. Returns the new line.
int StepListLine(int selected, int delta, int count);
