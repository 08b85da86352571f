#include "ui/draw.h"

#include <gtest/gtest.h>

#include <tuple>

#include "ui/console_font.h"
#include "ui/ui_fixture.h"

using DrawTest = UiTest;

TEST_F(DrawTest, TextIsAlignedOpaqueAndPushedWithAMargin) {
  // Any code but "M" and "R" is "L".
  for (const auto& [code, x] : {std::pair('M', 462), std::pair('R', 411), std::pair('L', 512), std::pair('x', 512)})
    EXPECT_EQ(AlignedLeft(512, 101, code), x) << code;
  DrawText(512, 200, "MIDDLE", 'M');
  ASSERT_EQ(Headless().texts.size(), 1u);
  const auto& text = Headless().texts[0];
  EXPECT_EQ(std::tuple(text.x, text.ink, text.paper),
            std::tuple(512 - MeasureText("MIDDLE").width / 2, Palette(kText), Palette(kBackground)));
  // Capitals and digits fit the 9 x 16 cells the layouts assume.
  EXPECT_EQ(std::pair(MeasureText("W").width, MeasureText("W").height), std::pair(8, 16));
  EXPECT_EQ(MeasureText("1.0.0").width, 32);  // points take half a cell

  Headless().pushes.clear();
  SetInk(Palette(kBright));
  SetPaper(Palette(kFace));
  DrawText(100, 100, "I", 'L');
  int ink = 0, paper = 0;
  for (int i = 0; i < 8 * 16; ++i) {  // the 8 x 16 cell
    const Colour pixel = CanvasPixel(100 + i % 8, 100 + i / 8);
    ink += pixel == Palette(kBright);
    paper += pixel == Palette(kFace);
  }
  EXPECT_GT(ink, 10);
  EXPECT_EQ(ink + paper, 8 * 16);
  EXPECT_EQ(CanvasPixel(108, 100), kBlack);  // nothing beyond the cell (the canvas starts black)
  ASSERT_EQ(Headless().pushes.size(), 1u);
  EXPECT_EQ(PushAt(0), (std::array{98, 98, 110, 118}));
}

// A repaint hold pushes once, when the outermost batch closes.
TEST_F(DrawTest, BatchesBoxesAndPatterns) {
  HoldRepaint();
  HoldRepaint();
  FillBox(10, 10, 20, 20);
  DrawText(10, 30, "A", 'L');
  EXPECT_TRUE(Headless().pushes.empty());
  FlushRegion(0, 0, 50, 50);
  EXPECT_TRUE(Headless().pushes.empty());
  FlushRegion(0, 0, 50, 50);
  ASSERT_EQ(Headless().pushes.size(), 1u);
  EXPECT_EQ(PushAt(0), (std::array{0, 0, 52, 52}));  // clipped to the buffer
  FlushRegion(5, 5, 6, 6);  // counter already 0: at once
  EXPECT_EQ(Headless().pushes.size(), 2u);
  EXPECT_EQ(Link().repaintHold, 0);

  // A filled box excludes its right and bottom edges; inverted corners are swapped only for the push.
  SetPaper(Palette(kFace));
  FillBox(60, 10, 63, 12);
  ExpectPixels({{60, 10, Palette(kFace)}, {62, 11, Palette(kFace)}, {63, 11, kBlack}, {62, 12, kBlack}});
  Headless().pushes.clear();
  FillBox(40, 40, 30, 30);  // inverted: nothing filled, corners swapped for the push
  EXPECT_EQ(CanvasPixel(35, 35), kBlack);
  ASSERT_EQ(Headless().pushes.size(), 1u);
  EXPECT_EQ(PushAt(0), (std::array{28, 28, 42, 42}));

  // Pattern fills take the pattern colour for the zero bits: row 0 of pattern 0 is F8, row 4 is 8F; pattern 1 is
  // 33, CC, and only the lowest bit of the number counts.
  const Colour bg = Palette(kBackground), dim = Palette(kDim);
  SetPaper(bg);
  SetPattern(0, dim);
  FillBox(0, 0, 8, 8);
  SetPattern(3, dim);
  FillBox(16, 0, 24, 2);
  ExpectPixels({{0, 0, bg}, {4, 0, bg}, {5, 0, dim}, {7, 0, dim}, {0, 4, bg}, {1, 4, dim}, {4, 4, bg},
                {16, 0, dim}, {18, 0, bg}, {16, 1, bg}, {18, 1, dim}});
}

// Pen styles (end pixel only when solid; 1 dots 1 of 3; 3 is taken modulo 3), frames, paths, arrows, wide pens.
TEST_F(DrawTest, PensFramesPathsArrowsAndVerticalText) {
  const Colour bright = Palette(kBright), text = Palette(kText);
  SetInk(bright);
  for (int style = 0; style < 4; ++style) {
    SetPenStyle(style, 0);
    DrawLine(10, 50 + 10 * style, 20, 50 + 10 * style);
  }
  ExpectPixels({{10, 50, bright}, {20, 50, bright}, {20, 60, kBlack}, {10, 60, bright}, {11, 60, kBlack},
                {12, 60, kBlack}, {13, 60, bright}, {14, 70, bright}, {13, 70, kBlack}, {15, 80, bright},
                {20, 80, bright}});
  SetInk(text);
  SetPenStyle(0, 0);
  DrawFrame(100, 100, 110, 105);
  PenMoveTo(200, 200);
  PenLineTo(210, 200);
  PenLineTo(210, 210);
  DrawDownArrow(300, 300);
  SetPenStyle(0, 3);
  DrawLine(400, 400, 410, 400);
  ExpectPixels({{100, 100, text}, {110, 105, text}, {105, 105, text}, {105, 102, kBlack},  // the frame
                {205, 200, text}, {210, 205, text}, {210, 210, text},                      // the path
                {300, 300, text}, {300, 288, text}, {296, 296, text}, {304, 296, text},    // the arrow
                {405, 399, text}, {405, 401, text}, {405, 402, kBlack}});                  // the wide pen
  DrawVerticalText(500, 100, "AB");
  EXPECT_EQ(Headless().texts.back().y, 114);
}

// Backlight off blackens the phosphor modes' background (LCD has none); each change reloads table and icon.
TEST_F(DrawTest, BacklightOffBlackensTheBackgroundOfThePhosphorModesAndIconsFollow) {
  Headless().iconChanges = 0;
  // {mode, backlight, background, text}
  for (const auto& [mode, backlight, background, text] :
       {std::tuple(0, 1, Rgb(0, 25, 0), Rgb(0, 192, 0)), std::tuple(0, 0, kBlack, Rgb(0, 192, 0)),
        std::tuple(1, 0, kBlack, Rgb(187, 207, 0)), std::tuple(2, 1, Rgb(25, 25, 25), Rgb(192, 192, 192)),
        std::tuple(3, 0, Rgb(0, 0, 128), Rgb(192, 192, 192))}) {
    gApp.settings.colourMode = static_cast<uint16_t>(mode);
    gApp.settings.backlight = static_cast<uint16_t>(backlight);
    ApplyColourMode();
    EXPECT_EQ(std::tuple(Palette(kBackground), gDraw.paper, gDraw.ink), std::tuple(background, background, text))
        << mode << backlight;
  }
  EXPECT_EQ(Headless().iconChanges, 5);
  ASSERT_EQ(Headless().icon.size, 32);
  EXPECT_EQ(Headless().icon.pixels[16 * 32 + 2], 0xFF000000u | Rgb(0, 0, 110));  // LCD face colour
  gApp.programState = STATE_FIRST_START;  // the first window got its icon at creation
  ApplyColourMode();
  EXPECT_EQ(Headless().iconChanges, 5);
}

class SmallScreenDrawTest : public UiTest {
 protected:
  void Prepare() override { Headless().screen = {true, 800, 600}; }
};

TEST_F(SmallScreenDrawTest, EverythingClipsToTheVisibleMiddle) {
  EXPECT_EQ(std::tuple(Link().frame.left, Link().frame.top, gApp.settings.fullScreen), std::tuple(112, 84, 1))
      << "full screen is forced on a low screen";
  SetPaper(Palette(kFace));
  FillBox(0, 0, 1024, 768);
  DrawText(0, 0, "CLIPPED", 'L');
  DrawLine(0, 400, 1023, 400);
  EXPECT_EQ(std::tuple(ReadPixel(0, 0), ReadPixel(112, 84), ReadPixel(911, 683), ReadPixel(912, 683)),
            std::tuple(kInvalidColour, Palette(kFace), Palette(kFace), kInvalidColour));
  // Logical (0, 0) is device (-112, -84): the first device pixel is logical (112, 84).
  EXPECT_EQ(Link().frame.pixels[0], Palette(kFace));
  for (const PixelRect& push : Headless().pushes)
    EXPECT_TRUE(push.x0 >= 0 && push.x1 <= 800 && push.y0 >= 0 && push.y1 <= 600) << push.x0 << ", " << push.y0;
}
