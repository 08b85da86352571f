#include "ui/pages/shared/file_listening.h"

#include <algorithm>
#include <filesystem>

#include "audio/playback_state.h"
#include "audio/source_kinds.h"
#include "core/app_globals.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/sample_loader.h"
#include "formats/vorta_import.h"
#include "ui/hold_to_play.h"
#include "ui/message_line.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr int kUnitySliceLength = 256;
constexpr double kUnityPitch = 1.0;
constexpr int kMaxXformSlices = 33;

// A buffer as large as the file could need, but never beyond what plays.
size_t FramesFor(const std::string& path, size_t bytesPerFrame) {
  std::error_code error;
  const uintmax_t bytes = std::filesystem::file_size(path, error);
  if (error) return 0;
  return std::min<size_t>(bytes / bytesPerFrame + 1, kPlaybackBufferFrames);
}

bool LoadSample(const LibraryEntry& entry, ListeningBuffers buffers, PrelistenSource& source) {
  const size_t frames = FramesFor(CategoryFilePath(gApp, entry.category, entry.name), 1);
  buffers.left.assign(frames, 0.0f);
  buffers.right.assign(frames, 0.0f);
  SampleDescriptor descriptor;
  if (frames == 0 || LoadSampleFile(gApp, entry, buffers.left, buffers.right, descriptor) != kMsgDone) return false;
  if (entry.category == kCategorySingleCycle) {
    buffers.left.resize(descriptor.frames);
    buffers.left = ResampleCycle(buffers.left, kUnitySliceLength);
    buffers.right = buffers.left;
    descriptor.frames = kUnitySliceLength;
  }
  source.left = buffers.left;
  source.right = buffers.right;
  source.frames = static_cast<int64_t>(descriptor.frames);
  return descriptor.frames > 0;
}

bool LoadTable(const LibraryEntry& entry, ListeningBuffers buffers, PrelistenSource& source) {
  PartialTable table;
  int32_t stretch = kDefaultStretch;
  if (LoadVortaFile(gApp, entry, table, stretch) != kMsgDone) return false;
  const size_t frames = static_cast<size_t>(kLastSlice) * kUnitySliceLength * static_cast<size_t>(stretch) +
                        kUnitySliceLength;
  buffers.left.assign(frames, 0.0f);
  const size_t written = RenderTable(table, buffers.left, stretch, kUnityPitch);
  buffers.right.clear();
  source.left = buffers.left;
  source.right = buffers.left;
  source.frames = static_cast<int64_t>(written);
  return written > 0;
}

bool LoadXform(const LibraryEntry& entry, ListeningBuffers buffers, PrelistenSource& source) {
  buffers.left.assign(2 * kXformSliceFrames * kMaxXformSlices, 0.0f);
  XformFileData data;
  data.samples = buffers.left;
  SampleDescriptor descriptor;
  if (LoadXformFile(gApp, entry, data, descriptor) != kMsgDone) return false;
  source.tables = buffers.left;
  source.tableCount = static_cast<int>(std::min<uint64_t>(data.frames / kXformSliceFrames, kMaxXformSlices));
  source.scanSpeed = data.speed;
  return source.tableCount > 0;
}

}  // namespace

std::vector<float> ResampleCycle(const std::vector<float>& cycle, int length) {
  std::vector<float> out(static_cast<size_t>(std::max(length, 0)), 0.0f);
  if (cycle.empty()) return out;
  const double step = static_cast<double>(cycle.size()) / length;
  for (size_t j = 0; j < out.size(); ++j) {
    const double position = j * step;
    const size_t i = static_cast<size_t>(position);
    const double fraction = position - static_cast<double>(i);
    const float a = cycle[i % cycle.size()];
    const float b = cycle[(i + 1) % cycle.size()];
    out[j] = static_cast<float>(a + (b - a) * fraction);
  }
  return out;
}

bool LoadForListening(int category, const std::string& name, ListeningBuffers buffers, PrelistenSource& source) {
  source = PrelistenSource{};
  if (name.empty()) return false;
  const LibraryEntry entry{category, name};
  if (category == kCategorySample || category == kCategorySingleCycle) return LoadSample(entry, buffers, source);
  if (IsVortaTableCategory(category)) return LoadTable(entry, buffers, source);
  if (category == kCategoryXformWav) return LoadXform(entry, buffers, source);
  return false;
}

void PlayListedFileHeld(int category, const std::string& name, ListeningBuffers buffers, uint8_t code) {
  uint8_t message = kMsgNoFileSelected;
  if (!name.empty()) {
    PrelistenSource source;
    if (LoadForListening(category, name, buffers, source)) {
      const int kind = IsVortaTableCategory(category) ? std::min<int>(category, kSourceSynthesisLast) : category;
      if (source.tableCount > 0) {
        PlayScanHeld(source.tables, source.scanSpeed, source.tableCount, code, kind);
      } else {
        PlaySplitHeld(source.left, source.right, source.frames, category == kCategorySingleCycle, code, kind);
      }
      return;
    }
    message = kMsgNoData;
  }
  ShowMessage(message);
}
