#include "ui/info_panels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ui/draw.h"
#include "ui/input.h"
#include "ui/page_frame.h"

namespace {

constexpr double kSegmentPercentScale = 40.96;  // 4096 -> 100 %
constexpr double kLinearPercentScale = 1.27;
constexpr double kUnsignedPercentScale = 2.54;
constexpr int kSegmentValueChars = 7;
constexpr double kOffsetPixelsPerPercent = 9.2;
constexpr int kKiloByte = 1024;
constexpr int kMegaByte = 1048576;
constexpr int kNotesPerOctave = 12;
constexpr int kLowestOctave = -2;
constexpr float kFilledLevel = 0.00001f;

// Panel geometry.
constexpr int kPanelLeft = 42;
constexpr int kPanelTop = 410;
constexpr int kPanelRight = 481;
constexpr int kPanelBottom = 637;
constexpr int kPanelTitleBottom = 427;
constexpr int kPanelLabelX = 47;
constexpr int kPanelValueX = 476;
constexpr int kPanelFirstRow = 441;
constexpr int kPanelRowStep = 30;
constexpr int kSingleCycleKinds[] = {2, 3};

// Strip geometry.
constexpr int kStripLeft = 7;
constexpr int kStripTop = 82;
constexpr int kStripBottom = 95;
constexpr int kStripRight = 1019;
constexpr int kFirstCellRight = 156;
constexpr int kCellStep = 27;
constexpr int kCellWidth = 26;

std::string Formatted(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Formatted(const char* format, long value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

void ShowUndoCount(int used, int capacity) {
  char label[48];
  std::snprintf(label, sizeof label, "UNDO ENTRIES <OF %ld>:", static_cast<long>(capacity));
  DrawStatusValue(3, 2, label, "%.2d", static_cast<int32_t>(used), 2);
}

void ShowUndoCount512(int used) {
  DrawStatusValue(3, 2, "UNDO ENTRIES <OF 512>:", "%.3d", static_cast<int32_t>(used), 3);
}

double SegmentPercent(SegmentScale scale, int value) {
  switch (scale) {
    case SegmentScale::kLinearSigned:
      return value / kLinearPercentScale;
    case SegmentScale::kLinearUnsigned:
      return (value + kMaxCode) / kUnsignedPercentScale;
    case SegmentScale::kLogarithmic:
      break;
  }
  if (value == 0) return 0.0;
  const double magnitude = std::pow(10.0, std::abs(value) * kDecadesPerCode) / kSegmentPercentScale;
  return value < 0 ? -magnitude : magnitude;
}

std::string SegmentValueText(SegmentScale scale, int value) {
  return Formatted(scale == SegmentScale::kLinearUnsigned ? "%.3f" : "%+.3f", SegmentPercent(scale, value));
}

void ShowSegmentValue(SegmentScale scale, int value) {
  DrawStatusField(2, 1, "SEGMENT VALUE <%>:", SegmentValueText(scale, value), kSegmentValueChars);
}

void ShowCurrentSegment(int segment) {
  DrawStatusValue(2, 0, "CURRENT SEGMENT:", "%.2d", static_cast<int32_t>(segment), 2);
}

void ShowPartialValue(int partial, int code) {
  DrawStatusValue(2, 0, "CURRENT PARTIAL:", "%.2d", static_cast<int32_t>(partial), 2);
  DrawStatusField(2, 1, "PARTIAL VALUE <%>:", SegmentValueText(SegmentScale::kLogarithmic, code),
                  kSegmentValueChars + 1);
}

void ShowDestination(int slice, int content) {
  DrawStatusValue(2, 0, "DESTINATION SLICE <X>:", "%.2d", static_cast<int32_t>(slice), 2);
  DrawStatusValue(2, 1, "DESTINATION CONTENT <Y>:", "%.2d", static_cast<int32_t>(content), 2);
}

void ShowReadPosition(int position) {
  DrawStatusValue(2, 1, "READ POSITION:", "%d", static_cast<int32_t>(position), 3);
}

void ShowWritePosition(int position) {
  DrawStatusValue(3, 1, "WRITE POSITION:", "%d", static_cast<int32_t>(position), 3);
}

void ShowLoopStartOffset(int offsetPixels) {
  DrawStatusValue(1, 3, "LOOP START OFFSET <%>:", "%.3f", offsetPixels / kOffsetPixelsPerPercent, 6);
}

void ShowSliceCounts(int filled) {
  DrawStatusValue(0, 0, "EMPTY SLICES:", "%.2d", static_cast<int32_t>(kSliceCount - filled), 2);
  DrawStatusValue(0, 1, "FILLED SLICES:", "%.2d", static_cast<int32_t>(filled), 2);
}

void ShowCurrentSlice(int slice, bool filled) {
  DrawStatusValue(1, 0, "CURRENT SLICE:", "%.2d", static_cast<int32_t>(slice), 2);
  DrawStatusField(1, 1, "SLICE CONTENT:", filled ? "FILLED" : "EMPTY", 8);
}

void ShowNameReadout(int column, int row, std::string_view label, std::string_view name) {
  DrawStatusField(column, row, label, name.substr(0, kNameReadoutChars), kNameReadoutChars);
}

PanelRow FileSizeRow(uint64_t bytes) {
  if (bytes < kKiloByte) return {"FILE SIZE ON DISK <BYTES>:", Formatted("%ld", static_cast<long>(bytes))};
  if (bytes >= kMegaByte) {
    return {"FILE SIZE ON DISK <MBYTES>:", Formatted("%.2f", static_cast<double>(bytes) / kMegaByte)};
  }
  return {"FILE SIZE ON DISK <KBYTES>:", Formatted("%.2f", static_cast<double>(bytes) / kKiloByte)};
}

std::string NoteName(int note) {
  static constexpr const char* kNames[kNotesPerOctave] = {"C ", "C#", "D ", "D#", "E ", "F ",
                                                          "F#", "G ", "G#", "A ", "A#", "B "};
  note = std::clamp(note, 0, 127);
  char text[16];
  std::snprintf(text, sizeof text, "%s%2d", kNames[note % kNotesPerOctave], note / kNotesPerOctave + kLowestOctave);
  return text;
}

void FilePropertiesPanel(const FileFacts& facts, int kind, uint8_t code) {
  const WaveHeader& header = facts.header;
  if (code == kNoEvent) {
    SetPaper(PaletteColour(kFace));
    DrawFrame(kPanelLeft, kPanelTop, kPanelRight - 1, kPanelTitleBottom);
    FillBox(kPanelLeft, kPanelTop + 1, kPanelRight, kPanelTitleBottom);
    DrawText(kPanelLeft + 5, kPanelTop + 1, "FILE PROPERTIES", 'L');
    SetPaper(PaletteColour(kBackground));
  }
  HoldRepaint();
  FillBox(kPanelLabelX, kPanelTop + 33, kPanelValueX, kPanelBottom - 18);
  // A header without bits per sample (a damaged file) shows no sample count
  // rather than dividing by zero.
  const long samples = header.bitsPerSample == 0 ? 0 : static_cast<long>(uint64_t{header.dataSize} * 8 /
                                                                         header.bitsPerSample);
  const PanelRow rows[] = {
      {"AUDIO DATA SIZE <SAMPLES>:", Formatted("%ld", samples)},
      {"CHANNEL FORMAT:", header.channels == 1 ? "MONO" : "STEREO"},
      {"SAMPLE RATE <HZ>:", Formatted("%ld", static_cast<long>(header.sampleRate))},
      {"BITS PER SAMPLE:", Formatted(header.formatTag == kFormatPcm ? "%ld <PCM>" : "%ld <FLOAT>",
                                     static_cast<long>(header.bitsPerSample))},
      FileSizeRow(facts.fileBytes),
      {"ROOT KEY <NOTE>:", NoteName(facts.rootKey)},
      {"LOOP OFFSET CORRECTION <CENT>:", "+23.40"},
  };
  const bool singleCycle = std::find(std::begin(kSingleCycleKinds), std::end(kSingleCycleKinds), kind) !=
                           std::end(kSingleCycleKinds);
  const int count = singleCycle ? 7 : 6;
  for (int i = 0; i < count; ++i) {
    const int y = kPanelFirstRow + kPanelRowStep * i;
    DrawText(kPanelLabelX, y, rows[i].label, 'L');
    DrawText(kPanelValueX, y, rows[i].value, 'R');
  }
  FlushRegion(kPanelLabelX, kPanelTop, kPanelValueX, kPanelBottom);
}

std::array<float, kSliceCount> SliceLevels(const PartialTable& table) {
  std::array<float, kSliceCount> levels{};
  for (int s = 0; s < kSliceCount; ++s) levels[static_cast<size_t>(s)] = SliceIsFilled(table, s) ? 1.0f : 0.0f;
  return levels;
}

void TableContentStrip(std::span<const float, kSliceCount> levels, int currentSlice) {
  HoldRepaint();
  FillBox(kStripLeft, kStripTop, kStripRight, kStripBottom - 1);
  DrawText(kStripLeft, kStripTop - 2, "TABLE CONTENT:", 'L');
  int filled = 0;
  for (int s = 0; s < kSliceCount; ++s) {
    const int right = kFirstCellRight + kCellStep * s;
    const bool full = levels[static_cast<size_t>(s)] > kFilledLevel;
    const Colour colour = PaletteColour(s == currentSlice ? kBright : kText);
    filled += full;
    if (full) {
      SetPaper(colour);
      FillBox(right - kCellWidth, kStripTop, right, kStripBottom);
    } else {
      SetInk(colour);
      DrawFrame(right - kCellWidth, kStripTop, right - 1, kStripBottom - 1);
    }
  }
  RestoreNormalColours();
  FlushRegion(kStripLeft, kStripTop, kStripRight, kStripBottom);
  ShowSliceCounts(filled);
  if (currentSlice >= 0 && currentSlice < kSliceCount) {
    ShowCurrentSlice(currentSlice, levels[static_cast<size_t>(currentSlice)] > kFilledLevel);
  }
}

std::string ScreenPath(std::string_view path) {
  std::string shown(path);
  std::replace(shown.begin(), shown.end(), '(', '<');
  std::replace(shown.begin(), shown.end(), ')', '>');
  return shown;
}

std::string ShortenFromLeft(std::string_view text, size_t maxChars) {
  constexpr std::string_view kEllipsis = "...";
  if (text.size() <= maxChars) return std::string(text);
  if (maxChars <= kEllipsis.size()) return std::string(text.substr(text.size() - maxChars));
  return std::string(kEllipsis) + std::string(text.substr(text.size() - (maxChars - kEllipsis.size())));
}
