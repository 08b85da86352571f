#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/progress_hooks.h"
#include "core/message_codes.h"
#include "wavetable/xform_synthesis.h"
#include "wavetable/xform_table.h"
#include "wavetable/xform_workspace.h"

// Page "1.1.1" of the XFORM module: 33 long stereo spectra are taken across
// the analysis range ("FFT ANALYSIS"), their peaks ranked in stages ("PEAK
// DETECTION"), and the table's filter spectra rebuilt from the stages with
// the three sliders ("RESYNTHESIS"). Only the rebuild runs again when a
// slider moves.

inline constexpr int kXformFrameCount = 33;
inline constexpr int32_t kXformMinWindow = 1024;
inline constexpr int32_t kXformMaxWindow = kXformSliceLength;  // 131,072
inline constexpr int kXformMinStageCount = 2;
inline constexpr double kPeakBoostUnset = -1.0;
// Peak boost 1.0 reaches just short of the top layer, so that there is
// always a layer above the one it lies in.
inline constexpr double kTopLayerReach = 0.9999;
inline constexpr float kStereoLinkForGains = 1.0f;

// Window length W and hop H for a range of n samples: W = n / 33 within
// 1,024 .. 131,072; a clamped window moves the hop so that 33 frames of W
// samples start at 0, H, .. 32 H and end within the range.
struct XformFrameLayout {
  int32_t window = 0;
  int32_t hop = 0;
};
XformFrameLayout XformFrameLayoutFor(int64_t rangeLength);

// The sliders, 0..1 each. Peak boost starts unset and becomes 0.5 / (S - 1)
// once the stage count S is known.
struct XformAnalysisControls {
  double peakBoost = kPeakBoostUnset;  // "PEAK BOOST"
  double smoothness = 0.0;             // "SMOOTHNESS": off, the slices as analysed
  double stereoLink = 1.0;             // "PEAK STEREO LINK": peaks carry both channels
};

// One run of page "1.1.1".
struct XformAnalysis {
  XformFrameLayout layout;          // "WINDOW SIZE:" is layout.window
  std::vector<float> magnitudes;    // 33 frames x 65,536 bins x (left, right), stereo-linked
  std::vector<uint8_t> stages;      // stage of each magnitude, 0 = not a peak
  std::array<int, kXformFrameCount> frameTops{};
  int16_t stageCount = 0;           // S, "PEAK DETECTION STAGES:"
  std::vector<float> layerGains;    // one per level 0 .. S-1
  XformAnalysisControls controls;
  // Scan speed of "pOUTPUT" (1..512; "-SPEED" / "+SPEED" are
  // HalvePreviewStretch / DoublePreviewStretch), starting so that the table
  // plays about as long as the range.
  int32_t previewStretch = 1;
};

std::span<const float> FrameMagnitudes(const XformAnalysis& record, int frame);
std::span<const uint8_t> FrameStages(const XformAnalysis& record, int frame);
void ReleaseXformAnalysis(XformAnalysis& record);
size_t XformAnalysisBytes(const XformAnalysis& record);

// "FFT ANALYSIS" and "PEAK DETECTION" over the range (left and right of equal
// length): per frame the W-point periodic Hann window, one 131,072-point
// transform for both channels, magnitudes, peak stages and the stereo phase
// link; then the stage count and the unset peak boost. "ANALYSIS PROGRESS: ";
// Aborted when cancelled, NoData for an empty range, else Done.
MessageCode XformFrameAnalysis(std::span<const float> left, std::span<const float> right, XformAnalysis& record,
                                XformEngine& engine, const ProgressHooks& hooks);

// S = the largest frame top (at least 2); every frame whose top lies below S
// has its top values raised to S. Returns S.
int16_t SettleStageCount(XformAnalysis& record);

// Layer v of a frame keeps a value whose stage is above v; the other channel
// of such a bin keeps its own value times `link`.
float LayerValue(float own, uint8_t ownStage, uint8_t otherStage, int level, double link);

// One gain per level: 1 / the largest slice peak of the layer synthesised
// with the link at 1.0, 0 for a silent layer. "ADJUSTMENT PROGRESS: ".
MessageCode MeasureLayerGains(XformAnalysis& record, XformEngine& engine, const ProgressHooks& hooks);

// The table's spectra from the layers around the peak boost, blended, with
// the stereo link, smoothed across the slices by the smoothness
// ("ADJUSTMENT PROGRESS: "); then every slice synthesised ("SYNTHESIS
// PROGRESS: ") and the table normalised.
// Aborted when cancelled (the table is then half made: rebuild again or
// clear it), NoData before an analysis, else Done.
MessageCode RebuildFilterSpectra(const XformAnalysis& record, XformTable& table, XformEngine& engine,
                                  const ProgressHooks& hooks);

// Entry of page "1.1.1": frames, stages, gains and the first rebuild.
MessageCode RunXformAnalysis(std::span<const float> left, std::span<const float> right, XformAnalysis& record,
                              XformTable& table, XformEngine& engine, const ProgressHooks& hooks);

// A slider change while the user drags: the page's hook polls input and
// puts each new value into the feed. A rebuild still running when a newer
// value arrives stops and starts again with it, so only the latest value is
// carried through. Done with the latest controls in the record, Aborted
// when the user cancelled.
struct XformControlFeed {
  XformAnalysisControls latest;
  bool changed = false;
};
MessageCode RebuildForLatestControls(XformAnalysis& record, XformControlFeed& feed, XformTable& table,
                                      XformEngine& engine, const ProgressHooks& hooks);

// "fAPPLY": the table keeps the result, plays at the preview stretch, takes
// the sample's name, and the undo ring starts afresh.
void ApplyXformAnalysis(XformWorkspace& workspace, const XformAnalysis& record, std::string_view name);

// "fCANCEL": the previewed table is not kept: the module goes on with an
// empty table, as after "FLUSH".
void DiscardXformAnalysis(XformWorkspace& workspace);
