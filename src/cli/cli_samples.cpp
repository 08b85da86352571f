#include "cli/cli_samples.h"

#include <cstdio>

#include "cli/cli_common.h"
#include "cli/cli_library.h"
#include "cli/cli_tables.h"
#include "core/message_codes.h"
#include "core/message_texts.h"
#include "files/folder_table.h"
#include "files/wave_reader.h"

namespace {

constexpr const char* kNotSample = " <NOT A SAMPLE>";

}  // namespace

std::string LoadCliSample(const std::string& path, const ReadRules& rules, LoadedSampleFile& sample) {
  const std::string refusal = InputRefusal(path);
  if (!refusal.empty()) return refusal;
  FileInfo info;
  const int category = TestSoundFile(path, &info, rules);
  if (category == kCategoryUnrecognized) return info.remark;
  WarnIfDataCutShort(path, category);
  if (category != kCategorySample && category != kCategorySingleCycle) {
    return std::string(MessageText(kMsgNoData)) + kNotSample;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::string(MessageText(kMsgAccessDenied));
  sample.left.assign(kMaxSampleFrames, 0.0f);
  sample.right.assign(kMaxSampleFrames, 0.0f);
  const bool loaded =
      LoadSampleStream(file, BaseName(path), category, sample.left, sample.right, sample.descriptor, rules);
  std::fclose(file);
  if (!loaded) return std::string(MessageText(kMsgNoData));
  return {};
}

std::string SampleOutputPath(const std::string& outDir, const std::string& name) {
  return outDir + "/" + ProgramFileStem(name) + CategoryExtension(kCategorySample);
}

bool WriteRendering(const std::string& outDir, const std::string& name, const std::vector<uint8_t>& bytes, bool force,
                    const std::string& source) {
  return WriteRunOutput(SampleOutputPath(outDir, name), bytes, force, source);
}
