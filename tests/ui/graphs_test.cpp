#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <tuple>
#include <vector>

#include "ui/graph_markers.h"
#include "ui/level_map.h"
#include "ui/module_graphs.h"
#include "ui/segment_graph.h"
#include "ui/table_graphs.h"
#include "ui/ui_fixture.h"
#include "ui/wave_by_hand.h"
#include "ui/wave_graph.h"
#include "wavetable/vorta_synthesis.h"

namespace {

std::vector<float> Sine(int count, int cycles, float peak = 0.9f) {
  std::vector<float> wave(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) wave[static_cast<size_t>(i)] = peak * std::sin(2 * std::numbers::pi * cycles * i / count);
  return wave;
}

class GraphsTest : public UiTest {
 protected:
  // Anything but the background outside the box (x0, y0)-(x1, y1), right and bottom edges excluded, in the main area.
  int PixelsOutside(int x0, int y0, int x1, int y1) const {
    int count = 0;
    for (int y = kMainAreaTop; y < kMainAreaBottom; ++y) {
      for (int x = 0; x < 1024; ++x)
        count += (x < x0 || x >= x1 || y < y0 || y >= y1) && CanvasPixel(x, y) != Palette(kBackground);
    }
    return count;
  }
  static bool RowHas(int y, int x0, int x1, Colour colour) {
    bool found = false;
    for (int x = x0; x < x1; ++x) found = found || CanvasPixel(x, y) == colour;
    return found;
  }
};

// Silent graphs say EMPTY, cut to the width; a loud one says nothing.
TEST_F(GraphsTest, SilentAndShortGraphsShowEmpty) {
  const int emptyWidth = MeasureText("EMPTYW").width;
  // {width, samples, stereo, mark}
  for (const auto& [width, samples, stereo, mark] :
       {std::tuple(200, 1000, false, "EMPTY"), std::tuple(emptyWidth, 1000, false, "EMPTY"),
        std::tuple(emptyWidth - 1, 1000, false, "E"), std::tuple(300, 4096, true, "EMPTY")}) {
    Headless().texts.clear();
    const std::vector<float> silent(static_cast<size_t>(samples), stereo ? 0.5f : 0.00001f);
    if (stereo) DrawStereoWaveGraph(silent, silent, 100, 300, width, 40);
    else DrawWaveGraph(silent, 100, 300, width, 40);
    ASSERT_EQ(Headless().texts.size(), 1u) << width;
    EXPECT_EQ(std::pair(LastText(), Headless().texts.back().y), std::pair(std::string(mark), 293));
  }
  const std::vector<float> loud = Sine(4097, 3);
  Headless().texts.clear();
  DrawStereoWaveGraph(loud, loud, 100, 300, 300, 40);
  EXPECT_TRUE(Headless().texts.empty());
}

// More, fewer and as many samples as columns: one push, the peaks reach the top and bottom of the curve and no further.
TEST_F(GraphsTest, CurvesStayInTheirBoxAndOneBatch) {
  for (const int samples : {5000, 40, 300}) {
    SCOPED_TRACE(samples);
    ClearMainArea();
    Headless().pushes.clear();
    DrawWaveGraph(Sine(samples, 2, 1.0f), 100, 300, 300, 50);
    EXPECT_EQ(Headless().pushes.size(), 1u);
    EXPECT_EQ(PixelsOutside(100, 249, 400, 351), 0);
    EXPECT_TRUE(RowHas(250, 100, 400, Palette(kDim)) && RowHas(350, 100, 400, Palette(kDim)));
    EXPECT_EQ(CanvasPixel(399, 300), Palette(kText));
  }
}

TEST_F(GraphsTest, HandDrawnColumnsAreReadBackAndRepaired) {
  // The pad as a stroke leaves it: columns filled, the line in the background colour but at x 300.
  SetPaper(Palette(kText));
  FillBox(255, 470, 513, 668);
  RestoreNormalColours();
  SetInk(Palette(kBackground));
  DrawLine(255, 516, 299, 516);
  DrawLine(301, 516, 512, 516);
  RestoreNormalColours();
  HandWave wave{};
  ReadHandColumns(wave, 255, 512);
  EXPECT_NEAR(wave[44], 0.5f, 1e-6);
  EXPECT_NEAR(wave[45], (562.0 - 667.0) / 92.0, 1e-6);
  CompleteHandWave(wave);
  EXPECT_NEAR(wave[45], 0.5f, 1e-6);
  EXPECT_NEAR(wave[511 - 44], -0.5f, 1e-6);

  // A whole stroke through the page's own drawing.
  HandWave drawn{};
  PageEvent event;
  bool changed = false;
  const std::vector<PointerPoint> stroke = {{255, 608}, {300, 600}, {400, 608}, {512, 608}, {600, 300}};
  DrawWaveByHand(drawn, stroke, event, changed);
  EXPECT_EQ(std::pair(event.kind, changed), std::pair(EventKind::SelectionChanged, true));
  EXPECT_EQ(TextsContaining("AWAITING DATA").size(), 1u);
  EXPECT_NEAR(drawn[200], -0.5f, 1e-6);
  EXPECT_NEAR(drawn[511 - 199], 0.5f, 1e-6);
}

TEST_F(GraphsTest, LevelColoursAndLevelMapCellsAndGaps) {
  // {mode, silent with the backlight off, silent with it on, full}: the LCD mode has no backlight.
  for (const auto& [mode, off, on, full] :
       {std::tuple(0, Rgb(0, 0, 0), Rgb(0, 25, 0), Rgb(0, 255, 0)),
        std::tuple(1, Rgb(0, 0, 0), Rgb(25, 25, 0), Rgb(255, 255, 0)),
        std::tuple(2, Rgb(0, 0, 0), Rgb(25, 25, 25), Rgb(255, 255, 255)),
        std::tuple(3, Rgb(0, 0, 128), Rgb(0, 0, 128), Rgb(255, 255, 255))}) {
    for (const bool backlight : {false, true}) {
      EXPECT_EQ(std::tuple(LevelColourFor(0, mode, backlight), LevelColourFor(127, mode, backlight),
                           LevelColourFor(-127, mode, backlight)),
                std::tuple(backlight ? on : off, full, full))
          << mode << backlight;
    }
  }
  ClearMainArea();
  XformBandProfile profile{};
  profile[1 * kXformBandCount + 2] = 127;  // slice 1, band 2
  DrawLevelMap(profile, LevelMapLayout::kColumns, 100, 600, 4, 3);
  // the gap between columns
  ExpectPixels({{104, 594, LevelColour(127)}, {107, 594, Palette(kBackground)}, {100, 602, LevelColour(0)}});
  EXPECT_EQ(PixelsOutside(100, 219, 232, 603), 0);
  ClearMainArea();
  PartialTable table;
  table.at(2, 1) = -127;  // partial 3 of slice 1
  DrawLevelMap(table, LevelMapLayout::kRows, 100, 200, 4, 3);
  ExpectPixels({{108, 203, LevelColour(-127)}, {108, 205, Palette(kBackground)}});  // a cell, the gap between rows
  EXPECT_EQ(PixelsOutside(100, 200, 356, 299), 0);
}

TEST_F(GraphsTest, SegmentEditorSteps) {
  using K = SegmentInput::Kind;
  constexpr int kCentre = 400;
  struct Case {
    const char* name;
    int current, value;  // the current segment and its value before
    std::vector<SegmentInput> steps;
    int currentAfter;
    std::vector<std::pair<int, int>> values;  // segment, value after
    bool changed;
  };
  const Case cases[] = {
      {"wrap left", 0, 0, {{K::kLeft}}, 32, {}, false},
      {"wrap right", 32, 0, {{K::kRight}, {K::kRight}}, 1, {}, false},
      {"clamp at maximum", 4, 100, {{K::kUp}}, 4, {{4, 100}}, false},
      {"clamp at minimum", 4, -100, {{K::kDown}}, 4, {{4, -100}}, false},
      {"up", 4, 5, {{K::kUp}}, 4, {{4, 6}}, true},
      {"up and down again", 4, 5, {{K::kUp}, {K::kDown}}, 4, {{4, 5}}, false},
      {"drag across segments", 0, 0,
       {{K::kPress, SegmentX(2), kCentre - 50}, {K::kDrag, SegmentX(5), kCentre + 20}, {K::kDrag, 2000, kCentre - 500}},
       32, {{2, 50}, {5, -20}, {32, 100}}, true},
      {"marker drag moves only the segment", 0, 0,
       {{K::kPress, SegmentX(3), kCentre + 140}, {K::kDrag, SegmentX(6), kCentre}}, 6, {{3, 0}, {6, 0}}, false},
      {"press beside the graph", 0, 0, {{K::kPress, 50, kCentre}, {K::kDrag, SegmentX(6), kCentre}}, 0, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int16_t> rows(3 * kSegmentCount, 0);
    SegmentEditor editor{rows, 1, kCentre, 100, -100, c.current};
    rows[static_cast<size_t>(kSegmentCount + c.current)] = static_cast<int16_t>(c.value);
    PageEvent event;
    bool changed = !c.changed;
    EditSegments(editor, c.steps, event, changed);
    EXPECT_EQ(std::tuple(editor.current, changed, event.kind),
              std::tuple(c.currentAfter, c.changed, c.changed ? EventKind::SelectionChanged : EventKind::None));
    for (auto [segment, value] : c.values) EXPECT_EQ(rows[static_cast<size_t>(kSegmentCount + segment)], value);
    EXPECT_TRUE(std::all_of(rows.begin(), rows.begin() + kSegmentCount, [](int16_t v) { return v == 0; }));
  }
  // An event already pending: nothing is edited, changed tells it was.
  std::vector<int16_t> rows(kSegmentCount, 0);
  SegmentEditor editor{rows, 0, kCentre, 100, -100, 0};
  PageEvent event = PageEvent::Press(5);
  bool changed = false;
  EditSegments(editor, std::vector<SegmentInput>{{K::kUp}}, event, changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(rows[0], 0);
}

// One picture per graph family to look at (build folder), none of them drawing outside its box.
TEST_F(GraphsTest, EveryFamilyStaysInsideItsBox) {
  PartialTable table;
  for (int s = 0; s < kSliceCount; ++s) {
    for (int p = 0; p < kPartialCount; ++p) table.at(p, s) = static_cast<int16_t>((p * 7 + s * 3) % 255 - 127);
  }
  const std::vector<float> waves = RenderViewerWaves(table);
  std::vector<int16_t> rows(4 * kSegmentCount);
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int16_t>(std::lround(100 * std::sin(i * 0.3)));
  XformBandProfile profile{};
  for (size_t i = 0; i < profile.size(); ++i) profile[i] = static_cast<uint8_t>((i * 37) % 128);
  // The box is the main area unless narrower.
  struct Family { const char* name; std::function<void()> draw; int x0 = 0, y0 = 100, x1 = 1024, y1 = 690; };
  const Family families[] = {
      {"waves",
       [&] {
         DrawWaveGraph(Sine(20000, 5), 20, 200, 600, 60);
         DrawStereoWaveGraph(Sine(8000, 7), Sine(8000, 3, 0.4f), 20, 360, 600, 60);
         DrawWaveRow(waves, 20, 520, 30, 26, 40, 256, 1024);
         DrawWaveGraph(std::vector<float>(100), 700, 200, 40, 30);
         DrawAnalysisRange(20, 200, 600, 60, 100, 450);
       }},
      {"slice_bars", [&] { DrawSliceBars(table, 12); }, 462, 224, 923, 646},
      {"markers", [] { DrawLimitBracket(1, kNarrowGraphBracket); DrawLimitBracket(0, kHighGraphBracket); }},
      {"loop_offset", [] { DrawLoopOffsetBar(460); }},
      {"table_waves_a", [&] { DrawTableWaves(waves, 1, kWaveViewGain, WaveView::kOblique); }},
      {"table_waves_b", [&] { DrawTableWaves(waves, 4, kWaveViewGain, WaveView::kFlat); }},
      {"spectra", [&] { DrawPartialWaterfall(table, kPartialViewGain, PartialView::kSpectra); }},
      {"profiles", [&] { DrawPartialWaterfall(table, kPartialViewGain, PartialView::kMagnitudeProfiles); }},
      {"segments",
       [&] {
         DrawScaleLabels(400, kCrossScaleMarks);
         DrawWholeSegmentGraph(rows, 1, 400, 1, 4, kCrossScaleMarks);
         DrawSegmentMarkers(7, 400);
       },
       0, 254, 928, 547},
      {"level_maps",
       [&] {
         DrawLevelMap(profile, LevelMapLayout::kColumns, 20, 640, 4, 4);
         DrawLevelMap(table, LevelMapLayout::kRows, 200, 110, 6, 4);
         DrawSymmetryGraph(GenerateHarmonics(1.0, 1.0, 0, 1), 200, 320, 792, 40);
       }},
  };
  for (const Family& family : families) {
    ClearMainArea();
    family.draw();
    EXPECT_TRUE(SaveCanvasImage(std::string("graph_") + family.name + ".png"));
    EXPECT_EQ(PixelsOutside(family.x0, family.y0, family.x1, family.y1), 0) << family.name;
    EXPECT_EQ(std::pair(gDraw.paper, gDraw.ink), std::pair(Palette(kBackground), Palette(kText))) << family.name;
  }
}

}  // namespace
