#include "ui/keypad.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/page_frame.h"

namespace {

constexpr const char* kDigits = "0123456789";
constexpr const char* kNameSigns = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!#$%&'()-@_`{}^";
constexpr int kHitOffsetX = 28;
constexpr int kHitOffsetY = 20;
constexpr int kHitWidth = 54;
constexpr int kHitHeight = 53;
constexpr int kLettersProbeCell = 11;
constexpr int kLastCharacterCell = 51;
constexpr int kTitleBufferChars = 160;

void AddCharacters(Keypad& keypad, int& cell, const char* characters) {
  for (const char* c = characters; *c && cell < kBackspaceCell - 1; ++c) {
    keypad[static_cast<size_t>(cell++)].character = static_cast<uint8_t>(*c);
  }
}

}  // namespace

void BuildKeypad(Keypad& keypad, char kind) {
  keypad = Keypad{};
  int cell = 0;
  AddCharacters(keypad, cell, kDigits);
  if (kind == 'F' || kind == 'W') AddCharacters(keypad, cell, kNameSigns);
  if (kind == 'F') AddCharacters(keypad, cell, "~");
  keypad[kBackspaceCell].character = kBackspaceChar;
  keypad[kEscapeCell].character = kEscapeChar;
  keypad[kReturnCell].character = kReturnChar;
  for (int i = 0; i < kKeypadCells; ++i) {
    keypad[static_cast<size_t>(i)].x = kKeypadFirstX + kKeypadStep * (i % kKeypadColumns);
    keypad[static_cast<size_t>(i)].y = kKeypadFirstY + kKeypadStep * (i / kKeypadColumns);
  }
  FlushChars();
}

uint8_t ReadKeypad(const Keypad& keypad) {
  uint8_t character = 0;
  if (CharacterQueued()) {
    character = WaitChar();
    return character < 128 ? static_cast<uint8_t>(std::toupper(character)) : character;
  }
  if (!ClickPending()) return 0;
  FlushMouse();
  const int x = MouseLogicalX() + kHitOffsetX;
  const int y = MouseLogicalY() + kHitOffsetY;
  for (const KeypadCell& cell : keypad) {
    if (cell.x <= x && x <= cell.x + kHitWidth && cell.y <= y && y <= cell.y + kHitHeight) return cell.character;
  }
  return 0;
}

int KeypadCellOf(const Keypad& keypad, uint8_t character) {
  if (character == 0) return -1;
  for (int i = 0; i < kKeypadCells; ++i) {
    if (keypad[static_cast<size_t>(i)].character == character) return i;
  }
  return -1;
}

std::string_view KeypadGlyph(const Keypad& keypad, int cell) {
  static std::array<char, 2> single{};
  if (cell == kBackspaceCell) return "<-I";
  if (cell == kEscapeCell) return "ESC";
  if (cell == kReturnCell) return "RET";
  if (cell < 0 || cell >= kKeypadCells) return {};
  single[0] = static_cast<char>(keypad[static_cast<size_t>(cell)].character);
  return std::string_view(single.data(), single[0] ? 1 : 0);
}

void DrawKeypadCell(const Keypad& keypad, int cell, bool pressed) {
  if (cell < 0 || cell >= kKeypadCells) return;
  const KeypadCell& key = keypad[static_cast<size_t>(cell)];
  const std::string glyph(KeypadGlyph(keypad, cell));
  SetPaper(PaletteColour(kFace));
  if (pressed) {
    SetInk(PaletteColour(kBright));
    DrawText(key.x, key.y, glyph, 'M');
    SleepMillis(kPressFeedbackMillis);
  }
  SetInk(PaletteColour(kText));
  DrawText(key.x, key.y, glyph, 'M');
  SetPaper(PaletteColour(kBackground));
}

void DrawKeypadPanel(const Keypad& keypad, std::string_view label, long maximum, long minimum) {
  ClearButtons();
  ClearMainArea();
  const bool letters = keypad[kLettersProbeCell].character != 0;
  std::string_view name = label;
  if (!name.empty()) name.remove_suffix(1);  // the colon
  char title[kTitleBufferChars];
  if (letters) {
    std::snprintf(title, sizeof title, "ALPHANUMERIC INPUT <%.*s, 8 CHARACTERS MAX>", static_cast<int>(name.size()),
                  name.data());
  } else {
    std::snprintf(title, sizeof title, "NUMERIC INPUT <%.*s, RANGE: %ld - %ld>", static_cast<int>(name.size()),
                  name.data(), minimum, maximum);
  }
  const KeypadCell& first = keypad[0];
  const KeypadCell& last = keypad[kReturnCell];
  HoldRepaint();
  DrawPanel(first.x - 33, first.y - 43, last.x + 32, last.y + 39, title);
  SetPaper(PaletteColour(kFace));
  for (int cell = 0; cell < kKeypadCells; ++cell) {
    if (cell == kLastCharacterCell + 1) continue;  // cell 52 is never drawn
    const KeypadCell& key = keypad[static_cast<size_t>(cell)];
    if (key.character == 0) continue;
    SetPenStyle(0, cell >= kBackspaceCell ? 3 : 0);
    FillBox(key.x - 28, key.y - 21, key.x + 27, key.y + 34);
    DrawFrame(key.x - 28, key.y - 21, key.x + 27, key.y + 34);
    DrawText(key.x, key.y, KeypadGlyph(keypad, cell), 'M');
  }
  FlushRegion(first.x - 33, first.y - 43, last.x + 32, last.y + 39);
  SetPenStyle(0, 0);
  SetPaper(PaletteColour(kBackground));
}
