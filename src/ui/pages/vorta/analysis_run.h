#pragma once
#include <string>
#include <vector>

#include "files/sample_loader.h"
#include "modules/analysis_range.h"
#include "modules/loaded_sample.h"
#include "modules/scanloop_analysis.h"
#include "modules/spectral_analysis.h"
#include "ui/page.h"
#include "ui/pages/shared/module_session.h"

// One run of the VORTA analysis pages, from loading the sample to the
// hand-off's return: the file's channels, the analysis range of
// "SAMPLE ANALYSIS OPTIONS I" and the analyses of "II" and "SCANLOOP".
struct VortaAnalysisRun {
  std::string name;  // "DISK:"
  std::vector<float> left;
  std::vector<float> right;
  SampleDescriptor descriptor;
  SampleChannels sample;
  ScanLoopShape shape;
  AnalysisRange range;
  SpectralAnalysis spectral;
  ScanloopAnalysis scanloop;
};

inline VortaAnalysisRun& AnalysisOf(const PageRun& run) { return *run.session->vorta->analysis; }
inline VortaWorkspace& RamOf(const PageRun& run) { return run.session->vorta->ram; }

// Reads the sample at path into the run: 3 ("DONE"), or 11 ("ACCESS
// DENIED") for a file that is not a sample.
int LoadAnalysisSample(const std::string& path, VortaAnalysisRun& analysis);

// "fCANCEL" after an analysis: the RAM table cleared, R = 16, rendered.
void ClearAnalysedTable(VortaWorkspace& ram);

// "1.1.0", which opens "1.1.1" with "fANALYZE"; on 3 the RAM table holds
// the analysis.
int RunSampleAnalysisPages(PageRun& run);
// "1.2.0" after the step spectra are taken under the progress display.
int RunScanloopAnalysisPage(PageRun& run);

// What a tuning, contrast or polarity change redraws on "1.1.1": the
// readouts, the output boxes and the keyboard.
void RedrawSpectralOutput(const SpectralAnalysis& analysis);
