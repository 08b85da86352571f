#include "wavetable/xform_file.h"

#include <vector>

#include "core/checked_alloc.h"
#include "core/message_codes.h"
#include "files/folder_table.h"
#include "files/wave_writer.h"
#include "wavetable/payload.h"

namespace {

// Header, "smpl" image and the two channels of the used slices; false for
// an empty table.
bool PrepareXformWave(const XformTable& table, WaveHeader& header, SamplerBlock& block, std::vector<float>& left,
                      std::vector<float>& right) {
  const int slices = XformTableAllocated(table) ? XformUsedSlices(table) : 0;
  if (slices == 0) return false;
  const size_t frames = static_cast<size_t>(slices) * kXformSliceLength;

  header.formatTag = kFormatFloat;
  header.bitsPerSample = 32;
  header.channels = 2;
  header.dataSize = static_cast<uint32_t>(frames * 2 * sizeof(float));
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_XFORM);
  WriteXformPayload(block.bytes, table.bandProfile);

  CheckedAlloc(left, frames);
  CheckedAlloc(right, frames);
  for (size_t i = 0; i < frames; ++i) {
    left[i] = table.noise[2 * i];
    right[i] = table.noise[2 * i + 1];
  }
  return true;
}

}  // namespace

MessageCode WriteXformWave(AppGlobals& app, const std::string& fileName, const XformTable& table) {
  WaveHeader header;
  SamplerBlock block;
  std::vector<float> left;
  std::vector<float> right;
  if (!PrepareXformWave(table, header, block, left, right)) return kMsgNoData;
  const int status = WriteWaveFile(app, fileName, kCategoryXformWav, header, block, left, right);
  return status == kMsgDone ? kMsgDone : kMsgAccessDenied;
}

std::vector<uint8_t> EncodeXformWave(const XformTable& table) {
  WaveHeader header;
  SamplerBlock block;
  std::vector<float> left;
  std::vector<float> right;
  if (!PrepareXformWave(table, header, block, left, right)) return {};
  return EncodeWaveFile(header, block, left, right);
}

MessageCode LoadXformWave(AppGlobals& app, const LibraryEntry& entry, XformWorkspace& workspace,
                           const ProgressHooks& hooks) {
  XformTable& table = workspace.table;
  if (!XformTableAllocated(table)) return kMsgNoData;
  XformFileData file;
  file.samples = std::span<float>(table.noise);
  SampleDescriptor descriptor;
  // The loader touches the noise buffer only once the file has been accepted.
  if (LoadXformFile(app, entry, file, descriptor) != kMsgDone) return kMsgAccessDenied;
  table.speed = ValidXformSpeed(file.speed);
  return LoadXformSource(workspace, static_cast<int64_t>(file.frames), entry.name, hooks);
}
