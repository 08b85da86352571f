// One edit step of the VORTA editing screens, as the pages do it after a
// pointer or key step: the code changed, the undo entry and the rendered
// RAM table, and the views redrawn. Each must answer within one frame
// (16 ms).
#include <benchmark/benchmark.h>

#include "core/app_globals.h"
#include "platform/headless/headless_platform.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/level_map.h"
#include "ui/segment_graph.h"
#include "ui/wave_graph.h"
#include "wavetable/partial_envelopes.h"
#include "wavetable/slice_editor.h"
#include "wavetable/vorta_workspace.h"
#include "headless_display.h"

namespace {

VortaWorkspace& Workspace() {
  static VortaWorkspace* workspace = [] {
    auto* w = new VortaWorkspace;
    EnterVorta(*w);
    for (int s = 0; s < kSliceCount; ++s) {
      for (int p = 0; p < kPartialCount; ++p) w->table.at(p, s) = static_cast<int16_t>(127 - p - s);
    }
    CommitTableChange(*w, 5, 0);
    return w;
  }();
  return *workspace;
}

// The partial envelopes page: one segment of the current row moved, the
// table and the partial alone rendered, the graph piece and the map drawn.
void BM_EnvelopeEditStep(benchmark::State& state) {
  OpenHeadlessDisplay();
  VortaWorkspace& w = Workspace();
  PartialEnvelopes envelopes;
  int step = 0;
  for (auto _ : state) {
    const int segment = step % kSliceCount;
    SetEnvelopeCode(envelopes, w.table, segment, (step * 37) % 255 - 127);
    CommitTableChange(w, 5, 0);
    RenderEnvelopePreview(envelopes, w.table, w.playbackStretch);
    DrawSegmentGraph(w.table.codes, envelopes.current, segment, 534);
    DrawLevelMap(w.table, LevelMapLayout::kColumns, 115, 374, 24, 3);
    ++step;
  }
}
BENCHMARK(BM_EnvelopeEditStep)->Unit(benchmark::kMillisecond);

// The slice editor: one partial's bar set, the table rendered, the bars,
// the level map and the half-pitch cycle drawn.
void BM_SliceEditStep(benchmark::State& state) {
  OpenHeadlessDisplay();
  VortaWorkspace& w = Workspace();
  int step = 0;
  for (auto _ : state) {
    const int slice = step % kSliceCount;
    SetSliceCode(w.table, slice, step % kPartialCount, (step * 53) % 255 - 127, 0);
    CommitTableChange(w, 3, 0);
    DrawSliceBars(w.table, slice, true);
    DrawLevelMap(w.table, LevelMapLayout::kColumns, 463, 380, 14, 2);
    const SlicePreview preview = RenderSlicePreview(w.table, slice);
    DrawWaveGraph(preview.drawn, 42, 556, 400, 84);
    ++step;
  }
}
BENCHMARK(BM_SliceEditStep)->Unit(benchmark::kMillisecond);

}  // namespace
