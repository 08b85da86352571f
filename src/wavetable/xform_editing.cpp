#include "wavetable/xform_editing.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/checked_alloc.h"

namespace {

void CopyTable(const XformTable& from, XformTable& to) {
  if (!XformTableAllocated(to)) {
    CheckedAlloc(to.spectrum, kXformSpectrumFloats);
    CheckedAlloc(to.noise, kXformNoiseFloats);
  }
  std::copy(from.spectrum.begin(), from.spectrum.end(), to.spectrum.begin());
  std::copy(from.noise.begin(), from.noise.end(), to.noise.begin());
  to.slicePeaks = from.slicePeaks;
  to.bandProfile = from.bandProfile;
  to.speed = from.speed;
  to.ramName = from.ramName;
}

void ApplyGains(XformTable& table, const std::array<double, kSliceCount>& gains) {
  for (int s = 0; s < kSliceCount; ++s)
    if (gains[static_cast<size_t>(s)] != 1.0) ScaleXformSlice(table, s, gains[static_cast<size_t>(s)]);
}

}  // namespace

int16_t XformSliceLevel(float peak) {
  if (!(peak > kXformSilentPeak)) return static_cast<int16_t>(kSilentLevel);
  const double level = std::ceil(kLevelSpan * static_cast<double>(peak)) - kMaxCode;
  return static_cast<int16_t>(std::clamp(level, static_cast<double>(kSilentLevel), static_cast<double>(kFullLevel)));
}

LevelProfile MeasureXformLevels(const XformTable& table) {
  LevelProfile levels{};
  for (int s = 0; s < kSliceCount; ++s) levels[static_cast<size_t>(s)] = XformSliceLevel(table.slicePeaks[static_cast<size_t>(s)]);
  return levels;
}

XformProfileScaling StartXformProfileScaling(const XformTable& table) {
  XformProfileScaling scaling;
  scaling.reference = MeasureXformLevels(table);
  scaling.profile = scaling.reference;
  return scaling;
}

MessageCode ApplyXformProfileButton(XformProfileScaling& scaling, ProfileButton button) {
  return ApplyLevelButton(scaling.profile, scaling.reference, button);
}

void SetXformProfileLevel(XformProfileScaling& scaling, int slice, int level) { SetLevel(scaling.profile, slice, level); }

std::array<double, kSliceCount> XformProfileGains(const XformTable& table, const XformProfileScaling& scaling) {
  std::array<double, kSliceCount> gains{};
  for (size_t s = 0; s < kSliceCount; ++s) {
    gains[s] = 1.0;
    if (scaling.profile[s] == scaling.reference[s]) continue;
    const double peak = table.slicePeaks[s];
    gains[s] = peak > kXformSilentPeak ? (scaling.profile[s] + kMaxCode) / (kLevelSpan * peak) : 0.0;
  }
  return gains;
}

void ScaledXformOutput(const XformTable& table, const XformProfileScaling& scaling, XformTable& output) {
  if (!XformTableAllocated(table) || &table == &output) return;
  CopyTable(table, output);
  ApplyGains(output, XformProfileGains(table, scaling));
  RebuildBandProfile(output);
}

void ApplyXformProfile(XformWorkspace& workspace, const XformProfileScaling& scaling, int actionCode) {
  XformTable& table = workspace.table;
  if (!XformTableAllocated(table)) return;
  ApplyGains(table, XformProfileGains(table, scaling));
  NormalizeXform(table);
  CommitXformChange(workspace, actionCode);
}

void ApplyXformOrder(XformWorkspace& workspace, const SliceOrder& order, XformTable& output, int actionCode) {
  XformTable& table = workspace.table;
  if (!XformTableAllocated(table) || &table == &output) return;
  ReorderXform(table, order, output);
  std::swap(table.spectrum, output.spectrum);
  std::swap(table.noise, output.noise);
  std::swap(table.slicePeaks, output.slicePeaks);
  std::swap(table.bandProfile, output.bandProfile);
  NormalizeXform(table);
  CommitXformChange(workspace, actionCode);
}

MessageCode SlowerXformPlayback(XformWorkspace& workspace) { return SlowerXformSpeed(workspace.table.speed); }

MessageCode FasterXformPlayback(XformWorkspace& workspace) { return FasterXformSpeed(workspace.table.speed); }
