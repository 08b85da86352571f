#include "ui/pages/shared/sound_pages.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/app_globals.h"
#include "core/atomic_file.h"
#include "core/message_codes.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "files/wave_reader.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/wave_graph.h"

namespace {

constexpr int kPanelTitleHeight = 18;
constexpr int kGraphMargin = 6;
constexpr const char* kBitsTexts[kBitsModeCount] = {"8 <PCM>", "16 <PCM>", "32 <PCM>", "32 <FLOAT>"};

}  // namespace

void DrawSignalGraph(std::span<const float> left, std::span<const float> right, int x, int yc, int width,
                     int halfHeight) {
  const size_t count = std::min(left.size(), right.size());
  if (count >= static_cast<size_t>(kStereoGraphMinSamples)) {
    DrawStereoWaveGraph(left.first(count), right.first(count), x, yc, width, halfHeight);
  } else {
    DrawWaveGraph(left, x, yc, width, halfHeight);
  }
}

void DrawSignalInPanel(int x0, int y0, int x1, int y1, std::span<const float> left, std::span<const float> right) {
  const int top = y0 + kPanelTitleHeight + kGraphMargin;
  const int bottom = y1 - kGraphMargin;
  DrawSignalGraph(left, right, x0 + kGraphMargin, (top + bottom) / 2, x1 - x0 - 2 * kGraphMargin,
                  std::max(1, (bottom - top) / 2 - 1));
}

void DrawSignalPanel(int x0, int y0, int x1, int y1, std::string_view title, std::span<const float> left,
                     std::span<const float> right) {
  DrawPanel(x0, y0, x1, y1, title);
  DrawSignalInPanel(x0, y0, x1, y1, left, right);
}

std::string BitsModeText(int mode) { return kBitsTexts[std::clamp(mode, 0, kBitsModeCount - 1)]; }

int WriteRenderedFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return kMsgNoData;
  return WriteFileAtomically(path, bytes) ? kMsgDone : kMsgAccessDenied;
}

int LoadSampleAtPath(const std::string& path, LoadedSample& sample) {
  const ReadRules rules = ReadRulesOf(gApp);
  FileInfo info;
  const int category = TestSoundFile(path, &info, rules);
  if (category == kCategoryUnrecognized) return std::filesystem::exists(path) ? kMsgNoData : kMsgFileNotFound;
  if (category != kCategorySample && category != kCategorySingleCycle) return kMsgNoData;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return kMsgAccessDenied;
  sample.left.assign(kMaxSampleFrames, 0.0f);
  sample.right.assign(kMaxSampleFrames, 0.0f);
  const bool loaded = LoadSampleStream(file, std::filesystem::path(path).filename().string(), category, sample.left,
                                       sample.right, sample.descriptor, rules);
  std::fclose(file);
  return loaded ? kMsgDone : kMsgNoData;
}

std::string RamNameOf(const std::string& path) { return ScreenName(std::filesystem::path(path).filename().string()); }
