#include <gtest/gtest.h>

#include "files/library_paths.h"
#include "ui/confirm.h"
#include "ui/message_line.h"
#include "ui/slider.h"
#include "ui/ui_fixture.h"
#include "ui/value_entry.h"

using WidgetTest = UiTest;

// All capitals, none past the last number; the line is drawn at (2, 692) and the shown number cleared.
TEST_F(WidgetTest, MessageTextsAndTheMessageLine) {
  EXPECT_EQ(MessageText(kMessageCount), "");
  for (int number = 0; number < kMessageCount; ++number) {
    for (char c : MessageText(number)) EXPECT_FALSE(c >= 'a' && c <= 'z') << number;
  }
  EXPECT_EQ(ComposeMessage(28, " <300>"), "MESSAGE: VALUE OUT OF RANGE <300>");
  EXPECT_EQ(ComposeMessage(30, std::string(200, 'X')).size(), kMessageLineChars);
  uint8_t message = kMsgDone;
  ShowMessage(message, " <A.WAV>");
  EXPECT_EQ(message, 0);
  ASSERT_EQ(Headless().texts.size(), 1u);
  ExpectTextAt("MESSAGE: DONE <A.WAV>", 2, 692);
  ShowMessage(message);  // 0 only clears the line
  EXPECT_EQ(Headless().texts.size(), 1u);
  EXPECT_EQ(CanvasPixel(20, 700), Palette(kBackground));
}

TEST_F(WidgetTest, ProgressBarWidthsAndCalculationProgress) {
  ShowProgress("CALCULATION PROGRESS: ", 0, 100);
  EXPECT_EQ(ProgressWidth(), 0);
  // The checkerboard's 0 bits show the bar: one pixel wide at x 687.
  ExpectPixels({{687, 697, Palette(kDim)}, {688, 697, Palette(kBackground)}, {689, 697, Palette(kBackground)}});
  ASSERT_EQ(TextsContaining("CALCULATION").size(), 1u);
  EXPECT_EQ(TextsContaining("CALCULATION")[0].x, 686 - MeasureText("CALCULATION PROGRESS: ").width);
  ShowProgress("CALCULATION PROGRESS: ", 50, 100);
  EXPECT_EQ(ProgressWidth(), 166);
  // bar from 687 to 853
  ExpectPixels({{853, 696, Palette(kDim)}, {854, 697, Palette(kBackground)}, {851, 697, Palette(kDim)}});
  const size_t pushes = Headless().pushes.size();
  ShowProgress("CALCULATION PROGRESS: ", 50.1, 100);  // same width: nothing drawn
  EXPECT_EQ(Headless().pushes.size(), pushes);
  ShowProgress("CALCULATION PROGRESS: ", 500, 100);  // beyond the end stays inside the frame
  EXPECT_EQ(ProgressWidth(), 333);
  EXPECT_EQ(CanvasPixel(1021, 697), Palette(kBackground));
  ShowProgress(nullptr, 0, 0);
  EXPECT_EQ(ProgressWidth(), kNoProgressBar);
  EXPECT_EQ(CanvasPixel(700, 697), Palette(kBackground));

  // A calculation's progress finishes, or is cancelled on F12.
  uint8_t result = 0;
  EXPECT_FALSE(CalcProgress(0, 333, result));
  EXPECT_EQ(ButtonLabel(11, 0), "fCANCEL");
  EXPECT_TRUE(Shown("CALCULATING, PLEASE WAIT"));
  for (int64_t step = 1; step < 333; ++step) ASSERT_FALSE(CalcProgress(step, 333, result));
  EXPECT_TRUE(CalcProgress(333, 333, result));
  EXPECT_EQ(result, kMsgDone);
  EXPECT_EQ(ProgressWidth(), kNoProgressBar);
  EXPECT_TRUE(ButtonLabel(11, 0).empty());

  EXPECT_FALSE(CalcProgress(0, 100, result));
  ScriptKeyPress(FunctionKey(11));  // an empty button: ignored
  ScriptKeyPress(kKeyF12);
  int steps = 1;
  while (steps < 100 && !CalcProgress(steps++, 100, result)) SleepMillis(10);
  EXPECT_LT(steps, 100);
  EXPECT_EQ(result, kMsgAborted);
}

TEST_F(WidgetTest, ConfirmAnswersOnlyOnItsTwoButtons) {
  ScriptKeyPress(kKeyF1);
  ScriptClick(500, 400);
  ScriptKeyPress(FunctionKey(11));
  EXPECT_TRUE(Confirm("fYES", "fNO", kMsgDeleteFiles));
  EXPECT_TRUE(ButtonLabel(10, 0).empty());

  ScriptKeyPressWith(kKeyControl, FunctionKey(11));  // 23: empty
  ScriptKeyPress(kKeyF12);
  EXPECT_FALSE(Confirm("fYES", "fNO", kMsgReplaceFile));
  EXPECT_TRUE(Shown("MESSAGE: REPLACE FILE?"));

  ScriptClick(860, 720);  // clicking F11's face counts too
  EXPECT_TRUE(Confirm("fFILL", "fINSERT", kMsgFillOrInsert));
}

TEST_F(WidgetTest, ValueEntryChecksDigitsRangeAndEmptyTextAndTakesClicks) {
  int32_t value = 0;
  ScriptType("5");  // refused: the text is "0"
  ScriptKeyPress(kKeyBackspace);
  ScriptType("1x2");  // the letter is ignored
  ScriptType("99");   // the third digit fits, the fourth does not
  ScriptKeyPress(kKeyReturn);
  ScriptType("42");
  ScriptKeyPress(kKeyReturn);
  EXPECT_TRUE(ValueEntry(value, 3, 127, 0, 2, 0, "BLOFELD DEVICE ID:"));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(Shown("NUMERIC INPUT <BLOFELD DEVICE ID, RANGE: 0 - 127>"));
  EXPECT_TRUE(Shown("MESSAGE: VALUE OUT OF RANGE <129>"));
  EXPECT_FALSE(Shown("05"));  // the field showed "0", never "05"

  ScriptKeyPress(kKeyBackspace);
  ScriptKeyPress(kKeyBackspace);  // empty already: ignored
  ScriptKeyPress(kKeyReturn);
  ScriptKeyPress(kKeyEscape);
  value = 7;
  EXPECT_FALSE(ValueEntry(value, 3, 118, 80, 2, 1, "BLOFELD WAVETABLE SLOT:"));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(Shown("MESSAGE: EMPTY STRING OR VALUE"));

  ScriptClick(780, 471);           // backspace, cell 53
  ScriptClick(120 + 60 * 8, 291);  // "8"
  ScriptClick(900, 471);           // RETURN, cell 55
  EXPECT_TRUE(ValueEntry(value, 3, 127, 0, 2, 0, "BLOFELD DEVICE ID:"));
  EXPECT_EQ(value, 8);
}

TEST_F(WidgetTest, NameEntryAppendsTheExtensionAndRefusesExistingFiles) {
  WriteAllBytes(CategoryFilePath(gApp, 5, "TAKEN.SYX"), {1, 2, 3});
  std::string name;
  ScriptType("taken");
  ScriptKeyPress(kKeyReturn);
  ScriptType("new/../x");  // '/' and '.' are not on the keypad
  ScriptKeyPress(kKeyReturn);
  EXPECT_TRUE(NameEntry(name, 5, 'W') && name == "NEWX.SYX") << name;
  EXPECT_TRUE(Shown("MESSAGE: FILE ALREADY EXISTS <TAKEN.SYX>") && Shown("8 CHARACTERS MAX>"));

  ScriptKeyPress(kKeyEscape);
  name = "KEPT";
  EXPECT_TRUE(!NameEntry(name, 1, 'W') && name == "KEPT") << name;
}

// The page header is drawn once per page number; status fields, panels and list markers.
TEST_F(WidgetTest, PageHeaderStatusFieldsPanelsAndListMarkers) {
  gApp.programState = STATE_VORTA;
  DrawPageHeader("FILE OPERATIONS", "1.0.0", false);
  EXPECT_TRUE(Shown("*** FILE OPERATIONS ***"));
  ASSERT_FALSE(TextsContaining("VORTA").empty());
  EXPECT_EQ(TextsContaining("VORTA")[0].ink, Palette(kBackground));  // inverted tag
  EXPECT_EQ(CanvasPixel(864, 3), Palette(kText));
  const size_t texts = Headless().texts.size();
  DrawPageHeader("FILE OPERATIONS", "1.0.0", false);
  EXPECT_EQ(Headless().texts.size(), texts);
  DrawPageHeader("FILE OPERATIONS", "1.0.0", true);
  EXPECT_GT(Headless().texts.size(), texts);
  EXPECT_EQ(std::pair(gDraw.paper, gDraw.ink), std::pair(Palette(kBackground), Palette(kText)));

  DrawStatusValue(1, 2, "PLAYBACK VOLUME:", "%.0f", 64.0, 2);
  ExpectTextAt("64", 264 + 240 - 16, 61);
  // box from x + 240 - 9 x width
  ExpectPixels({{486, 61, Palette(kText)}, {485, 61, Palette(kBackground)}, {505, 76, Palette(kText)}});
  ClearStatusValue(1, 2);
  EXPECT_EQ(CanvasPixel(264 + 241, 76), Palette(kBackground));

  DrawPanel(100, 200, 400, 300, "FILE PROPERTIES");
  // frame in the ink; title bar; line under the title
  ExpectPixels({{100, 200, Palette(kText)}, {101, 201, Palette(kFace)}, {200, 217, Palette(kText)}});
  EXPECT_EQ(CanvasPixel(200, 250), Palette(kBackground));
  EXPECT_EQ(TextsContaining("FILE PROPERTIES")[0].x, 105);

  MarkListRow(2, 0);
  MarkListRow(0, 2);
  const auto markers = TextsContaining(">>>>>>");
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_EQ(markers[0].y, 147 + 54);
  // The marker of row 2 is gone.
  for (int x = 67; x < 115; ++x) EXPECT_NE(CanvasPixel(x, 147 + 54 + 8), Palette(kText)) << x;
}

TEST_F(WidgetTest, SlidersFollowDigitKeysAndClicks) {
  Slider slider{.resetValue = 0.5, .x0 = 100, .y0 = 400, .x1 = 302, .y1 = 420, .barX = 101, .scale = 200.0f,
                .barTop = 402, .barBottom = 418, .readoutColumn = 1, .readoutRow = 1, .number = 3, .label = "LEVEL:"};
  double value = 0.25;
  DrawSlider(value, slider);
  EXPECT_TRUE(Shown("25.00"));
  ExpectPixels({{150, 410, Palette(kDim)}, {151, 410, Palette(kFace)}});

  ScriptKeyDown(kKeyDigit0 + 3, 10);
  ScriptKeyDown(kKeyRight, 10);
  ScriptKeyUp(kKeyRight, 200);
  ScriptKeyUp(kKeyDigit0 + 3, 5);
  PollUntilHeld(kKeyRight);
  const PageEvent moved = StepSlider(value, PageEvent::HeldKey(kKeyRight), slider);
  EXPECT_EQ(std::pair(moved.kind, moved.slider), std::pair(EventKind::Slider, 3));
  EXPECT_NEAR(value, 0.25 + 10 / 200.0, 0.011);

  ScriptClick(201, 410);
  SleepMillis(100);
  StepSlider(value, PageEvent::ClickAt(201, 410), slider);
  EXPECT_NEAR(value, 0.5, 1e-9);

  value = 0.9;
  EXPECT_EQ(StepSlider(value, PageEvent::ClickAt(330, 410), slider).kind, EventKind::Slider);  // "RESET"
  EXPECT_EQ(value, 0.5);
  EXPECT_TRUE(StepSlider(value, PageEvent::ClickAt(330, 300), slider).None());
  slider.isSigned = true;
  DrawSlider(0.75, slider);
  EXPECT_TRUE(Shown("+50.00"));
}
