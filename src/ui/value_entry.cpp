#include "ui/value_entry.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "core/app_globals.h"
#include "core/message_codes.h"
#include "files/library_paths.h"
#include "ui/input.h"
#include "ui/keypad.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"

namespace {

constexpr int kAppendBufferChars = 160;
constexpr int kNameColumn = 2;
constexpr int kNameRow = 0;
constexpr int kNameWidth = 21;
constexpr const char* kNameLabel = "DISK:";

constexpr std::array<const char*, 19> kCategoryExtensions = {
    "", ".WAV", ".WAV", ".WAV", ".WT", ".SYX", ".EFE", ".WT", ".WTS", ".WT", ".WAV", "", "", ".WAV", "", "", "", "", ""};

enum class EntryEnd { Escape, Return };

// What an entry does with the keys of its keypad.
struct EntryRules {
  size_t maxChars = 0;
  bool digitsOnly = true;
};

bool Accepts(const EntryRules& rules, const std::string& text, uint8_t character) {
  if (text.size() >= rules.maxChars) return false;
  if (rules.digitsOnly) return character >= '0' && character <= '9' && text != "0";
  return true;
}

// Reads keypad input until ESC or RETURN, editing the text and redrawing
// its field after each accepted key.
EntryEnd EditText(const Keypad& keypad, const EntryRules& rules, std::string& text, int column, int row,
                  std::string_view label, int width) {
  while (true) {
    const uint8_t character = ReadKeypad(keypad);
    if (character == 0) {
      IdleTick();
      continue;
    }
    const int cell = KeypadCellOf(keypad, character);
    if (cell < 0) continue;  // not on this keypad: ignored without feedback
    if (character == kEscapeChar || character == kReturnChar) {
      DrawKeypadCell(keypad, cell, true);
      return character == kEscapeChar ? EntryEnd::Escape : EntryEnd::Return;
    }
    if (character == kBackspaceChar) {
      if (text.empty()) continue;
      text.pop_back();
    } else if (Accepts(rules, text, character)) {
      text.push_back(static_cast<char>(character));
    } else {
      continue;
    }
    DrawKeypadCell(keypad, cell, true);
    ClearMessageLine();
    DrawStatusField(column, row, label, text, width);
  }
}

bool FileExistsInCategory(int category, const std::string& fileName) {
  const std::string path = CategoryFilePath(gApp, category, fileName);
  return access(path.c_str(), F_OK) == 0;
}

}  // namespace

std::string_view CategoryExtension(int category) {
  if (category < 0 || category >= static_cast<int>(kCategoryExtensions.size())) return {};
  return kCategoryExtensions[static_cast<size_t>(category)];
}

bool ValueEntry(int32_t& value, int maxDigits, int32_t maximum, int32_t minimum, int column, int row,
                std::string_view label) {
  Keypad keypad;
  BuildKeypad(keypad, 'N');
  DrawKeypadPanel(keypad, label, maximum, minimum);
  std::string text = std::to_string(value);
  uint8_t message = kMsgUseKeypad;
  std::string appended;
  const EntryRules rules{static_cast<size_t>(maxDigits > 0 ? maxDigits : 1), true};
  bool confirmed = false;
  while (true) {
    ShowMessage(message, appended);
    appended.clear();
    DrawStatusField(column, row, label, text, maxDigits + 1);
    if (EditText(keypad, rules, text, column, row, label, maxDigits + 1) == EntryEnd::Escape) break;
    if (text.empty()) {
      message = kMsgEmptyString;
      continue;
    }
    const long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (number >= minimum && number <= maximum) {
      value = static_cast<int32_t>(number);
      confirmed = true;
      break;
    }
    char buffer[kAppendBufferChars];
    std::snprintf(buffer, sizeof buffer, " <%lld>", number);
    appended = buffer;
    message = kMsgValueOutOfRange;
    text.clear();
  }
  ClearMainArea();
  return confirmed;
}

bool NameEntry(std::string& name, int fileKind, char keypadKind) {
  Keypad keypad;
  BuildKeypad(keypad, keypadKind);
  DrawKeypadPanel(keypad, kNameLabel, 0, 0);
  std::string text;
  uint8_t message = kMsgUseKeypad;
  std::string appended;
  const EntryRules rules{kNameEntryChars, false};
  bool confirmed = false;
  while (true) {
    ShowMessage(message, appended);
    appended.clear();
    DrawStatusField(kNameColumn, kNameRow, kNameLabel, text, kNameWidth);
    if (EditText(keypad, rules, text, kNameColumn, kNameRow, kNameLabel, kNameWidth) == EntryEnd::Escape) break;
    if (text.empty()) {
      message = kMsgEmptyString;
      continue;
    }
    std::string fullName = text;
    if (keypadKind == 'W') {
      fullName += CategoryExtension(fileKind);
      if (FileExistsInCategory(fileKind, fullName)) {
        char buffer[kAppendBufferChars];
        std::snprintf(buffer, sizeof buffer, " <%s>", fullName.c_str());
        appended = buffer;
        message = kMsgFileAlreadyExists;
        text.clear();
        continue;
      }
    }
    name = fullName;
    confirmed = true;
    break;
  }
  ClearMainArea();
  return confirmed;
}
