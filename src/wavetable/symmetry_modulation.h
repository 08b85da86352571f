#pragma once

#include "wavetable/partial_table.h"
#include "core/message_codes.h"

// The symmetry modulation generator's four parameters. Width and damping
// move in steps of 0.1 and are held in tenths so that stepping never drifts.
struct SymmetryParameters {
  int widthTenths = 10;    // "MODULATION WIDTH:" 0.0 .. 2.0
  int dampingTenths = 10;  // "DAMPING:" 0.0 .. 4.0
  int spread = 1;          // "PARTIAL SPREAD:" 1 .. 16
  int shift = 0;           // "PARTIAL SHIFT:" -16 .. 16

  double Width() const { return widthTenths / 10.0; }
  double Damping() const { return dampingTenths / 10.0; }
  bool operator==(const SymmetryParameters&) const = default;
};

enum class SymmetryParameter { Width, Damping, Spread, Shift };

inline constexpr int kMaxWidthTenths = 20;
inline constexpr int kMaxDampingTenths = 40;
inline constexpr int kMinSpread = 1;
inline constexpr int kMaxSpread = 16;
inline constexpr int kMaxPartialShift = 16;

// One step up (direction > 0) or down; beyond a limit nothing changes and
// MaxValue / MinValue comes back, otherwise None.
MessageCode StepSymmetryParameter(SymmetryParameters& parameters, SymmetryParameter which, int direction);

// "RESET".
SymmetryParameters DefaultSymmetryParameters();

// The generated table: GenerateHarmonics(damping, width, shift, spread).
PartialTable GenerateSymmetryTable(const SymmetryParameters& parameters);
