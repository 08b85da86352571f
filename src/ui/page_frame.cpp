#include "ui/page_frame.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

#include "core/app_globals.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"

namespace {

constexpr int kTitleBufferChars = 128;
constexpr int kStatusBufferChars = 64;  // 63 characters and the terminator
constexpr size_t kPageNumberChars = 8;
constexpr int kTitleTop = 3;
constexpr int kTagLeft = 864;
constexpr int kTagRight = 925;
constexpr int kTagBottom = 19;
constexpr int kTagCentre = 895;
constexpr int kNumberLeft = 991;
constexpr int kNumberMargin = 3;
constexpr int kCanvasRight = 1023;
constexpr int kPanelTitleHeight = 17;

std::string gLastNumber;
int gLastState = -1;
bool gHeaderDrawn = false;

int StatusX(int column) { return kStatusColumnX[static_cast<size_t>(column & 3)]; }
int StatusY(int row) { return kStatusRowY[static_cast<size_t>(row & 3)]; }

template <typename Value>
void FormatStatus(int column, int row, std::string_view label, const char* format, Value value, int width) {
  char buffer[kStatusBufferChars];
  std::snprintf(buffer, sizeof buffer, format, value);
  DrawStatusField(column, row, label, buffer, width);
}

// The formats of the integer readouts use both "%d" and "%ld": the value is
// passed at the width its format reads, so that a negative value is not
// read as a large positive one.
bool ReadsLong(const char* format) { return std::strchr(format, 'l') != nullptr; }

template <typename Value>
void FormatInteger(int column, int row, std::string_view label, const char* format, Value value, int width) {
  if constexpr (std::is_signed_v<Value>) {
    if (ReadsLong(format)) FormatStatus(column, row, label, format, static_cast<long>(value), width);
    else FormatStatus(column, row, label, format, static_cast<int>(value), width);
  } else {
    if (ReadsLong(format)) FormatStatus(column, row, label, format, static_cast<unsigned long>(value), width);
    else FormatStatus(column, row, label, format, static_cast<unsigned>(value), width);
  }
}

}  // namespace

std::string_view ModuleTag(int state) {
  switch (state) {
    case STATE_MAIN_MENU: return "MENU";
    case STATE_VORTA: return "VORTA";
    case STATE_XFORM: return "XFORM";
    case STATE_SLOOP: return "SLOOP";
    case STATE_XMRPH: return "XMRPH";
    case STATE_RECBIN: return "RECBIN";
    case STATE_UTILITY: return "UTILITY";
    default: return {};
  }
}

void ForgetPageHeader() { gHeaderDrawn = false; }

void DrawPageHeader(std::string_view title, std::string_view number, bool force) {
  const std::string shortNumber(number.substr(0, kPageNumberChars));
  if (gHeaderDrawn && shortNumber == gLastNumber && gApp.programState == gLastState && !force) return;
  HoldRepaint();
  ClearHeader();
  ClearMainArea();
  ClearButtons();
  FillBox(300, kTitleTop, 724, 18);
  char buffer[kTitleBufferChars];
  std::snprintf(buffer, sizeof buffer, "*** %.*s ***", static_cast<int>(title.size()), title.data());
  DrawText(512, kTitleTop, buffer, 'M');
  SetPaper(PaletteColour(kText));
  SetInk(PaletteColour(kBackground));
  FillBox(kTagLeft, kTitleTop, kTagRight, kTagBottom);
  DrawText(kTagCentre, kTitleTop, ModuleTag(gApp.programState), 'M');
  // The number sits wholly inside an inverted box of its own: its first
  // glyph's left stroke would otherwise merge with the background beside
  // it, and a number wider than the room left of the canvas edge moves left.
  const int numberLeft = std::min(kNumberLeft, kCanvasRight - kNumberMargin - MeasureText(shortNumber).width);
  FillBox(numberLeft - kNumberMargin, kTitleTop, kCanvasRight + 1, kTagBottom);
  DrawText(numberLeft, kTitleTop, shortNumber, 'L');
  FlushRegion(0, 0, 1023, 767);
  RestoreNormalColours();
  gLastNumber = shortNumber;
  gLastState = gApp.programState;
  gHeaderDrawn = true;
}

void DrawStatusField(int column, int row, std::string_view label, std::string_view value, int width) {
  const int x = StatusX(column);
  const int y = StatusY(row);
  HoldRepaint();
  DrawText(x, y, label, 'L');
  SetPaper(PaletteColour(kText));
  SetInk(PaletteColour(kBackground));
  FillBox(x + kStatusValueRight - kStatusCharWidth * width, y, x + kStatusBoxRight, y + 16);
  DrawText(x + kStatusValueRight, y, value, 'R');
  FlushRegion(x, y, x + kStatusBoxRight, y + 16);
  RestoreNormalColours();
}

void DrawStatusValue(int column, int row, std::string_view label, const char* format, double value, int width) {
  FormatStatus(column, row, label, format, value, width);
}
void DrawStatusValue(int column, int row, std::string_view label, const char* format, uint32_t value, int width) {
  FormatInteger(column, row, label, format, value, width);
}
void DrawStatusValue(int column, int row, std::string_view label, const char* format, int32_t value, int width) {
  FormatInteger(column, row, label, format, value, width);
}
void DrawStatusValue(int column, int row, std::string_view label, const char* format, int16_t value, int width) {
  FormatInteger(column, row, label, format, value, width);
}

void ClearStatusValue(int column, int row) {
  const int x = StatusX(column);
  const int y = StatusY(row);
  FillBox(x, y, x + kStatusBoxRight, y + 16);
}

void DrawWideStatusField(int column, int row, std::string_view label, std::string_view value) {
  const int x = StatusX(column);
  const int y = StatusY(row);
  HoldRepaint();
  DrawText(x, y, label, 'L');
  SetPaper(PaletteColour(kText));
  SetInk(PaletteColour(kBackground));
  FillBox(x + 141, y, x + 499, y + 16);
  DrawText(x + 497, y, value, 'R');
  FlushRegion(x, y, x + 499, y + 16);
  RestoreNormalColours();
}

void ClearHeader() { FillBox(3, 21, 1020, 97); }

void ClearMainArea() { FillBox(0, kMainAreaTop, 1024, kMainAreaBottom); }

void DrawPanel(int x0, int y0, int x1, int y1, std::string_view title) {
  SetPaper(PaletteColour(kFace));
  HoldRepaint();
  DrawFrame(x0, y0, x1, y1);
  DrawLine(x0, y0 + kPanelTitleHeight, x1, y0 + kPanelTitleHeight);
  FillBox(x0 + 1, y0 + 1, x1, y0 + kPanelTitleHeight);
  DrawText(x0 + 5, y0 + 1, title, 'L');
  SetPaper(PaletteColour(kBackground));
  FillBox(x0 + 1, y0 + kPanelTitleHeight + 1, x1, y1);
  FlushRegion(x0, y0, x1, y1);
}

void MarkListRow(int newRow, int oldRow) {
  // The old marker's own row is cleared too, not only the rows above it.
  FillBox(67, kListRowTop, 120, kListRowTop + kListRowStep * oldRow + 16);
  DrawText(67, kListRowTop + kListRowStep * newRow, ">>>>>>", 'L');
}

void DrawScreenFrame() {
  const DisplayLayout& layout = gDisplayState.layout;
  RestoreNormalColours();
  HoldRepaint();
  FillBox(layout.left, layout.top, layout.right, layout.bottom);
  DrawText(2, kTitleTop, gApp.screenTitle, 'L');
  FlushRegion(layout.left, layout.top, layout.right, layout.bottom);
  ForgetPageHeader();
}
