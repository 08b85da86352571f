#include "ui/message_line.h"

#include "ui/draw.h"

namespace {

constexpr int kLineTop = 692;
constexpr int kLineBottom = 708;
constexpr int kTextLeft = 2;

}  // namespace

std::string ComposeMessage(int number, std::string_view appended) {
  std::string line = kMessagePrefix;
  line += MessageText(number);
  line += appended;
  if (line.size() > kMessageLineChars) line.resize(kMessageLineChars);
  return line;
}

void ClearMessageLine() { FillBox(0, kLineTop, 1024, kLineBottom); }

void ShowMessage(uint8_t& number, std::string_view appended) {
  ClearMessageLine();
  if (number > 0) DrawText(kTextLeft, kLineTop, ComposeMessage(number, appended), 'L');
  number = 0;
}

void ShowMessageText(std::string_view text) {
  ClearMessageLine();
  std::string line = kMessagePrefix;
  line += text;
  if (line.size() > kMessageLineChars) line.resize(kMessageLineChars);
  DrawText(kTextLeft, kLineTop, line, 'L');
}
