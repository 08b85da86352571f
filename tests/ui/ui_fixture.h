#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/app_globals.h"
#include "platform/headless/headless_platform.h"
#include "platform/window_link.h"
#include "support/temp_folder.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/page_frame.h"
#include "ui/progress.h"

// A page test: the headless display opened as the program opens it, colour
// mode applied, settings written into a temporary program folder.
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
    int x;
    int y;
    Colour colour;
  };
  static void ExpectPixels(std::initializer_list<PixelAt> pixels) {
    for (const PixelAt& p : pixels) EXPECT_EQ(CanvasPixel(p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
  }

  // Some drawn text contains `piece`.
  static bool Shown(std::string_view piece) { return !TextsContaining(piece).empty(); }
  static std::string LastText() { return Headless().texts.empty() ? "" : Headless().texts.back().text; }
  // The last text containing `piece` was drawn at (x, y).
  static void ExpectTextAt(std::string_view piece, int x, int y) {
    const auto texts = TextsContaining(piece);
    ASSERT_FALSE(texts.empty()) << piece;
    EXPECT_EQ(std::pair(texts.back().x, texts.back().y), std::pair(x, y)) << piece;
  }

  TempFolder folder;
};
