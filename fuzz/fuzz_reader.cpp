// libFuzzer target for one branch of the universal reader: FUZZ_EXTENSION
// (set per target in CMakeLists.txt: ".WAV", ".WT", ".SYX", ".EFE", ".WTS")
// gives the file name its extension and so the branch. The first input byte
// picks the name's case (bit 0) and the single-cycle rule (bit 7); the rest
// is the file. The reader gets it as a real file (a memfd), so that its
// seeks and reads cost what they cost on disk and a slow path shows up as a
// timeout. Each input is read in properties mode and in load mode, and
// whatever loads is loaded: samples, XFORM tables and VORTA tables.
#include <stdio.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/folder_table.h"
#include "files/sample_loader.h"
#include "files/wave_reader.h"
#include "formats/table_format_readers.h"
#include "formats/vorta_import.h"
#include "wavetable/partial_table.h"
#include "wavetable/ram_wavetable.h"

#ifndef FUZZ_EXTENSION
#error "FUZZ_EXTENSION must name the reader's extension, e.g. \".WT\""
#endif

namespace {

constexpr size_t kSampleFrames = 8192;       // fewer than many files claim: loads must stop at the buffer
constexpr size_t kXformFloats = 2 * 262144;  // two stereo slices

std::string FileName(uint8_t selector) {
  std::string name = std::string("F") + FUZZ_EXTENSION;
  if (selector & 1)
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// The bytes as a read-only stream over a file of their own.
FILE* OpenAsFile(const uint8_t* data, size_t size) {
  const int fd = memfd_create("fuzz-input", 0);
  if (fd < 0) return nullptr;
  size_t written = 0;
  while (written < size) {
    const ssize_t n = write(fd, data + written, size - written);
    if (n <= 0) {
      close(fd);
      return nullptr;
    }
    written += static_cast<size_t>(n);
  }
  FILE* file = lseek(fd, 0, SEEK_SET) == 0 ? fdopen(fd, "rb") : nullptr;
  if (!file) close(fd);
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RegisterTableFormatReaders();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string name = FileName(data[0]);
  const ReadRules rules{(data[0] & 0x80) == 0};
  FILE* file = OpenAsFile(data + 1, size - 1);
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
