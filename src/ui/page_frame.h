#pragma once
#include <array>
#include <cstdint>
#include <string_view>

// The frame of every page: title line, a header of 4 x 4 status fields,
// the main area, the message line and the button bar.
inline constexpr std::array<int, 4> kStatusColumnX = {7, 264, 521, 778};
inline constexpr std::array<int, 4> kStatusRowY = {23, 42, 61, 80};
inline constexpr int kStatusBoxRight = 242;   // from the field's x
inline constexpr int kStatusValueRight = 240;
inline constexpr int kStatusCharWidth = 9;
inline constexpr int kMainAreaTop = 100;
inline constexpr int kMainAreaBottom = 690;
inline constexpr int kListRowTop = 147;
inline constexpr int kListRowStep = 27;

// New page: clears header, main area and buttons and draws the title
// "*** title ***", the module tag of the main state and the page number.
// Nothing happens when number and state are those last drawn, unless forced.
void DrawPageHeader(std::string_view title, std::string_view number, bool force);
// Makes the next DrawPageHeader draw whatever its number.
void ForgetPageHeader();

// The module tag of a main state ("MENU", "VORTA", ...; empty for others).
std::string_view ModuleTag(int state);

void DrawStatusField(int column, int row, std::string_view label, std::string_view value, int width);
// Format into 63 characters, then DrawStatusField.
void DrawStatusValue(int column, int row, std::string_view label, const char* format, double value, int width);
void DrawStatusValue(int column, int row, std::string_view label, const char* format, uint32_t value, int width);
void DrawStatusValue(int column, int row, std::string_view label, const char* format, int32_t value, int width);
void DrawStatusValue(int column, int row, std::string_view label, const char* format, int16_t value, int width);
void ClearStatusValue(int column, int row);
void DrawWideStatusField(int column, int row, std::string_view label, std::string_view value);
void ClearHeader();
void ClearMainArea();

// Titled frame with a cleared body.
void DrawPanel(int x0, int y0, int x1, int y1, std::string_view title);

// Moves the ">>>>>>" marker of a settings list from row oldRow to newRow.
void MarkListRow(int newRow, int oldRow);

// The empty screen between pages: the whole visible screen in the
// background colour and the product title at the top left.
void DrawScreenFrame();
