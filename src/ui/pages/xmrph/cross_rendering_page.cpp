#include "ui/pages/xmrph/cross_rendering_page.h"

#include <vector>

#include "audio/source_kinds.h"
#include "core/kept_for_run.h"
#include "core/message_codes.h"
#include "modules/cross_rendering.h"
#include "ui/hold_to_play.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/pages/xmrph/xmrph_module.h"

namespace {

enum Action { kBits = 1, kLevel, kPlayOutput };

constexpr PageButton kButtons[] = {
    {6, 0, "BITS", kBits},           {8, 0, "LEVEL", kLevel},           {10, 0, "fSTORE", kApplyAction},
    {11, 0, "fCANCEL", kCancelAction}, {8, 1, "pOUTPUT", kPlayOutput},
};

constexpr int kBoxLeft = 5;
constexpr int kBoxRight = 1019;
constexpr int kResultTop = 102;
constexpr int kResultBottom = 394;
constexpr int kPreviewTop = 398;
constexpr int kPreviewBottom = 688;
constexpr int kNameChars = 21;
constexpr int kModeChars = 10;

CrossLevelMode KeptLevel() { return gKept.crossLevelMode == 0 ? CrossLevelMode::FullRange : CrossLevelMode::Unchanged; }

void ShowSettings(const XmrphModule& module) {
  DrawStatusField(0, 0, "RAM A:", module.ramNameA.substr(0, kNameChars), kNameChars);
  DrawStatusField(0, 1, "RAM B:", module.ramNameB.substr(0, kNameChars), kNameChars);
  DrawStatusField(0, 2, "DISK:", RamNameOf(module.renderPath).substr(0, kNameChars), kNameChars);
  DrawStatusField(1, 0, "BITS PER SAMPLE:", BitsModeText(gKept.crossBitsMode), kModeChars);
  DrawStatusField(1, 1, "LEVEL ALIGNMENT:", gKept.crossLevelMode == 0 ? "FULL RANGE" : "UNCHANGED", kModeChars);
  DrawStatusValue(2, 0, "CHANNELS:", "%d", static_cast<int32_t>(module.channels), 1);
}

void DrawPreview(const XmrphModule& module) {
  std::vector<float> left, right;
  RenderCrossPreview(module.cross, KeptLevel(), left, right);
  DrawSignalPanel(kBoxLeft, kPreviewTop, kBoxRight, kPreviewBottom, "OUTPUT PREVIEW <LEVEL ALIGNED>", left, right);
}

void Draw(PageRun& run) {
  const XmrphModule& module = *XmrphOf(run);
  ShowSettings(module);
  DrawSignalPanel(kBoxLeft, kResultTop, kBoxRight, kResultBottom, "RESYNTHESIS RESULT", module.cross.outLeft,
                  module.cross.outRight);
  DrawPreview(module);
}

void Act(PageRun& run, int action, const PageEvent&) {
  XmrphModule& module = *XmrphOf(run);
  switch (action) {
    case kBits:
      gKept.crossBitsMode = NextBitsMode(gKept.crossBitsMode);
      ShowSettings(module);
      return;
    case kLevel:
      gKept.crossLevelMode = 1 - gKept.crossLevelMode;
      ShowSettings(module);
      DrawPreview(module);
      return;
    case kPlayOutput: {
      std::vector<float> left, right;
      RenderCrossPreview(module.cross, KeptLevel(), left, right);
      PlaySplitHeld(left, right, static_cast<int64_t>(left.size()), false, ButtonCode(8, 1), kSourceRamData);
      return;
    }
    case kApplyAction: {
      CrossRenderOptions options;
      options.level = KeptLevel();
      options.bitsMode = gKept.crossBitsMode;
      options.channels = module.channels;
      run.Finish(WriteRenderedFile(module.renderPath, BuildCrossWaveFile(module.cross, options)));
      return;
    }
    default:
      return;
  }
}

}  // namespace

const Page kCrossRenderingPage = {
    .title = "FILE RENDERING", .number = "1.1.0", .buttons = kButtons, .draw = Draw, .act = Act};

int RunXmrphRendering(PageRun& run, const std::string& path) {
  XmrphModule* module = XmrphOf(run);
  if (!module || !module->cross.HasOutput()) return kMsgNoData;
  module->renderPath = path;
  PageRun rendering;
  rendering.session = run.session;
  return RunPage(kCrossRenderingPage, rendering);
}
