#include "ui/progress.h"

#include <algorithm>

#include "core/message_codes.h"
#include "ui/button_bar.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/message_line.h"

namespace {

constexpr int kLabelRight = 686;
constexpr int kLineTop = 692;
constexpr int kBarLeft = 687;
constexpr int kBarTop = 696;
constexpr int kBarRight = 1021;
constexpr int kBarBottom = 704;
constexpr int kCancelButtonCode = 12;

int gWidthLast = kNoProgressBar;

void RemoveBar() {
  ShowProgress(nullptr, 0, 0);
  ClearButtons();
}

}  // namespace

int ProgressWidth() { return gWidthLast; }

void ShowProgress(const char* label, double value, double maximum) {
  if (!label) {
    gWidthLast = kNoProgressBar;
    ClearMessageLine();
    return;
  }
  int width = 0;
  // A value beyond the maximum (or below 0) keeps the bar inside its frame.
  if (maximum > 0) width = std::clamp(static_cast<int>(value * kProgressBarWidth / maximum), 0, kProgressBarWidth);
  if (width == gWidthLast) return;
  if (gWidthLast == kNoProgressBar) {
    DrawText(kLabelRight, kLineTop, label, 'R');
    DrawFrame(kLabelRight, 694, 1022, 705);
  }
  HoldRepaint();
  gWidthLast = width;
  FillBox(kBarLeft, kBarTop, kBarRight, kBarBottom);
  SetPattern(1, PaletteColour(kDim));
  FillBox(kBarLeft, kBarTop, kBarLeft + 1 + width, kBarBottom);
  FlushRegion(kBarLeft, kBarTop, kBarRight, kBarBottom);
  SetPaper(PaletteColour(kBackground));
}

bool CalcProgress(int64_t done, int64_t total, uint8_t& result, const char* label) {
  if (done == 0) {
    ClearButtons();
    SetButton(11, 0, "fCANCEL");
    uint8_t message = kMsgCalculating;
    ShowMessage(message);
  }
  if (done >= total) {
    result = kMsgDone;
    RemoveBar();
    return true;
  }
  uint8_t code = kNoEvent;
  if (PollInput(false, false) && TranslateButton(code) == kCancelButtonCode) {
    result = kMsgAborted;
    RemoveBar();
    return true;
  }
  ShowProgress(label, static_cast<double>(done), static_cast<double>(total));
  return false;
}

ProgressHooks CalcProgressHooks(uint8_t& result) {
  result = kMsgNone;
  return {[&result](const char* label, int64_t done, int64_t total) {
    if (result == kMsgAborted) return true;  // a stop already asked for
    return CalcProgress(done, total, result, label ? label : kCalculationProgressLabel) && result == kMsgAborted;
  }};
}
