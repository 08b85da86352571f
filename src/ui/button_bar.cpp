#include "ui/button_bar.h"

#include "ui/draw.h"

namespace {

constexpr int kFaceInset = 2;
constexpr int kFaceRight = 82;
constexpr int kFaceBottom = 27;
constexpr int kFrameInset = 3;
constexpr int kFrameRight = 81;
constexpr int kFrameBottom = 26;
constexpr int kFrameWidth = 2;
constexpr int kLabelCentre = 42;
constexpr int kLabelTop = 7;

std::array<std::array<std::string, kButtonColumns>, kButtonRows> gLabels;

bool ValidButton(int column, int row) {
  return column >= 0 && column < kButtonColumns && row >= 0 && row < kButtonRows;
}

// Paper and ink of a label's kind; the plain kind keeps the current paper.
void SelectKindColours(char kind) {
  switch (kind) {
    case 'f':
    case 'i':
      SetPaper(PaletteColour(kFace));
      SetInk(PaletteColour(kText));
      break;
    case 'p':
      SetPaper(PaletteColour(kText));
      SetInk(PaletteColour(kBackground));
      break;
    case 's':
      SetPaper(PaletteColour(kBackground));
      SetPattern(0, PaletteColour(kDim));
      SetInk(PaletteColour(kText));
      break;
    default:
      SetInk(PaletteColour(kText));
      break;
  }
}

}  // namespace

char ButtonKind(const std::string& label) {
  if (label.empty()) return 0;
  const char kind = label[0];
  return kind == 'f' || kind == 'i' || kind == 'p' || kind == 's' ? kind : 0;
}

std::string_view ButtonText(const std::string& label) {
  std::string_view text = label;
  if (ButtonKind(label) != 0) text.remove_prefix(1);
  return text;
}

const std::string& ButtonLabel(int column, int row) {
  static const std::string kNone;
  return ValidButton(column, row) ? gLabels[row][column] : kNone;
}

void SetButton(int column, int row, std::string_view label) {
  if (!ValidButton(column, row)) return;
  const int left = kButtonLeft[column];
  const int top = kButtonTop[row];
  std::string& slot = gLabels[row][column];
  if (label.empty()) {
    slot.clear();
    FillBox(left + kFaceInset, top + kFaceInset, left + kFaceRight, top + kFaceBottom);
    return;
  }
  slot = std::string(label.substr(0, kButtonLabelChars));
  const char kind = ButtonKind(slot);
  SelectKindColours(kind);
  HoldRepaint();
  FillBox(left + kFaceInset, top + kFaceInset, left + kFaceRight, top + kFaceBottom);
  if (kind == 'p' || kind == 'i') {
    SetPenStyle(0, kFrameWidth);
    DrawFrame(left + kFrameInset, top + kFrameInset, left + kFrameRight, top + kFrameBottom);
    SetPenStyle(0, 0);
  }
  DrawText(left + kLabelCentre, top + kLabelTop, ButtonText(slot), 'M');
  FlushRegion(left + kFaceInset, top + kFaceInset, left + kFaceRight, top + kFaceBottom);
  RestoreNormalColours();
}

void ClearButtons() {
  HoldRepaint();
  for (int row = 0; row < kButtonRows; ++row) {
    for (int column = 0; column < kButtonColumns; ++column) SetButton(column, row, {});
  }
  FlushRegion(1, kButtonTop[0], 1024, 767);
}

void DrawButtonLabel(int column, int row, Colour ink) {
  if (!ValidButton(column, row)) return;
  const std::string& label = gLabels[row][column];
  if (label.empty()) return;
  SelectKindColours(ButtonKind(label));
  SetInk(ink);
  DrawText(kButtonLeft[column] + kLabelCentre, kButtonTop[row] + kLabelTop, ButtonText(label), 'M');
}
