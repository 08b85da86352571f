#include "ui/pages/sloop/sloop_module.h"


#include "core/message_codes.h"
#include "modules/loaded_sample.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/sound_pages.h"

void FlushSloopModule(SloopModule& module) {
  FlushLoopSynthesis(module.loop);
  module.ramName.clear();
  module.unityNote = 0;
  module.pitchFraction = 0;
  module.envelopeSegment = 0;
}

SloopModule* SloopOf(const PageRun& run) { return run.session ? run.session->sloop.get() : nullptr; }

int LoadSloopInput(PageRun& run, const std::string& path) {
  SloopModule* module = SloopOf(run);
  if (!module) return kMsgNoData;
  // The file is read first: one that cannot be loaded leaves the RAM as it
  // was.
  LoadedSample sample;
  const int loaded = LoadSampleAtPath(path, sample);
  if (loaded != kMsgDone) return loaded;
  FlushSloopModule(*module);
  const std::string name = RamNameOf(path);
  const MessageCode code = LoadLoopInputFromSample(module->loop, sample.left, sample.right, sample.descriptor, name);
  if (code != kMsgDone && code != kMsgNone) return code;
  module->ramName = name;
  module->unityNote = sample.descriptor.unityNote;
  module->pitchFraction = sample.descriptor.pitchFraction;
  return kMsgDone;
}
