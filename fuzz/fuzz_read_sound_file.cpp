// libFuzzer target for the universal reader. The first input byte picks the
// file name (and so the branch: WAV, WT, SYX, EFE, WTS or an unknown
// extension) and the single-cycle rule; the rest is the file. Each input is
// read in properties mode and in load mode, and whatever loads is loaded:
// samples, XFORM tables, and VORTA tables of every format (categories 3..10).
#include <stdio.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/folder_table.h"
#include "files/sample_loader.h"
#include "files/wave_reader.h"
#include "formats/table_format_readers.h"
#include "formats/vorta_import.h"
#include "wavetable/partial_table.h"
#include "wavetable/ram_wavetable.h"

namespace {

constexpr const char* kNames[] = {"F.WAV", "f.wav", "F.WT", "F.SYX", "F.EFE", "F.WTS", "F.TXT", "NODOT"};
constexpr size_t kNameCount = sizeof kNames / sizeof kNames[0];
constexpr size_t kSampleFrames = 8192;       // fewer than many files claim: loads must stop at the buffer
constexpr size_t kXformFloats = 2 * 262144;  // two stereo slices

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RegisterTableFormatReaders();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const char* name = kNames[data[0] % kNameCount];
  const ReadRules rules{(data[0] & 0x80) == 0};
  std::vector<uint8_t> bytes(data + 1, data + size);
  FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
  if (!file) return 0;

  FileInfo info;
  const int16_t category = ReadSoundFile(file, name, &info, nullptr, nullptr, rules);
  if (info.remark.size() >= kRemarkCapacity || info.length.size() >= kLengthCapacity ||
      info.count.size() >= kCountCapacity || info.family.size() >= kFamilyCapacity ||
      info.slot.size() >= kSlotCapacity || info.device.size() >= kDeviceCapacity) {
    __builtin_trap();
  }

  rewind(file);
  WaveHeader header;
  SamplerBlock block;
  if (ReadSoundFile(file, name, nullptr, &header, &block, rules) != category) __builtin_trap();

  rewind(file);
  SampleDescriptor descriptor;
  if (category == kCategorySample || category == kCategorySingleCycle) {
    static std::vector<float> left(kSampleFrames), right(kSampleFrames);
    LoadSampleStream(file, name, category, left, right, descriptor, rules);
  } else if (category == kCategoryXformWav) {
    static std::vector<float> noise(kXformFloats);
    XformFileData table;
    table.samples = noise;
    LoadXformStream(file, name, table, descriptor, rules);
  } else if (IsVortaTableCategory(category)) {
    PartialTable table;
    int32_t stretch = 0;
    if (!LoadVortaStream(file, name, category, table, stretch, rules)) __builtin_trap();
    if (stretch < kMinStretch || stretch > kMaxStretch) __builtin_trap();
    for (int16_t code : table.codes)
      if (code < -kMaxCode || code > kMaxCode) __builtin_trap();
  }
  fclose(file);
  return 0;
}
