#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "modules/analysis_range.h"
#include "modules/xform_analysis.h"
#include "modules/xform_analysis_source.h"
#include "ui/page.h"
#include "wavetable/slice_order.h"
#include "wavetable/xform_editing.h"

// The XFORM module's pages beyond the system settings and the file
// operations: "2.0.0" TABLE EDITING FUNCTIONS with its option pages "2.1.0"
// and "2.2.0", and the sample analysis pages "1.1.0" / "1.1.1".

// What an open option page works on. The page that opens one owns it and
// points the module's record at it while it runs.
struct XformOptionPages {
  // "1.1.0" / "1.1.1": the loaded sample, its working pair and the analysis.
  std::vector<float> fileLeft;
  std::vector<float> fileRight;
  SampleChannels sample;
  std::string sampleName;
  XformAnalysisSource source;
  XformAnalysis analysis;
  // A rebuild the user cancelled left the table half made: it is made
  // again before it is played or applied.
  bool outputStale = false;
  // Rebuilds that slider changes carried to their end.
  int sliderRebuilds = 0;

  // "2.1.0" / "2.2.0": the edit and the copy of the table that shows it.
  XformProfileScaling scaling;
  SliceOrder order = IdentityOrder();
  int currentSlice = 0;
  XformTable output;
};

inline constexpr int32_t kXformSpeedChars = 4;
inline constexpr uint8_t kXformRamPlayCode = 22;  // "pRAM_WT", lower row, column 9

XformWorkspace& XformRam(const PageRun& run);
XformOptionPages& XformPages(const PageRun& run);

// Runs an option page inside the calling page, whose whole page is drawn
// again afterwards; the option page's result.
int RunXformOptionPage(const Page& page, PageRun& caller);

// "SPEED <RAM WT PLAYBACK>:" (2, 2) of an XFORM table.
void ShowXformSpeed(int32_t speed);
// A crossfading scan through the table's slices while the button is held;
// "NO DATA" for an empty table.
void PlayXformScanHeld(PageRun& run, const XformTable& table, int32_t speed, uint8_t code);
// The 33 slices as small noise graphs side by side, slice s at
// x + s x step, each width wide.
void DrawXformSlices(const XformTable& table, int x, int yc, int step, int width, int halfHeight);

// Loads the sample at path into pages (fileLeft/Right, sample, sampleName).
MessageCode LoadXformSample(const std::string& path, XformOptionPages& pages);
// "1.1.0" on the loaded sample: 3 when "fAPPLY" on "1.1.1" kept the
// analysis in the RAM table, 25 when cancelled, or the message code that
// refused the sample.
int RunXformAnalysisOptions(PageRun& run, XformOptionPages& pages);
// "1.1.1" on the range of pages.source: the analysis (cancellable), then
// the page; 3 on "fAPPLY", 25 on "fCANCEL" or a cancelled analysis.
int RunXformResynthesisOptions(PageRun& run, XformOptionPages& pages);

extern const Page kXformTableEditingPage;  // "2.0.0"
extern const Page kXformProfilePage;       // "2.1.0"
extern const Page kXformOrderPage;         // "2.2.0"
