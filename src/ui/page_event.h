#pragma once
#include <cstdint>

// What a page loop hands to a page: one typed event. The numbers the user
// sees (button positions 1..24, message codes) stay as they are; only the
// kind of event is no longer squeezed into the same byte.
enum class EventKind : uint8_t {
  None,              // nothing happened (an idle pass)
  Button,            // button 1..24 of the bar: an F-key (lower row with CTRL or ESC) or a click on it
  Key,               // a polled key that is no button (arrows, R, 0), still held: `key`
  Click,             // a left click outside the button bar, at (x, y)
  SelectionChanged,  // a list or a two-dimensional field took a new value
  Slider,            // slider `slider` (0..9) took a new value
  Character,         // a typed character or keypad cell
};

struct PageEvent {
  EventKind kind = EventKind::None;
  int button = 0;  // Button: 1..24, column + 1 + 12 x row
  int key = 0;     // Key: the key number
  int x = 0;       // Click: logical canvas position
  int y = 0;
  int slider = 0;  // Slider
  uint8_t character = 0;

  static PageEvent Press(int button) { return {EventKind::Button, button}; }
  static PageEvent HeldKey(int key) { return {EventKind::Key, 0, key}; }
  static PageEvent ClickAt(int x, int y) { return {EventKind::Click, 0, 0, x, y}; }
  static PageEvent Selection() { return {EventKind::SelectionChanged}; }
  static PageEvent SliderMoved(int number) { return {EventKind::Slider, 0, 0, 0, 0, number}; }
  static PageEvent Typed(uint8_t character) { return {EventKind::Character, 0, 0, 0, 0, 0, character}; }

  bool None() const { return kind == EventKind::None; }
  bool IsButton(int column, int row) const { return kind == EventKind::Button && button == column + 1 + 12 * row; }
  int Column() const { return (button - 1) % 12; }
  int Row() const { return (button - 1) / 12; }
};
