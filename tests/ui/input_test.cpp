#include "ui/input.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "ui/browser_list.h"
#include "ui/keypad.h"
#include "ui/page_event.h"
#include "ui/ui_fixture.h"

using InputTest = UiTest;

// F1..F12 give 1..12, with CTRL or ESC 13..24; no code without label, focus or shortcuts (clicks still work).
TEST_F(InputTest, KeysModifiersAndClicksGiveButtonCodes) {
  LabelAllButtons();
  SetButton(3, 0, "");
  SetButton(8, 0, "RESIZE");  // a plain text label works as well
  const std::pair<std::function<void()>, uint8_t> presses[] = {
      {[] { ScriptKeyPress(FunctionKey(5)); }, 5}, {[] { ScriptKeyPress(FunctionKey(9)); }, 9},
      {[] { ScriptKeyPressWith(kKeyControl, FunctionKey(5)); }, 17},
      {[] { ScriptKeyPressWith(kKeyEscape, FunctionKey(5)); }, 17},
      {[] { ScriptKeyPress(kKeyF1); }, 1}, {[] { ScriptKeyPress(kKeyF12); }, 12},
      {[] { ScriptKeyPress(FunctionKey(4)); }, kNoEvent},
      {[] { gApp.settings.shortcuts = 0; ScriptKeyPress(FunctionKey(5)); }, kNoEvent},
      {[] { ScriptClick(100, 720); }, 2},
      // Button edges one pixel up and left, the last button's lower right corner, a click outside every button.
      {[] { ScriptClick(86, 708); }, kNoEvent}, {[] { ScriptClick(87, 709); }, 2},
      {[] { ScriptClick(941 + 80, 739 + 25); }, 24}, {[] { ScriptClick(500, 400); }, kNoEvent},
      {[] { gApp.settings.shortcuts = 1; ScriptFocus(false); ScriptKeyPress(FunctionKey(5)); }, kNoEvent},
  };
  for (const auto& [press, code] : presses) {
    press();
    EXPECT_EQ(NextButton(), code) << static_cast<int>(code);
  }
  EXPECT_EQ(ButtonText(ButtonLabel(8, 0)), "RESIZE");
  EXPECT_TRUE(Shown("RESIZE"));  // the whole text, no mode letter taken from it
  SetButton(0, 0, "fLOAD<>");
  EXPECT_EQ(ButtonText(ButtonLabel(0, 0)), "LOAD<>");
  SetButton(1, 0, "fABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(ButtonLabel(1, 0).size(), 15u);  // stored cut to 15
}

// A held key is reported once per press, and while it is held no other key is noticed.
TEST_F(InputTest, AHeldKeyCountsOnceAndHidesOthers) {
  LabelAllButtons();
  ScriptKeyDown(FunctionKey(5), 10);
  ScriptKeyUp(FunctionKey(5), 2000);
  ScriptKeyDown(FunctionKey(5), 100);
  ScriptKeyUp(FunctionKey(5), 100);
  EXPECT_EQ(LoopFor(2500), 2);
  ScriptKeyDown(kKeyF1, 10);
  ScriptKeyDown(FunctionKey(2), 100);
  ScriptWait(100);
  EXPECT_EQ((std::array{NextButton(50), NextButton(300)}), (std::array<uint8_t, 2>{1, kNoEvent}));
  EXPECT_EQ(gInput.heldKey, kKeyF1);
}

// A play button stays held while its key and modifier, or the mouse, stay down.
TEST_F(InputTest, ButtonStillHeldFollowsKeyModifierAndMouse) {
  SetButton(8, 1, "pPLAY");
  ScriptKeyDown(kKeyControl, 10);
  ScriptKeyDown(FunctionKey(9), 10);
  ScriptKeyUp(kKeyControl, 500);
  ScriptKeyUp(FunctionKey(9), 10);
  EXPECT_EQ(NextButton(), 21);
  EXPECT_TRUE(ButtonStillHeld());
  SleepMillis(600);
  EXPECT_FALSE(ButtonStillHeld());  // releasing the modifier ends the hold
  SleepMillis(100);
  ScriptLeftDown(690, 750, 10);
  ScriptLeftUp(690, 750, 300);
  EXPECT_EQ(NextButton(), 21);
  EXPECT_TRUE(ButtonStillHeld());
  SleepMillis(400);
  EXPECT_FALSE(ButtonStillHeld());
}

TEST_F(InputTest, KeypadLayoutsAndCellCorners) {
  // {layout, cell, character}: the last four are none, backspace, escape, return.
  const std::tuple<char, int, int> characters[] = {{'F', 10, 'A'}, {'F', 51, '~'}, {'F', 52, 0}, {'F', 53, 8},
      {'F', 54, 27}, {'F', 55, 13}, {'W', 50, '^'}, {'W', 51, 0}, {'N', 9, '9'}, {'N', 10, 0}};
  Keypad keypad;
  for (const auto& [layout, cell, character] : characters) {
    BuildKeypad(keypad, layout);  // each build starts from an empty pad
    EXPECT_EQ(keypad[static_cast<size_t>(cell)].character, character) << layout << " " << cell;
  }
  BuildKeypad(keypad, 'F');
  // The corners of a cell's area, one pixel outside it.
  const std::tuple<int, int, int> clicks[] = {{120 - 28, 291 - 20, '0'}, {900 + 26, 471 + 33, 13}, {120 - 29, 291, 0}};
  for (const auto& [x, y, character] : clicks) {
    ScriptClick(x, y);
    SleepMillis(100);
    EXPECT_EQ(ReadKeypad(keypad), character) << x << ", " << y;
  }
}

TEST_F(InputTest, ListNavigationFollowsArrowsAndClicks) {
  BrowserList list;  // page 1 of 2, rows 0..15 of 20 files, the last selected
  list.fileCount = 20;
  list.pageCount = 2;
  list.last = list.selected = 15;
  EXPECT_TRUE(StepList(list, PageEvent::HeldKey(kKeyRight)).IsButton(1, 0));  // the same as F2
  EXPECT_EQ(StepList(list, PageEvent::ClickAt(300, 141 + 32 * 3 + 5)).kind, EventKind::SelectionChanged);
  EXPECT_EQ(list.selected, 3);
  EXPECT_TRUE(StepList(list, PageEvent::ClickAt(30, 200)).None());  // left of the rows
  // Paging, its wrap and "SINGLE PAGE": the file operation pages.
}

TEST_F(InputTest, KeysPressedDuringTheFlashOrAPauseAreActedOnAfterwards) {
  LabelAllButtons();
  ScriptKeyDown(FunctionKey(3), 10);
  ScriptKeyUp(FunctionKey(3), 30);
  ScriptKeyDown(FunctionKey(4), 20);  // during F3's 100 ms flash, released in it
  ScriptKeyUp(FunctionKey(4), 20);
  ScriptKeyPressWith(kKeyControl, FunctionKey(5), 20);  // also in the flash
  for (const uint8_t code : {3, 4, 17}) EXPECT_EQ(NextButton(), code);
  ScriptKeyPress(FunctionKey(6), 20);
  SleepMillis(500);  // a timed pause of the page
  EXPECT_EQ(NextButton(), 6);
  EXPECT_EQ(NextButton(300), kNoEvent);
}

// A held arrow steps every 20 ms, with CTRL held every 150 ms.
TEST_F(InputTest, HeldArrowStepsFastAndSlowerWithAModifier) {
  struct Case { int key; bool control; int64_t holdMillis; int minSteps, maxSteps; };
  for (const Case& c : {Case{kKeyUp, false, 1000, 45, 52}, Case{kKeyDown, true, 1500, 9, 11}}) {
    if (c.control) ScriptKeyDown(kKeyControl, 10);
    ScriptKeyDown(c.key, 10);
    ScriptKeyUp(c.key, c.holdMillis);
    if (c.control) ScriptKeyUp(kKeyControl, 10);
    gInput.heldKey = kNoKey;
    PollUntilHeld(c.key);
    int steps = 0;
    RepeatWhileHeld([&] { return ++steps > 0; });
    EXPECT_TRUE(steps >= c.minSteps && steps <= c.maxSteps) << c.control << ": " << steps;
    SleepMillis(100);
  }
}
