#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/progress_hooks.h"
#include "core/message_codes.h"
#include "core/work_crew.h"
#include "wavetable/xform_table.h"

// Noise-filter synthesis: a slice's magnitude spectrum given the fixed
// phases of the program's phase table becomes 131,072 frames of stereo
// noise, and a stereo section is analysed back into magnitudes. Both run on
// one 131,072-point complex transform that carries left and right together.

inline constexpr int32_t kXformRotorCount = kXformBinCount + 1;  // bins 0 .. 65,536
inline constexpr size_t kXformHalfSpectrumFloats = 2 * static_cast<size_t>(kXformRotorCount);
inline constexpr int kXformMaxLanes = 4;

// The working set of one thread: the complex transform buffer and the two
// half spectra of the left/right split.
struct XformLane {
  std::vector<float> transform;  // 131,072 complex points
  std::vector<float> halfLeft;   // 65,537 complex points
  std::vector<float> halfRight;
  // True while this lane runs beside others: its transforms then stay on its
  // own thread instead of starting the transform's worker threads.
  bool alone = true;
};

// What the noise synthesis keeps while the module is open: the rotor table
// (cos, sin of each bin's fixed phase; zero below the low-cut bin and at
// 65,536) and the lanes that slices are spread over.
struct XformEngine {
  std::vector<float> rotors;  // 65,537 complex values
  std::vector<XformLane> lanes;
  // The threads of lanes 1 .. : started by the first jobs spread over more
  // than one lane, they wait between job stages until the engine is released,
  // so a stage never waits for a thread to start or to wake up.
  WorkCrewHandle crew;
};

// Rotors from the 65,536 phases (nullptr: the built-in table), lanes for
// laneCount threads (the processor count, taken as 1..4), and the transform
// tables for 131,072 points.
void PrepareXformEngine(XformEngine& engine, const float* phases, int laneCount);
void ReleaseXformEngine(XformEngine& engine);
size_t XformEngineBytes(const XformEngine& engine);

// Section (131,072 frames, left and right interleaved) -> spectrum slice
// (|L_k|, |R_k| for k = 0 .. 65,535) and the phases (phi L_k, phi R_k):
// atan2(im, re), 0 when im is 0, +-pi/2 when re is 0.
void AnalyzeSliceWithPhases(std::span<const float> section, std::span<float> spectrum, std::span<float> phases,
                            XformLane& lane);

// The same for whatever the lane's transform buffer already holds (a
// windowed frame, say); phases may be empty. The buffer is transformed in
// place, and the lane's half spectra keep the unpacked left and right
// spectra until its next transform.
void AnalyzeLaneTransform(XformLane& lane, std::span<float> spectrum, std::span<float> phases);

// Spectrum slice -> noise section; returns the largest |sample| of both
// channels. Bins below the low-cut bin are cleared in the spectrum too, so
// that it describes the noise made from it.
float SynthesizeNoise(std::span<float> spectrum, const XformEngine& engine, std::span<float> section,
                      XformLane& lane);

// Runs job(index, lane) for index 0 .. count-1 spread over the engine's
// lanes (lane 0 on the calling thread, the others on the engine's crew); the
// calling thread reports "label" progress before the first job, after each of
// its own and once at the end. Returns false when the hooks asked to stop
// (the jobs already started are finished, no new ones begin).
using XformLaneJob = std::function<void(int index, XformLane& lane)>;
bool RunXformJobs(XformEngine& engine, int count, const XformLaneJob& job, const ProgressHooks& hooks,
                  const char* label);

// The source of `frames` frames in the noise buffer (interleaved stereo)
// becomes the table: k = frames / 131,072 slices (at most 33) are analysed
// and synthesised in place, slices k .. 32 cleared, then NormalizeXform.
// Sample values that are not finite count as 0; a source louder than 1.0
// comes out as if it had first been brought down to 1.0. Spectral values more than 120 dB below a
// slice's strongest bin are dropped: the transform's rounding leaves a floor
// of about -140 dB in every bin, which normalising would otherwise raise to
// full-scale noise when all of a slice lies below the low cut. Progress
// "RECONSTRUCTION PROGRESS: " counts finished slices; when cancelled the
// table is left empty and Aborted returned, otherwise Done.
inline constexpr double kXformResidueFloor = 1e-6;
MessageCode ReconstructTable(XformTable& table, int64_t frames, XformEngine& engine, const ProgressHooks& hooks);

// NormalizeXform with the slices shared out among the engine's lanes: the
// same table to the last bit, in a fraction of the time. With sliceLevels
// (one per slice), slice s is taken as if it were sliceLevels[s] times as
// loud as it is, before the one normalising gain is found and applied.
void NormalizeXformInLanes(XformTable& table, XformEngine& engine, std::span<const double> sliceLevels = {});

// Synthesises the noise of every slice from its spectrum and stores the
// peaks (no normalisation); slices with an empty spectrum are cleared.
// "SYNTHESIS PROGRESS: "; false when cancelled.
bool SynthesizeTable(XformTable& table, XformEngine& engine, const ProgressHooks& hooks);
