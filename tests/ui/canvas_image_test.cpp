// Draws sample pages in every colour mode and saves them as PNG files, so a
// person can look at the result: set SONICLOOM_CANVAS_DIR to keep them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "ui/keypad.h"
#include "ui/message_line.h"
#include "ui/slider.h"
#include "ui/ui_fixture.h"

namespace {

void DrawSamplePage() {
  DrawScreenFrame();
  gApp.programState = STATE_VORTA;
  DrawPageHeader("SYSEX PARAMETER MODIFICATION <SYX>", "1.6.0", true);
  DrawStatusField(0, 0, "RAM:", "EMPTY", 21);
  DrawStatusValue(2, 2, "SPEED <RAM WT PLAYBACK>:", "%.2d", int32_t{17}, 2);
  DrawWideStatusField(2, 0, "SOUND DEVICE:", "DUMMY OUTPUT");
  DrawPanel(42, 410, 481, 637, "FILE PROPERTIES");
  DrawText(47, 441, "AUDIO DATA SIZE <SAMPLES>:", 'L');
  DrawText(476, 441, "8448", 'R');
  for (int row = 0; row < 4; ++row) DrawText(130, kListRowTop + 27 * row, "SETTINGS LINE", 'L');
  MarkListRow(1, 0);
  DrawSlider(0.6, Slider{.x0 = 540, .y0 = 420, .x1 = 942, .y1 = 446, .barX = 541, .scale = 400.0f, .barTop = 424,
                         .barBottom = 442, .readoutColumn = 1, .readoutRow = 3, .label = "LEVEL <%>:"});
  SetInk(PaletteColour(kDim));
  SetPenStyle(1, 0);
  DrawLine(540, 520, 940, 520);
  SetPenStyle(0, 0);
  SetInk(PaletteColour(kText));
  DrawDownArrow(600, 600);
  DrawVerticalText(980, 480, "LIMIT");
  for (const auto& [column, row, label] : {std::tuple(0, 0, "f-VOLUME"), std::tuple(4, 0, "fLOAD<>"),
                                           std::tuple(8, 0, "RESIZE"), std::tuple(10, 0, "s UPDATE "),
                                           std::tuple(9, 1, "pRAM_WT"), std::tuple(11, 1, "iMENU<>")})
    SetButton(column, row, label);
  uint8_t message = kMsgFileAlreadyExists;
  ShowMessage(message, " <NEWTABLE.SYX>");
  ShowProgress("CALCULATION PROGRESS: ", 40, 100);
}

void DrawKeypadPage() {
  DrawScreenFrame();
  Keypad keypad;
  BuildKeypad(keypad, 'W');
  DrawKeypadPanel(keypad, "DISK:", 0, 0);
  DrawKeypadCell(keypad, 12, true);
}

using CanvasImageTest = UiTest;

}  // namespace

TEST_F(CanvasImageTest, SamplePagesInEveryColourMode) {
  const char* keep = std::getenv("SONICLOOM_CANVAS_DIR");
  const std::string folderPath = keep && *keep ? std::string(keep) : folder.path;
  struct Picture {
    int mode;
    int backlight;
    void (*draw)();
    const char* name;
  };
  for (const Picture& p : {Picture{0, 1, DrawSamplePage, "page_mode0"}, Picture{1, 1, DrawSamplePage, "page_mode1"},
                           Picture{2, 1, DrawSamplePage, "page_mode2"}, Picture{3, 1, DrawSamplePage, "page_mode3"},
                           Picture{0, 0, DrawSamplePage, "page_mode0_backlight_off"},
                           Picture{3, 1, DrawKeypadPage, "keypad_mode3"}}) {
    gApp.settings.colourMode = static_cast<uint16_t>(p.mode);
    gApp.settings.backlight = static_cast<uint16_t>(p.backlight);
    ApplyColourMode();
    p.draw();
    const std::string path = folderPath + "/" + p.name + ".png";
    ASSERT_TRUE(SaveCanvasImage(path));
    // An uncompressed PNG of the whole canvas, its header chunk first.
    const std::vector<uint8_t> png = ReadAllBytes(path);
    ASSERT_GT(png.size(), 1024u * 768u * 3u) << p.name;
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
  }
}
