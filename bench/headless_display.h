#pragma once
// The headless canvas the drawing benchmarks draw on: opened once per
// program, in VORTA's colours, with the drawn texts not recorded (a
// benchmark draws them thousands of times).
#include "core/app_globals.h"
#include "platform/headless/headless_platform.h"
#include "ui/display.h"
#include "ui/draw.h"

inline void OpenHeadlessDisplay() {
  static bool open = false;
  if (open) return;
  open = true;
  ResetHeadless();
  Headless().recordTexts = false;
  gApp.programState = STATE_VORTA;
  BuildIdentityStrings(gApp);
  StartDisplay();
  ApplyColourMode();
}
