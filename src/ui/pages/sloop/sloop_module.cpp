#include "ui/pages/sloop/sloop_module.h"

#include <cstdio>
#include <filesystem>

#include "core/app_globals.h"
#include "core/message_codes.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "files/wave_reader.h"
#include "modules/loaded_sample.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/page_support.h"

void FlushSloopModule(SloopModule& module) {
  FlushLoopSynthesis(module.loop);
  module.ramName.clear();
  module.unityNote = 0;
  module.pitchFraction = 0;
  module.envelopeSegment = 0;
}

SloopModule* SloopOf(const PageRun& run) { return run.session ? run.session->sloop.get() : nullptr; }

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

int LoadSloopInput(PageRun& run, const std::string& path) {
  SloopModule* module = SloopOf(run);
  if (!module) return kMsgNoData;
  FlushSloopModule(*module);
  LoadedSample sample;
  const int loaded = LoadSampleAtPath(path, sample);
  if (loaded != kMsgDone) return loaded;
  const std::string name = RamNameOf(path);
  const MessageCode code = LoadLoopInputFromSample(module->loop, sample.left, sample.right, sample.descriptor, name);
  if (code != kMsgDone && code != kMsgNone) return code;
  module->ramName = name;
  module->unityNote = sample.descriptor.unityNote;
  module->pitchFraction = sample.descriptor.pitchFraction;
  return kMsgDone;
}
