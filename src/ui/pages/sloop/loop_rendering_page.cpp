#include "ui/pages/sloop/loop_rendering_page.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "audio/source_kinds.h"
#include "core/kept_for_run.h"
#include "core/message_codes.h"
#include "modules/loop_rendering.h"
#include "platform/clock.h"
#include "platform/window_link.h"
#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/hold_to_play.h"
#include "ui/input.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/pages/sloop/sloop_module.h"

namespace {

enum Action { kResetStart = 1, kBits, kLevel, kPlayOutput };

constexpr PageButton kButtons[] = {
    {4, 0, "LS_RESET", kResetStart}, {6, 0, "BITS", kBits},           {8, 0, "LEVEL", kLevel},
    {10, 0, "fSTORE", kApplyAction}, {11, 0, "fCANCEL", kCancelAction}, {8, 1, "pOUTPUT", kPlayOutput},
};

constexpr int kBoxLeft = 5;
constexpr int kBoxRight = 1019;
constexpr int kAdjustTop = 102;
constexpr int kAdjustBottom = 378;
constexpr int kPreviewTop = 382;
constexpr int kPreviewBottom = 688;
// The loop inside the adjustment box, one pixel per step of the offset.
constexpr int kLoopGraphX = 51;
constexpr int kLoopGraphWidth = kLoopOffsetMaxPixels + 1;
constexpr int kLoopGraphCentre = 272;
constexpr int kLoopGraphHalf = 66;
constexpr int kPercentMarksY = 160;
constexpr int kPercentStep = kLoopOffsetMaxPixels / 4;
constexpr const char* kPercentMarks[] = {"25 %", "50 %", "75 %", "100 %"};
// Where a drag moves the loop start.
constexpr int kDragLeft = 42;
constexpr int kDragRight = 981;
constexpr int kDragTop = 139;
constexpr int kDragBottom = 368;
constexpr int kNameChars = 21;
constexpr int kModeChars = 10;

LoopRenderOptions KeptOptions() {
  LoopRenderOptions options;
  options.startOffset = std::clamp<int32_t>(gKept.loopStartOffset, 0, kLoopStartOffsetMax);
  options.level = gKept.loopLevelMode == 0 ? LoopLevelMode::FullRange : LoopLevelMode::ToSource;
  options.bitsMode = gKept.loopBitsMode;
  return options;
}

int Channels(const LoopSynthesis& loop) { return loop.channels == 2 || loop.widened ? 2 : 1; }

void ShowSettings(const SloopModule& module) {
  DrawStatusField(0, 0, "RAM:", module.ramName.substr(0, kNameChars), kNameChars);
  DrawStatusField(0, 1, "DISK:", RamNameOf(module.renderPath).substr(0, kNameChars), kNameChars);
  DrawStatusField(1, 0, "BITS PER SAMPLE:", BitsModeText(gKept.loopBitsMode), kModeChars);
  DrawStatusField(1, 1, "LEVEL ALIGNMENT:", gKept.loopLevelMode == 0 ? "FULL RANGE" : "TO SOURCE", kModeChars);
  DrawStatusValue(2, 0, "CHANNELS:", "%d", static_cast<int32_t>(Channels(module.loop)), 1);
}

void DrawPreview(SloopModule& module) {
  RenderLoopPreview(module.loop, KeptOptions(), module.previewLeft, module.previewRight);
  DrawSignalPanel(kBoxLeft, kPreviewTop, kBoxRight, kPreviewBottom, "OUTPUT PREVIEW <LEVEL ALIGNED>",
                  module.previewLeft, module.previewRight);
}

void DrawStart(SloopModule& module) {
  DrawLoopOffsetBar(gKept.loopStartOffset);
  DrawPreview(module);
}

void Draw(PageRun& run) {
  SloopModule& module = *SloopOf(run);
  ShowSettings(module);
  DrawPanel(kBoxLeft, kAdjustTop, kBoxRight, kAdjustBottom, "LOOP START ADJUSTMENT");
  for (int mark = 0; mark < 4; ++mark) {
    DrawText(kLoopGraphX + kPercentStep * (mark + 1), kPercentMarksY, kPercentMarks[mark], 'M');
  }
  DrawSignalGraph(module.loop.outputLeft, module.loop.outputRight, kLoopGraphX, kLoopGraphCentre, kLoopGraphWidth,
                  kLoopGraphHalf);
  DrawStart(module);
}

void MoveStart(SloopModule& module, int32_t offset) {
  gKept.loopStartOffset = offset;
  DrawStart(module);
}

// Right and Left step the loop start by one, round the bar, while held.
PageEvent StepStart(PageRun& run, const PageEvent& event) {
  if (event.key != kKeyLeft && event.key != kKeyRight) return {};
  const int step = event.key == kKeyRight ? 1 : kLoopStartOffsetMax;  // -1 modulo 921
  RepeatWhileHeld([&] {
    MoveStart(*SloopOf(run), (gKept.loopStartOffset + step) % (kLoopStartOffsetMax + 1));
    return true;
  });
  return {};
}

// A drag in the adjustment band puts the loop start under the pointer.
PageEvent DragStart(PageRun& run, const PageEvent& event) {
  if (event.x < kDragLeft || event.x > kDragRight || event.y < kDragTop || event.y > kDragBottom) return {};
  auto follow = [&](int x) {
    const int32_t offset = std::clamp(x - kLoopGraphX, 0, static_cast<int>(kLoopStartOffsetMax));
    if (offset != gKept.loopStartOffset) MoveStart(*SloopOf(run), offset);
  };
  follow(event.x);
  while (!LeftReleased()) {
    FlushMouse();
    WaitForInput(10);
    follow(MouseLogicalX());
  }
  return {};
}

void Act(PageRun& run, int action, const PageEvent&) {
  SloopModule& module = *SloopOf(run);
  switch (action) {
    case kResetStart:
      MoveStart(module, 0);
      return;
    case kBits:
      gKept.loopBitsMode = NextBitsMode(gKept.loopBitsMode);
      ShowSettings(module);
      return;
    case kLevel:
      gKept.loopLevelMode = 1 - gKept.loopLevelMode;
      ShowSettings(module);
      DrawPreview(module);
      return;
    case kPlayOutput:
      PlaySplitHeld(module.previewLeft, module.previewRight, static_cast<int64_t>(module.previewLeft.size()), true,
                    ButtonCode(8, 1), kSourceRamData);
      return;
    case kApplyAction: {
      const std::vector<uint8_t> bytes =
          BuildLoopWaveFile(module.loop, KeptOptions(), module.unityNote, module.pitchFraction);
      run.Finish(WriteRenderedFile(module.renderPath, bytes));
      return;
    }
    default:
      return;
  }
}

}  // namespace

const Page kLoopRenderingPage = {.title = "FILE RENDERING",
                                 .number = "1.1.0",
                                 .buttons = kButtons,
                                 .draw = Draw,
                                 .act = Act,
                                 .held = StepStart,
                                 .mouse = DragStart};

int RunSloopRendering(PageRun& run, const std::string& path) {
  SloopModule* module = SloopOf(run);
  if (!module || !module->loop.HasOutput()) return kMsgNoData;
  module->renderPath = path;
  PageRun rendering;
  rendering.session = run.session;
  const int result = RunPage(kLoopRenderingPage, rendering);
  module->previewLeft = {};
  module->previewRight = {};
  return result;
}
