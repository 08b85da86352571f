#include "ui/info_panels.h"
#include "ui/ui_fixture.h"

using InfoPanelsTest = UiTest;

TEST_F(InfoPanelsTest, TextsFilePropertiesAndTableContentStrip) {
  using S = SegmentScale;
  const std::pair<std::pair<S, int>, const char*> values[] = {
      {{S::kLogarithmic, 127}, "+100.000"},  {{S::kLogarithmic, -127}, "-100.000"},
      {{S::kLogarithmic, 1}, "+0.026"},      {{S::kLogarithmic, 0}, "+0.000"},
      {{S::kLinearSigned, 127}, "+100.000"}, {{S::kLinearSigned, -127}, "-100.000"},
      {{S::kLinearUnsigned, 127}, "100.000"}, {{S::kLinearUnsigned, -127}, "0.000"},
  };
  for (const auto& [input, text] : values) EXPECT_EQ(SegmentValueText(input.first, input.second), text);

  const std::pair<uint64_t, PanelRow> sizes[] = {
      {1023, {"FILE SIZE ON DISK <BYTES>:", "1023"}}, {1024, {"FILE SIZE ON DISK <KBYTES>:", "1.00"}},
      {1048575, {"FILE SIZE ON DISK <KBYTES>:", "1024.00"}}, {1048576, {"FILE SIZE ON DISK <MBYTES>:", "1.00"}}};
  for (const auto& [bytes, row] : sizes)
    EXPECT_EQ(std::pair(FileSizeRow(bytes).label, FileSizeRow(bytes).value), std::pair(row.label, row.value)) << bytes;
  const std::pair<int, const char*> notes[] = {{0, "C -2"}, {60, "C  3"}, {61, "C# 3"}, {127, "G  8"}};
  for (const auto& [note, name] : notes) EXPECT_EQ(NoteName(note), name);

  EXPECT_EQ(ShortenFromLeft("/data/Sonic (Loom)/00 Samples", 40), "/data/Sonic (Loom)/00 Samples");
  EXPECT_EQ(ShortenFromLeft("/home/user/Sonic-Loom/data/01 Samples", 16), "...ta/01 Samples");
  EXPECT_EQ(ScreenPath("/home/Me/03 VORTA (WAV)"), "/home/Me/03 VORTA <WAV>");

  FileFacts facts{.header = {.formatTag = kFormatPcm, .channels = 2, .sampleRate = 44100, .bitsPerSample = 16,
                             .dataSize = 1000},
                  .fileBytes = 1044};
  for (int kind : {1, 2}) {
    Headless().texts.clear();
    FilePropertiesPanel(facts, kind, kNoEvent);
    for (const char* text : {"FILE PROPERTIES", "500", "STEREO", "16 <PCM>", "FILE SIZE ON DISK <KBYTES>:"})
      EXPECT_TRUE(Shown(text)) << text;
    EXPECT_EQ(Shown("LOOP OFFSET CORRECTION <CENT>:"), kind == 2);
  }
  facts.header.bitsPerSample = 0;  // a damaged header
  FilePropertiesPanel(facts, 1, 1);
  EXPECT_TRUE(Shown("0 <PCM>"));

  // The table content strip, without and with a current slice; values right-aligned in their status fields.
  const auto expectStatus = [](const char* value, int column, int row) {
    ExpectTextAt(value, kStatusColumnX[column] + kStatusValueRight - MeasureText(value).width, kStatusRowY[row]);
  };
  Headless().texts.clear();
  std::array<float, kSliceCount> levels{};
  levels[0] = 1.0f;
  levels[5] = 0.5f;
  levels[6] = 0.00001f;  // not above the threshold: empty
  TableContentStrip(levels);
  expectStatus("31", 0, 0);
  expectStatus("02", 0, 1);
  for (const auto& text : Headless().texts) EXPECT_NE(text.text, "FILLED");  // no current slice
  // inside the outline of slice 32
  ExpectPixels({{140, 90, Palette(kText)}, {1010, 90, Palette(kBackground)}, {994, 82, Palette(kText)}});
  TableContentStrip(levels, 5);
  EXPECT_EQ(CanvasPixel(140 + 5 * 27, 90), Palette(kBright));
  expectStatus("05", 1, 0);
  expectStatus("FILLED", 1, 1);
}
