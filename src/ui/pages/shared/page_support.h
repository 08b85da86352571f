#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "files/library_feedback.h"
#include "ui/page.h"

// Pieces every page loop shares.

// Column and row of a button position 1..24.
constexpr int ButtonColumn(uint8_t code) { return (code - 1) % 12; }
constexpr int ButtonRow(uint8_t code) { return (code - 1) / 12; }
constexpr uint8_t ButtonCode(int column, int row) { return static_cast<uint8_t>(column + 1 + 12 * row); }

// One row of an index box: a short name and what it stands for.
struct IndexRow {
  std::string_view name;
  std::string_view description;
};

inline constexpr int kIndexBoxLeft = 256;
inline constexpr int kIndexBoxRight = 766;
inline constexpr int kIndexNameX = 261;
inline constexpr int kIndexDescriptionX = 761;
inline constexpr int kIndexRowStep = 27;
inline constexpr int kMaxIndexRows = 12;

// The top of an index box of that many rows: centred on the main area.
constexpr int IndexBoxTop(int rows) { return 384 - 14 * rows; }

// The "FUNCTION INDEX" / "SCREEN INDEX" box: names left-aligned at x 261,
// descriptions right-aligned at x 761, rows 27 pixels apart.
void DrawIndexBox(std::string_view heading, std::span<const IndexRow> rows);

#include <string>

// A folder or file name as the screen shows it: upper case, "(" and ")" as
// "<" and ">".
std::string ScreenName(std::string_view name);
// The folder name of a category that way.
std::string ScreenFolderName(int category);

// A path as it is (its case is part of the name), shortened from the left
// with "..." to at most maxChars, so that the folder's own name stays.
std::string ShortenedPath(std::string_view path, size_t maxChars);

// The "SOUND DEVICE:" field (2, 0).
void ShowSoundDeviceField();

// Library work reports to the message line, refuses closing the window
// while it moves folders, and pauses by sleeping.
LibraryFeedback PageFeedback();

// "EXPLORE": the category folder in the file manager, the window
// minimised; when no file manager could be started the window stays and
// the run shows "ACCESS DENIED".
void ExploreCategoryFolder(PageRun& run, int category);
