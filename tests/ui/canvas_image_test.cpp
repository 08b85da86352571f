// Draws sample pages in every colour mode and saves them as PNG files, so a
// person can look at the result: set SONICLOOM_CANVAS_DIR to keep them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/confirm.h"
#include "ui/keypad.h"
#include "ui/message_line.h"
#include "ui/slider.h"
#include "ui/ui_fixture.h"

namespace {

std::string ImageFolder(const TempFolder& folder) {
  const char* keep = std::getenv("SONICLOOM_CANVAS_DIR");
  return keep && *keep ? std::string(keep) : folder.path;
}

void DrawSamplePage() {
  DrawScreenFrame();
  gApp.programState = STATE_VORTA;
  DrawPageHeader("SYSEX PARAMETER MODIFICATION <SYX>", "1.6.0", true);
  DrawStatusField(0, 0, "RAM:", "EMPTY", 21);
  DrawStatusValue(0, 3, "PLAYBACK VOLUME:", "%.0f", 64.0, 2);
  DrawStatusValue(2, 2, "SPEED <RAM WT PLAYBACK>:", "%.2d", int32_t{17}, 2);
  DrawWideStatusField(2, 0, "SOUND DEVICE:", "DUMMY OUTPUT");
  DrawPanel(42, 410, 481, 637, "FILE PROPERTIES");
  DrawText(47, 441, "AUDIO DATA SIZE <SAMPLES>:", 'L');
  DrawText(476, 441, "8448", 'R');
  DrawText(47, 471, "CHANNEL FORMAT:", 'L');
  DrawText(476, 471, "MONO", 'R');
  for (int row = 0; row < 4; ++row) DrawText(130, kListRowTop + 27 * row, "SETTINGS LINE", 'L');
  MarkListRow(1, 0);
  Slider slider;
  slider.x0 = 540;
  slider.y0 = 420;
  slider.x1 = 942;
  slider.y1 = 446;
  slider.barX = 541;
  slider.scale = 400.0f;
  slider.barTop = 424;
  slider.barBottom = 442;
  slider.readoutColumn = 1;
  slider.readoutRow = 3;
  slider.label = "LEVEL <%>:";
  DrawSlider(0.6, slider);
  DrawText(slider.x1 + 6, slider.y0 + 1, "RESET", 'L');
  SetInk(PaletteColour(kDim));
  SetPenStyle(1, 0);
  DrawLine(540, 520, 940, 520);
  SetPenStyle(0, 0);
  SetInk(PaletteColour(kText));
  DrawLine(540, 560, 940, 560);
  DrawDownArrow(600, 600);
  DrawVerticalText(980, 480, "LIMIT");
  SetButton(0, 0, "f-VOLUME");
  SetButton(1, 0, "f+VOLUME");
  SetButton(4, 0, "fLOAD<>");
  SetButton(8, 0, "RESIZE");
  SetButton(10, 0, "s UPDATE ");
  SetButton(11, 0, "FLUSH");
  SetButton(0, 1, "fSYSTEM<>");
  SetButton(9, 1, "pRAM_WT");
  SetButton(11, 1, "iMENU<>");
  ShowProgress(nullptr, 0, 0);
  uint8_t message = kMsgFileAlreadyExists;
  ShowMessage(message, " <NEWTABLE.SYX>");
  ShowProgress("CALCULATION PROGRESS: ", 40, 100);
}

class CanvasImageTest : public UiTest {};

}  // namespace

TEST_F(CanvasImageTest, SamplePagesInEveryColourMode) {
  const std::string folderPath = ImageFolder(folder);
  for (int mode = 0; mode < 4; ++mode) {
    gApp.settings.colourMode = static_cast<uint16_t>(mode);
    ApplyColourMode();
    DrawSamplePage();
    const std::string path = folderPath + "/page_mode" + std::to_string(mode) + ".png";
    ASSERT_TRUE(SaveCanvasImage(path));
    const std::vector<uint8_t> png = ReadAllBytes(path);
    ASSERT_GT(png.size(), 1024u * 768u * 3u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(png[12], 'I');  // IHDR first
  }
  gApp.settings.colourMode = 0;
  gApp.settings.backlight = 0;
  ApplyColourMode();
  DrawSamplePage();
  ASSERT_TRUE(SaveCanvasImage(folderPath + "/page_mode0_backlight_off.png"));

  gApp.settings.backlight = 1;
  gApp.settings.colourMode = 3;
  ApplyColourMode();
  DrawScreenFrame();
  Keypad keypad;
  BuildKeypad(keypad, 'W');
  DrawKeypadPanel(keypad, "DISK:", 0, 0);
  DrawStatusField(2, 0, "DISK:", "WAVE01", 21);
  DrawKeypadCell(keypad, 12, true);
  ASSERT_TRUE(SaveCanvasImage(folderPath + "/keypad_mode3.png"));
}
