#include "ui/prelisten.h"

#include "audio/play_calls.h"
#include "audio/playback_state.h"
#include "audio/source_kinds.h"
#include "core/app_globals.h"
#include "ui/hold_to_play.h"
#include "ui/input.h"

bool Prelisten(const PrelistenLoad& load, const PageEvent& listEvent, const BrowserList& list, uint8_t playCode) {
  if (listEvent.kind != EventKind::SelectionChanged || gApp.settings.prelistenOn == 0 || !ButtonStillHeld()) return false;
  if (list.selected < 0 || !load) return false;
  PrelistenSource source;
  if (!load(source)) return false;
  int kind = list.category;
  if (source.tableCount > 0) {
    if (source.tableCount < 2) {
      PlayTable(source.tables, 0, false);
      kind = kSourceWaveFile;
    } else {
      PlayScan(source.tables, source.scanSpeed, source.tableCount);
    }
  } else {
    const bool loop = kind == kSourceSingleCycle || source.frames < kMinPositionFrames;
    PlaySplit(source.left, source.right, source.frames, loop);
  }
  PlayInfo(playCode, kind);
  return SomethingPlays();
}
