#pragma once
#include <cstdint>
#include <vector>

#include "ui/pages/vorta/library_source.h"
#include "wavetable/amplitude_profile.h"
#include "wavetable/drawing_pad.h"
#include "wavetable/filter_shape.h"
#include "wavetable/formant_shift.h"
#include "wavetable/partial_envelopes.h"
#include "wavetable/partial_table.h"
#include "wavetable/slice_editor.h"
#include "wavetable/slice_order.h"
#include "wavetable/symmetry_modulation.h"
#include "wavetable/table_assembling.h"
#include "wavetable/table_interpolation.h"

// What the VORTA editing screens remember while the module is open.

// A table state "s UNDO " stepped back from, with the screen it was made on
// and the table the undo step left (a redo applies only to that table, so
// that a table loaded or flushed since is never overwritten).
struct RedoStep {
  PartialTable table;
  int16_t screen = 0;
  PartialTable undone;
};

// The option pages' working copies while one of them is open.
struct ToolPageState {
  WaveformDrawing drawing;
  ProfileScaling profile;
  PartialTable input;        // the slice order matrix's input
  SliceOrder order{};
  FilterShapeEditor filter;
  FormantShifter formant;
  SymmetryParameters symmetry;
  TableInterpolation interpolation;
  EnvelopeEditor envelope;   // the shift envelope page's working copy
  int intensity = 0;         // and its "ENV INTENSITY <BANDS>:"
  bool formantPage = false;  // the shift envelope page is the formant shifter
  PartialTable output;       // what the page shows and "fAPPLY" stores
  int16_t slice = 0;         // the page's current slice
  int16_t importSlice = 0;   // the filter shape import's source slice
};

struct VortaEditMemory {
  SliceEditor slice;
  bool fillPositive = true;  // "FILL POLARITY:" of the slice dialog's "FULL" and "UNI_POL"
  PartialEnvelopes envelopes;
  int envelopeSegment = 0;   // the envelope graph's current segment
  TableAssembly assembly;
  LibrarySource assemblyList = FreshLibrarySource();
  bool readPending = false;  // a file chosen before its list page was drawn
  LibrarySource filterList = FreshLibrarySource();
  // Newest last; any new change of the table drops them.
  std::vector<RedoStep> redo;
  ToolPageState tool;
  // The button a tool dialog was left with, for the page that opened it.
  int dialogChoice = -1;
  bool dialogOffersOptimize = false;
  bool dialogOnTableRow = true;
};
