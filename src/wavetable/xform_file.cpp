#include "wavetable/xform_file.h"

#include <vector>

#include "core/checked_alloc.h"
#include "core/message_codes.h"
#include "files/folder_table.h"
#include "files/wave_writer.h"
#include "wavetable/payload.h"

MessageCode WriteXformWave(AppGlobals& app, const std::string& fileName, const XformTable& table) {
  const int slices = XformTableAllocated(table) ? XformUsedSlices(table) : 0;
  if (slices == 0) return kMsgNoData;
  const size_t frames = static_cast<size_t>(slices) * kXformSliceLength;

  WaveHeader header;
  SamplerBlock block;
  header.formatTag = kFormatFloat;
  header.bitsPerSample = 32;
  header.channels = 2;
  header.dataSize = static_cast<uint32_t>(frames * 2 * sizeof(float));
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_XFORM);
  WriteXformPayload(block.bytes, table.bandProfile);

  std::vector<float> left;
  std::vector<float> right;
  CheckedAlloc(left, frames);
  CheckedAlloc(right, frames);
  for (size_t i = 0; i < frames; ++i) {
    left[i] = table.noise[2 * i];
    right[i] = table.noise[2 * i + 1];
  }
  const int status = WriteWaveFile(app, fileName, kCategoryXformWav, header, block, left, right);
  return status == kMsgDone ? kMsgDone : kMsgAccessDenied;
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
