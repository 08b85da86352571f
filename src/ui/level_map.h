#pragma once
#include <span>

#include "platform/frame_buffer.h"
#include "wavetable/partial_table.h"
#include "wavetable/payload.h"

// Colour-coded level maps: one filled cell per value, in the colour of its
// level on the logarithmic scale of the segment values.

// The colour of a level -127..127 in a colour mode; with the backlight on
// (modes 00 to 02) the darkest level stays visible against the lit ground.
Colour LevelColourFor(int level, int colourMode, bool backlight);
// The same in the current mode and backlight.
Colour LevelColour(int level);

// Columns: one column per slice, cells rising from y, a 1-pixel gap between
// columns. Rows: one row per slice from y downwards, cells from x to the
// right, a 1-pixel gap between rows.
enum class LevelMapLayout { kColumns, kRows };

// The 33 x 128 band profile of an XFORM table, slice after slice.
void DrawLevelMap(const XformBandProfile& profile, LevelMapLayout layout, int x, int y, int cellWidth,
                  int cellHeight);
// The 33 x 64 codes of a VORTA table.
void DrawLevelMap(const PartialTable& table, LevelMapLayout layout, int x, int y, int cellWidth, int cellHeight);
