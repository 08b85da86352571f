#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/sound_file_records.h"
#include "wavetable/partial_table.h"

// Readouts in the header's status fields and the boxed info panels of the
// main area. Each draws in one batch and leaves paper Background, ink Text.

// --- Readouts.
// "UNDO ENTRIES <OF n>:" (3, 2) with the used entries of a ring of n.
void ShowUndoCount(int used, int capacity);
// The same for the 512-entry store, three digits.
void ShowUndoCount512(int used);

// How a segment value -127..127 is shown in percent.
enum class SegmentScale : int { kLogarithmic = 0, kLinearSigned = 1, kLinearUnsigned = 2 };
double SegmentPercent(SegmentScale scale, int value);
std::string SegmentValueText(SegmentScale scale, int value);
// "SEGMENT VALUE <%>:" (2, 1).
void ShowSegmentValue(SegmentScale scale, int value);
// "CURRENT SEGMENT:" (2, 0).
void ShowCurrentSegment(int segment);
// "CURRENT PARTIAL:" (2, 0) counted from 1 and "PARTIAL VALUE <%>:" (2, 1)
// of a table code on the logarithmic scale.
void ShowPartialValue(int partial, int code);
// The cursor of the 33 x 33 mapping editor: (2, 0) and (2, 1).
void ShowDestination(int slice, int content);
void ShowReadPosition(int position);   // (2, 1)
void ShowWritePosition(int position);  // (3, 1)
// "LOOP START OFFSET <%>:" (1, 3): 920 pixels of the offset bar are 100 %.
void ShowLoopStartOffset(int offsetPixels);
// "EMPTY SLICES:" (0, 0) and "FILLED SLICES:" (0, 1).
void ShowSliceCounts(int filled);
// "CURRENT SLICE:" (1, 0) and "SLICE CONTENT:" (1, 1).
void ShowCurrentSlice(int slice, bool filled);
// A name readout of 21 characters: "DISK:", "RAM:", "RAM A:", "RAM B:".
inline constexpr int kNameReadoutChars = 21;
void ShowNameReadout(int column, int row, std::string_view label, std::string_view name);

// --- File properties.
struct FileFacts {
  WaveHeader header;
  uint64_t fileBytes = 0;
  int rootKey = 60;  // MIDI note
};

struct PanelRow {
  std::string label;
  std::string value;
};

// "FILE SIZE ON DISK <BYTES>:" below 1 KB, "<KBYTES>" below 1 MB, else "<MBYTES>".
PanelRow FileSizeRow(uint64_t bytes);
// "C -2" for note 0, "C  3" for 60, "G  8" for 127.
std::string NoteName(int note);

// The panel (42, 410) to (481, 637). The title bar is drawn on the first
// drawing of a page (code kNoEvent); kinds 2 and 3 (single cycles) add the
// loop offset correction row.
void FilePropertiesPanel(const FileFacts& facts, int kind, uint8_t code);

// --- Table content strip (7, 80) to (1019, 95): one cell per slice, filled
// when the slice's level exceeds 0.00001, then the slice counts. With a
// current slice (0..32) that cell is drawn in Bright and the current slice
// readouts follow.
inline constexpr int kNoCurrentSlice = -1;
void TableContentStrip(std::span<const float, kSliceCount> levels, int currentSlice = kNoCurrentSlice);
// The levels of a VORTA table: 1 for a slice with any code, else 0.
std::array<float, kSliceCount> SliceLevels(const PartialTable& table);

// --- Paths on screen: in their real case (the case is part of a name),
// "(" and ")" shown as "<" and ">", and a path longer than maxChars cut at
// the left behind "..." so that the folder name stays readable.
std::string ScreenPath(std::string_view path);
std::string ShortenFromLeft(std::string_view text, size_t maxChars);
