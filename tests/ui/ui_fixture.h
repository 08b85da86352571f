#pragma once
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/app_globals.h"
#include "platform/clock.h"
#include "platform/headless/headless_platform.h"
#include "platform/window_link.h"
#include "support/temp_folder.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/page_frame.h"
#include "ui/progress.h"

// The headless display opened as the program opens it, settings in a temporary program folder.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHeadless();
    gApp = AppGlobals{};
    gApp.installDir = folder.path;
    gApp.exeName = "Sonic-Loom";
    BuildIdentityStrings(gApp);
    gApp.programState = STATE_MAIN_MENU;
    Prepare();
    OpenDisplay();
  }

  void TearDown() override {
    StopDisplay();
    ResetHeadless();
  }

  // Settings to change before the display opens.
  virtual void Prepare() {}

  void OpenDisplay() {
    StartDisplay();
    ApplyColourMode();
    gInput = InputState{};
    ShowProgress(nullptr, 0, 0);
    ClearButtons();
    ForgetPageHeader();
    Headless().pushes.clear();
    Headless().texts.clear();
  }

  Colour Palette(PaletteSlot slot) const { return PaletteColour(slot); }

  // The colours the canvas must hold: {x, y, colour} each.
  struct PixelAt {
    int x, y;
    Colour colour;
  };
  static void ExpectPixels(std::initializer_list<PixelAt> pixels) {
    for (const PixelAt& p : pixels) EXPECT_EQ(CanvasPixel(p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
  }

  static bool Shown(std::string_view piece) { return !TextsContaining(piece).empty(); }
  static std::string LastText() { return Headless().texts.empty() ? "" : Headless().texts.back().text; }
  // The last text containing `piece` was drawn at (x, y).
  static void ExpectTextAt(std::string_view piece, int x, int y) {
    const auto texts = TextsContaining(piece);
    ASSERT_FALSE(texts.empty()) << piece;
    EXPECT_EQ(std::pair(texts.back().x, texts.back().y), std::pair(x, y)) << piece;
  }

  // Push i of the backend as {x0, y0, x1, y1}.
  static std::array<int, 4> PushAt(size_t i) {
    const PixelRect& push = Headless().pushes.at(i);
    return {push.x0, push.y0, push.x1, push.y1};
  }
  static void LabelAllButtons() {
    for (int button = 0; button < 24; ++button) SetButton(button % 12, button / 12, "fKEY");
  }
  // The page loop (poll, translate, idle) until a button is reported: its code, or kNoEvent when the wait ends.
  static uint8_t NextButton(int64_t waitMillis = 1000) {
    const int64_t until = NowMillis() + waitMillis;
    while (NowMillis() < until) {
      uint8_t code = kNoEvent;
      if (PollInput(true, false)) return TranslateButton(code);
      IdleTick();
    }
    return kNoEvent;
  }
  // The standard loop for the given time: the number of buttons reported.
  static int LoopFor(int64_t millis) {
    int buttons = 0;
    for (const int64_t until = NowMillis() + millis; NowMillis() < until;)
      buttons += NextButton(until - NowMillis()) != kNoEvent;
    return buttons;
  }
  static void PollUntilHeld(int key) {
    for (; gInput.heldKey != key; IdleTick()) PollInput(true, false);
  }

  TempFolder folder;
};
