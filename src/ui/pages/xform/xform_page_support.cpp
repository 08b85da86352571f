#include <cstdio>
#include <filesystem>

#include "audio/source_kinds.h"
#include "core/app_globals.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "files/wave_reader.h"
#include "modules/loaded_sample.h"
#include "ui/hold_to_play.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/xform/xform_pages.h"
#include "ui/wave_graph.h"

namespace {

constexpr int kStereoFloats = 2;
constexpr int kSliceFloats = kStereoFloats * kXformSliceLength;

}  // namespace

XformWorkspace& XformRam(const PageRun& run) { return run.session->xform->ram; }
XformOptionPages& XformPages(const PageRun& run) { return *run.session->xform->pages; }

int RunXformOptionPage(const Page& page, PageRun& caller) {
  PageRun option;
  option.session = caller.session;
  const int result = RunPage(page, option);
  caller.redrawAll = true;
  return result;
}

void ShowXformSpeed(int32_t speed) {
  DrawStatusValue(2, 2, "SPEED <RAM WT PLAYBACK>:", "%ld", speed, kXformSpeedChars);
}

void PlayXformScanHeld(PageRun& run, const XformTable& table, int32_t speed, uint8_t code) {
  const int used = XformUsedSlices(table);
  if (used == 0) {
    run.Show(kMsgNoData);
    return;
  }
  PlayScanHeld(table.noise, speed, used, code, kSourceRamData);
}

void DrawXformSlices(const XformTable& table, int x, int yc, int step, int width, int halfHeight) {
  if (!XformTableAllocated(table)) return;
  DrawWaveRow(table.noise, x, yc, step, width, halfHeight, kSliceFloats, kSliceFloats);
}

MessageCode LoadXformSample(const std::string& path, XformOptionPages& pages) {
  const ReadRules rules = ReadRulesOf(gApp);
  FileInfo info;
  const int category = TestSoundFile(path, &info, rules);
  if (category != kCategorySample && category != kCategorySingleCycle) return kMsgAccessDenied;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return kMsgAccessDenied;
  pages.fileLeft.assign(kMaxSampleFrames, 0.0f);
  pages.fileRight.assign(kMaxSampleFrames, 0.0f);
  SampleDescriptor descriptor;
  const std::string name = std::filesystem::path(path).filename().string();
  const bool loaded = LoadSampleStream(file, name, category, pages.fileLeft, pages.fileRight, descriptor, rules);
  std::fclose(file);
  if (!loaded) return kMsgAccessDenied;
  const size_t frames = std::min<uint64_t>(descriptor.frames, kMaxSampleFrames);
  // The buffers were sized for the longest sample: keep only what it holds.
  pages.fileLeft.resize(frames);
  pages.fileLeft.shrink_to_fit();
  pages.fileRight.resize(frames);
  pages.fileRight.shrink_to_fit();
  pages.sample = SampleChannelsOf(pages.fileLeft, pages.fileRight, descriptor);
  pages.sampleName = std::filesystem::path(path).stem().string();
  return kMsgNone;
}
