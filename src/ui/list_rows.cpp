#include "ui/list_rows.h"

#include "ui/draw.h"
#include "ui/page_frame.h"

namespace {

constexpr int kCommentsLeft = 7;
constexpr int kCommentsRight = 1017;
constexpr int kCommentStep = 22;
constexpr int kPanelTitleHeight = 17;
constexpr int kValueCellOffset = 120;  // from the range column
constexpr int kMarkerLeft = 60;
constexpr int kMarkerRight = 125;

int LineY(int line) { return kListRowTop + kListRowStep * line; }

}  // namespace

std::string RowRange(const ListRow& row) { return row.rangeText ? row.rangeText() : row.range; }

std::string RowValue(const ListRow& row) {
  const int value = row.get ? row.get() : 0;
  return row.format ? row.format(value) : std::to_string(value);
}

RowChange ChangeRow(const ListRow& row) {
  if (row.change) return row.change();
  if (!row.get || !row.set) return {};
  int value = row.get() + row.step;
  if (value > row.maximum) value = row.minimum;
  if (value < row.minimum) value = row.maximum;
  row.set(value);
  return row.after ? row.after() : RowChange{};
}

void DrawRowValue(std::span<const ListRow> rows, const ListLayout& layout, int index) {
  const int y = LineY(index);
  HoldRepaint();
  FillBox(layout.rangeX + kValueCellOffset, y, layout.valueRight + 4, y + 16);
  DrawText(layout.valueRight, y, RowValue(rows[static_cast<size_t>(index)]), 'R');
  FlushRegion(layout.rangeX + kValueCellOffset, y, layout.valueRight + 4, y + 16);
}

void DrawRowComments(const ListRow& row, const ListLayout& layout) {
  const int top = layout.commentsTop;
  const int bottom = top + kPanelTitleHeight + 8 + kCommentStep * kMaxRowComments;
  HoldRepaint();
  DrawPanel(kCommentsLeft, top, kCommentsRight, bottom, layout.commentsTitle);
  int y = top + kPanelTitleHeight + 6;
  for (const char* comment : row.comments) {
    if (!comment) break;
    DrawText(kCommentsLeft + 5, y, comment, 'L');
    y += kCommentStep;
  }
  FlushRegion(kCommentsLeft, top, kCommentsRight, bottom);
}

void DrawListRows(std::span<const ListRow> rows, const ListLayout& layout, int selected) {
  const int count = static_cast<int>(rows.size());
  HoldRepaint();
  for (int line = 0; line < count; ++line) {
    const ListRow& row = rows[static_cast<size_t>(line)];
    DrawText(layout.labelX, LineY(line), row.label, 'L');
    DrawText(layout.rangeX, LineY(line), RowRange(row), 'L');
    DrawText(layout.valueRight, LineY(line), RowValue(row), 'R');
  }
  MarkListRow(selected, count - 1);
  FlushRegion(0, kMainAreaTop, 1023, LineY(count));
  DrawRowComments(rows[static_cast<size_t>(selected)], layout);
}

int StepListLine(int selected, int delta, int count) {
  if (count <= 0) return 0;
  const int next = ((selected + delta) % count + count) % count;
  HoldRepaint();
  MarkListRow(next, count - 1);
  FlushRegion(kMarkerLeft, kListRowTop, kMarkerRight, LineY(count));
  return next;
}
