#include "ui/confirm.h"

#include "ui/button_bar.h"
#include "ui/input.h"
#include "ui/message_line.h"

namespace {

constexpr int kYesColumn = 10;
constexpr int kNoColumn = 11;
constexpr uint8_t kYesCode = kYesColumn + 1;

}  // namespace

bool Confirm(std::string_view yesLabel, std::string_view noLabel, uint8_t message) {
  ClearButtons();
  SetButton(kYesColumn, 0, yesLabel);
  SetButton(kNoColumn, 0, noLabel);
  ShowMessage(message);
  uint8_t code = kNoEvent;
  while (code == kNoEvent) {
    // The question stays on the line while ignored keys are pressed.
    if (PollInput(false, false)) TranslateButton(code);
    if (code != kNoEvent) break;
    IdleTick(&code);
  }
  ClearMessageLine();
  ClearButtons();
  return code == kYesCode;
}
