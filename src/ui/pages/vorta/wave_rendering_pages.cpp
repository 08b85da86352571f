#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/app_globals.h"
#include "core/kept_for_run.h"
#include "core/message_codes.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_writer.h"
#include "ui/draw.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/vorta/rendering_pages.h"
#include "ui/wave_graph.h"
#include "wavetable/slice_navigation.h"
#include "wavetable/vorta_cycle_output.h"
#include "wavetable/vorta_synthesis.h"

namespace {

enum Action {
  kBase, kBits, kSlices, kSamples, kPolarity, kPlayOutput, kPlayRam, kPlaySlice,
  kBack1, kBack8, kForward8, kForward1,
};

constexpr PageButton kTableButtons[] = {
    {3, 0, "BASE", kBase},     {5, 0, "BITS", kBits},          {7, 0, "SLICES", kSlices},
    {8, 0, "SAMPLES", kSamples}, {10, 0, "fSTORE", kApplyAction}, {11, 0, "fCANCEL", kCancelAction},
    {1, 1, "pRAM_WT", kPlayRam}, {8, 1, "pOUTPUT", kPlayOutput},
};

constexpr PageButton kCycleButtons[] = {
    {0, 0, "<<1_SLC", kBack1},       {1, 0, "<<8_SLC", kBack8},        {2, 0, "SLC_8>>", kForward8},
    {3, 0, "SLC_1>>", kForward1},    {5, 0, "BITS", kBits},            {7, 0, "POLARITY", kPolarity},
    {8, 0, "SAMPLES", kSamples},     {10, 0, "fSTORE", kApplyAction},  {11, 0, "fCANCEL", kCancelAction},
    {1, 1, "pRAM_WT", kPlayRam},     {2, 1, "pRAM_SLC", kPlaySlice},   {8, 1, "pOUTPUT", kPlayOutput},
};

// "SAMPLES" doubles S modulo these: 128 .. 2,048 for tables, 128 .. 4,096
// for single cycles, then 128 again.
constexpr int kTableSamplesModulus = 3968;
constexpr int kCycleSamplesModulus = 8064;
constexpr int kSlicesModulus = 62;  // + b: NORMAL 1 .. 32, ALTERNATE 2 .. 32

// The two boxes of both pages.
constexpr int kBoxLeft = 42;
constexpr int kBoxRight = 981;
constexpr int kSourceTop = 112;
constexpr int kSourceBottom = 330;
constexpr int kOutputTop = 348;
constexpr int kOutputBottom = 680;
constexpr int kRowX = 56;
constexpr int kRowStep = 28;
constexpr int kRowWidth = 24;
constexpr int kRowCentre = 240;
constexpr int kRowHalfHeight = 64;
constexpr int kArrowTip = 170;
constexpr int kArrowTop = 140;
constexpr int kSliceNumberY = 310;
constexpr int kNumberedSliceStep = 8;  // as far as "<<8_SLC" and "SLC_8>>" move
constexpr int kGraphX = 52;
constexpr int kGraphWidth = 919;
constexpr int kGraphCentre = 522;
constexpr int kGraphHalfHeight = 140;

VortaModule& Module(const PageRun& run) { return *run.session->vorta; }
VortaWorkspace& Ram(const PageRun& run) { return run.session->vorta->ram; }

uint8_t PlayCode(const PageEvent& event) { return ButtonCode(event.Column(), event.Row()); }

int BaseSlice() { return gKept.tableAlternateBase ? 0 : 1; }

VortaWaveOptions TableOptions() {
  VortaWaveOptions options;
  options.samplesPerSlice = gKept.tableSamplesPerSlice;
  options.wavesPerStep = gKept.tableWavesPerStep;
  options.base = gKept.tableAlternateBase ? WaveBase::kAlternate : WaveBase::kNormal;
  options.bitsMode = gKept.tableBitsMode;
  return options;
}

VortaCycleOptions CycleOptions(const PageRun& run) {
  VortaCycleOptions options;
  options.slice = Module(run).destinationSlice;
  options.samples = gKept.cycleSamples;
  options.inverted = gKept.cycleInverted;
  options.bitsMode = gKept.cycleBitsMode;
  return options;
}

// Settings kept from an earlier run of the page that it can no longer
// reach start over at their start values.
void SanitizeKeptSettings() {
  const WaveBase base = gKept.tableAlternateBase ? WaveBase::kAlternate : WaveBase::kNormal;
  if (!IsReachableSamplesPerSlice(gKept.tableSamplesPerSlice)) gKept.tableSamplesPerSlice = kDefaultWaveSamples;
  if (!IsReachableWavesPerStep(gKept.tableWavesPerStep, base)) gKept.tableWavesPerStep = kMaxWavesPerStep;
  if (!IsReachableCycleSamples(gKept.cycleSamples)) gKept.cycleSamples = kDefaultCycleSamples;
}

void RenderTableOutput(PageRun& run) {
  VortaWorkspace& ram = Ram(run);
  if (!PrepareVortaWave(TableForOutput(ram.table), ram.playbackStretch, TableOptions(), Module(run).renderOutput)) {
    Module(run).renderOutput.samples.clear();
  }
}

void RenderCycleOutput(PageRun& run) {
  if (!PrepareVortaCycle(TableForOutput(Ram(run).table), CycleOptions(run), Module(run).renderOutput)) {
    Module(run).renderOutput.samples.clear();
  }
}

// --- Boxes.
// The arrow above the slice "1.3.0" writes.
void MarkSelectedSlice(const PageRun& run) {
  const int x = kRowX + kRowStep * Module(run).destinationSlice + kRowWidth / 2;
  HoldRepaint();
  FillBox(kBoxLeft + 1, kArrowTop, kBoxRight, kArrowTip + 1);
  DrawLine(x, kArrowTop, x, kArrowTip);
  DrawDownArrow(x, kArrowTip);
  FlushRegion(kBoxLeft + 1, kArrowTop, kBoxRight, kArrowTip + 1);
}

void DrawSourceSlices(const PageRun& run, bool marked) {
  const VortaWorkspace& ram = Ram(run);
  DrawPanel(kBoxLeft, kSourceTop, kBoxRight, kSourceBottom, "SOURCE SLICES");
  const int stride = kUnitySliceLength * ram.playbackStretch;
  DrawWaveRow(std::span<const float>(ram.ram.samples).first(ram.ram.length), kRowX, kRowCentre, kRowStep, kRowWidth,
              kRowHalfHeight, kUnitySliceLength, stride);
  for (int slice = 0; slice < kSliceCount; slice += kNumberedSliceStep) {
    char number[16];  // room for any int, so the compiler sees no truncation
    std::snprintf(number, sizeof number, "%.2d", slice);
    DrawText(kRowX + kRowStep * slice + kRowWidth / 2, kSliceNumberY, number, 'M');
  }
  if (marked) MarkSelectedSlice(run);
}

void DrawOutput(const PageRun& run, const char* title) {
  DrawPanel(kBoxLeft, kOutputTop, kBoxRight, kOutputBottom, title);
  DrawWaveGraph(Module(run).renderOutput.samples, kGraphX, kGraphCentre, kGraphWidth, kGraphHalfHeight);
}

void ShowNames(const PageRun& run) {
  ShowNameReadout(0, 0, "DISK:", ScreenName(Module(run).renderFileName));
  ShowNameReadout(0, 1, "RAM:", Ram(run).ramName);
}

// --- "1.4.0" WAVETABLE RENDERING <WAV>.
void ShowTableReadouts() {
  const bool normal = !gKept.tableAlternateBase;
  const int slices = kStepsPerTable * gKept.tableWavesPerStep + BaseSlice();
  DrawStatusField(1, 0, "BASE:", normal ? "NORMAL" : "ALTERNATE", 9);
  DrawWideStatusField(2, 0, "BASE FORMULA:", normal ? "32*2^N+1, N=0...5" : "32*2^N, N=1...5");
  DrawStatusValue(1, 1, "SAMPLES PER SLICE:", "%ld", static_cast<int32_t>(gKept.tableSamplesPerSlice), 4);
  char shown[32];
  std::snprintf(shown, sizeof shown, normal && gKept.tableWavesPerStep == 1 ? "%d <RAW>" : "%d <INTERPOLATION>",
                slices);
  DrawWideStatusField(2, 1, "SLICES:", shown);
  DrawStatusField(0, 2, "BITS PER SAMPLE:", BitsModeText(gKept.tableBitsMode), 10);
}

void DrawTablePage(PageRun& run) {
  SanitizeKeptSettings();
  ShowNames(run);
  ShowTableReadouts();
  RenderTableOutput(run);
  DrawSourceSlices(run, false);
  DrawOutput(run, "WAVETABLE OUTPUT <OPTIMIZED>");
}

int StoreOutput(PageRun& run, int category) {
  const VortaWaveImage& image = Module(run).renderOutput;
  if (image.samples.empty()) return kMsgNoData;
  return WriteWaveFile(gApp, Module(run).renderFileName, category, image.header, image.block, image.samples,
                       image.samples);
}

void PlayOutput(const PageRun& run, const PageEvent& event, bool loop) {
  const std::vector<float>& samples = Module(run).renderOutput.samples;
  PlaySplitHeld(samples, samples, static_cast<int64_t>(samples.size()), loop, PlayCode(event), kSourceRamData);
}

void PlayRam(const PageRun& run, const PageEvent& event) {
  PlayRamWavetableHeld(Ram(run).ram, Ram(run).playbackStretch, PlayCode(event));
}

void ActOnTable(PageRun& run, int action, const PageEvent& event) {
  switch (action) {
    case kBase:
      gKept.tableAlternateBase = !gKept.tableAlternateBase;
      gKept.tableWavesPerStep = kMaxWavesPerStep;
      run.Show(gKept.tableAlternateBase ? kMsgAlternateBase : kMsgNormalBase);
      break;
    case kBits:
      gKept.tableBitsMode = NextBitsMode(gKept.tableBitsMode);
      break;
    case kSlices:
      gKept.tableWavesPerStep = 2 * gKept.tableWavesPerStep % (kSlicesModulus + BaseSlice());
      break;
    case kSamples:
      gKept.tableSamplesPerSlice = 2 * gKept.tableSamplesPerSlice % kTableSamplesModulus;
      break;
    case kApplyAction:
      RenderTableOutput(run);  // the stored header follows the bits mode
      run.Finish(StoreOutput(run, kCategoryVortaWav));
      return;
    case kPlayOutput:
      PlayOutput(run, event, false);
      return;
    case kPlayRam:
      PlayRam(run, event);
      return;
    default:
      return;
  }
  ShowTableReadouts();
  if (action == kBits) return;
  RenderTableOutput(run);
  DrawWaveGraph(Module(run).renderOutput.samples, kGraphX, kGraphCentre, kGraphWidth, kGraphHalfHeight);
}

// --- "1.3.0" SINGLE CYCLE RENDERING <WAV>.
void ShowCycleReadouts(const PageRun& run) {
  DrawStatusValue(1, 0, "SELECTED SLICE:", "%.2d", static_cast<int32_t>(Module(run).destinationSlice), 2);
  DrawStatusValue(1, 1, "OUTPUT SAMPLES:", "%ld", static_cast<int32_t>(gKept.cycleSamples), 4);
  DrawStatusField(2, 0, "SLICE POLARITY:", gKept.cycleInverted ? "INVERTED" : "UNCHANGED", 9);
  DrawStatusField(2, 1, "BITS PER SAMPLE:", BitsModeText(gKept.cycleBitsMode), 10);
}

void DrawCyclePage(PageRun& run) {
  SanitizeKeptSettings();
  Module(run).destinationSlice = static_cast<int16_t>(std::clamp<int>(Module(run).destinationSlice, 0, kSliceCount - 1));
  ShowNames(run);
  ShowCycleReadouts(run);
  RenderCycleOutput(run);
  DrawSourceSlices(run, true);
  DrawOutput(run, "SINGLE CYCLE OUTPUT <OPTIMIZED>");
}

void PlaySelectedSlice(const PageRun& run, const PageEvent& event) {
  const VortaWorkspace& ram = Ram(run);
  const size_t start = SliceStart(Module(run).destinationSlice, kUnitySliceLength, ram.playbackStretch);
  if (start + kUnitySliceLength > ram.ram.length) return;
  const std::span<const float> cycle = std::span<const float>(ram.ram.samples).subspan(start, kUnitySliceLength);
  PlaySplitHeld(cycle, cycle, kUnitySliceLength, true, PlayCode(event), kSourceRamData);
}

void ActOnCycle(PageRun& run, int action, const PageEvent& event) {
  int16_t& slice = Module(run).destinationSlice;
  switch (action) {
    case kBack1: slice = StepSlice(slice, SliceStep::Back1); break;
    case kBack8: slice = StepSlice(slice, SliceStep::Back8); break;
    case kForward8: slice = StepSlice(slice, SliceStep::Forward8); break;
    case kForward1: slice = StepSlice(slice, SliceStep::Forward1); break;
    case kBits: gKept.cycleBitsMode = NextBitsMode(gKept.cycleBitsMode); break;
    case kPolarity: gKept.cycleInverted = !gKept.cycleInverted; break;
    case kSamples: gKept.cycleSamples = 2 * gKept.cycleSamples % kCycleSamplesModulus; break;
    case kApplyAction:
      RenderCycleOutput(run);
      run.Finish(StoreOutput(run, kCategorySingleCycle));
      return;
    case kPlayOutput:
      PlayOutput(run, event, true);
      return;
    case kPlayRam:
      PlayRam(run, event);
      return;
    case kPlaySlice:
      PlaySelectedSlice(run, event);
      return;
    default:
      return;
  }
  ShowCycleReadouts(run);
  if (action == kBits) return;
  RenderCycleOutput(run);
  if (action <= kForward1 && action >= kBack1) MarkSelectedSlice(run);
  DrawWaveGraph(Module(run).renderOutput.samples, kGraphX, kGraphCentre, kGraphWidth, kGraphHalfHeight);
}

}  // namespace

int16_t NextBitsMode(int16_t bitsMode) { return static_cast<int16_t>((bitsMode + 1) % (kBitsModeFloat + 1)); }

int RunRenderingPage(PageRun& run, const Page& page, const std::string& fileName, bool newFile) {
  if (!run.session || !run.session->vorta) return kMsgAborted;
  VortaModule& module = *run.session->vorta;
  module.renderFileName = fileName;
  module.renderNewFile = newFile;
  PageRun pageRun;
  pageRun.session = run.session;
  const int result = RunPage(page, pageRun);
  module.renderOutput = VortaWaveImage{};  // the output can be large: not kept after the page
  return result;
}

int RunVortaRendering(PageRun& run, int category, const std::string& path) {
  const std::string fileName = std::filesystem::path(path).filename().string();
  const bool newFile = !std::filesystem::exists(CategoryFilePath(gApp, category, fileName));
  switch (category) {
    case kCategorySingleCycle: return RunRenderingPage(run, kSingleCycleRenderingPage, fileName, newFile);
    case kCategoryVortaWav: return RunRenderingPage(run, kWavetableRenderingPage, fileName, newFile);
    case kCategoryBlofeld: return RunRenderingPage(run, kSysexRenderingPage, fileName, newFile);
    default: return kMsgAborted;
  }
}

const Page kWavetableRenderingPage = {.title = "WAVETABLE RENDERING <WAV>",
                                      .number = "1.4.0",
                                      .buttons = kTableButtons,
                                      .draw = DrawTablePage,
                                      .act = ActOnTable};
const Page kSingleCycleRenderingPage = {.title = "SINGLE CYCLE RENDERING <WAV>",
                                        .number = "1.3.0",
                                        .buttons = kCycleButtons,
                                        .draw = DrawCyclePage,
                                        .act = ActOnCycle};
