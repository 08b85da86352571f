#include "wavetable/symmetry_modulation.h"

#include "wavetable/vorta_synthesis.h"

namespace {

MessageCode StepWithin(int& value, int direction, int low, int high) {
  const int next = value + (direction > 0 ? 1 : -1);
  if (next > high) return kMsgMaxValue;
  if (next < low) return kMsgMinValue;
  value = next;
  return kMsgNone;
}

}  // namespace

MessageCode StepSymmetryParameter(SymmetryParameters& parameters, SymmetryParameter which, int direction) {
  switch (which) {
    case SymmetryParameter::Width: return StepWithin(parameters.widthTenths, direction, 0, kMaxWidthTenths);
    case SymmetryParameter::Damping: return StepWithin(parameters.dampingTenths, direction, 0, kMaxDampingTenths);
    case SymmetryParameter::Spread: return StepWithin(parameters.spread, direction, kMinSpread, kMaxSpread);
    case SymmetryParameter::Shift: return StepWithin(parameters.shift, direction, -kMaxPartialShift, kMaxPartialShift);
  }
  return kMsgNone;
}

SymmetryParameters DefaultSymmetryParameters() { return {}; }

PartialTable GenerateSymmetryTable(const SymmetryParameters& parameters) {
  return GenerateHarmonics(parameters.Damping(), parameters.Width(), parameters.shift, parameters.spread);
}
