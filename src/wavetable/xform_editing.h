#pragma once
#include <array>
#include <cstdint>

#include "wavetable/amplitude_profile.h"
#include "wavetable/slice_order.h"
#include "core/message_codes.h"
#include "wavetable/xform_table.h"
#include "wavetable/xform_workspace.h"

// The table editing functions of the XFORM module: amplitude profile
// scaling and the slice order matrix work on whole slices, measured by their
// peaks, with the same buttons as the VORTA tools; "-SPEED" / "+SPEED"
// change the scan speed.

// Level of a slice: ceil(254 peak) - 127 when the peak is above the silence
// limit, else -127, kept within -127..127.
int16_t XformSliceLevel(float peak);
LevelProfile MeasureXformLevels(const XformTable& table);

struct XformProfileScaling {
  LevelProfile reference;  // measured when the page opened
  LevelProfile profile;    // as edited
};

XformProfileScaling StartXformProfileScaling(const XformTable& table);

// "SMOOTH", "ZERO", "CEIL", "NORMAL", "RESTORE" and the pointer, as on the
// VORTA page.
MessageCode ApplyXformProfileButton(XformProfileScaling& scaling, ProfileButton button);
void SetXformProfileLevel(XformProfileScaling& scaling, int slice, int level);

// Gain of each slice: (level + 127) / (254 peak) for a slice whose level was
// changed (0 for a slice without noise), 1 for a slice left at its measured
// level, so that an untouched profile changes nothing.
std::array<double, kSliceCount> XformProfileGains(const XformTable& table, const XformProfileScaling& scaling);

// The "SCALED WAVETABLE OUTPUT" for listening: a copy of the table with the
// gains applied (the output's buffers are allocated when missing).
void ScaledXformOutput(const XformTable& table, const XformProfileScaling& scaling, XformTable& output);

// "fAPPLY": the RAM table scaled in place, normalised, the change recorded
// for undo.
void ApplyXformProfile(XformWorkspace& workspace, const XformProfileScaling& scaling, int actionCode);

// "fAPPLY" of the slice order matrix: the RAM table reordered (through
// `output`, which the page keeps for listening and which holds the former
// table afterwards) and the change recorded for undo.
void ApplyXformOrder(XformWorkspace& workspace, const SliceOrder& order, XformTable& output, int actionCode);

// "-SPEED" / "+SPEED" on the RAM table.
MessageCode SlowerXformPlayback(XformWorkspace& workspace);
MessageCode FasterXformPlayback(XformWorkspace& workspace);
