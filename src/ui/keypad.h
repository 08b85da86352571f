#pragma once
#include <array>
#include <cstdint>
#include <string_view>

// The on-screen keypad of the entries: 56 cells of 14 columns by 4 rows.
inline constexpr int kKeypadCells = 56;
inline constexpr int kKeypadColumns = 14;
inline constexpr int kKeypadFirstX = 120;
inline constexpr int kKeypadFirstY = 291;
inline constexpr int kKeypadStep = 60;
inline constexpr int kBackspaceCell = 53;
inline constexpr int kEscapeCell = 54;
inline constexpr int kReturnCell = 55;
inline constexpr uint8_t kBackspaceChar = 8;
inline constexpr uint8_t kReturnChar = 13;
inline constexpr uint8_t kEscapeChar = 27;

struct KeypadCell {
  uint8_t character = 0;  // 0 = empty cell
  int x = 0;              // glyph position
  int y = 0;
};

using Keypad = std::array<KeypadCell, kKeypadCells>;

// Digits for every kind; "F" and "W" add letters and the file-name signs,
// "F" also "~". Empties the character queue.
void BuildKeypad(Keypad& keypad, char kind);

// A typed character in upper case, or the character of a clicked cell, or 0.
uint8_t ReadKeypad(const Keypad& keypad);

// The cell holding a character, -1 when none does.
int KeypadCellOf(const Keypad& keypad, uint8_t character);

// What a cell shows.
std::string_view KeypadGlyph(const Keypad& keypad, int cell);

// Normal, or pressed: a 100 ms flash in the bright ink.
void DrawKeypadCell(const Keypad& keypad, int cell, bool pressed);

// Clears buttons and main area and draws the keypad in a titled panel.
void DrawKeypadPanel(const Keypad& keypad, std::string_view label, long maximum, long minimum);
