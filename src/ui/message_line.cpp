#include "ui/message_line.h"

#include <array>

#include "ui/draw.h"

namespace {

constexpr int kLineTop = 692;
constexpr int kLineBottom = 708;
constexpr int kTextLeft = 2;

constexpr std::array<const char*, kMessageCount> kMessageTexts = {
    "",
    "MIN VALUE",
    "MAX VALUE",
    "DONE",
    "ON SCREEN",
    "NO LOOP DATA",
    "LOOPING NOT REQUIRED",
    "ENVELOPE IS FLAT",
    "NO DATA",
    "LOOKING FOR UPDATE DATA, PLEASE WAIT",
    "UPDATE COMPLETE",
    "ACCESS DENIED",
    "INSTALLING UPDATE, PLEASE WAIT",
    "SINGLE PAGE",
    "PREPARING CALCULATIONS, PLEASE WAIT",
    "UNDO LIST EMPTY",
    "SOME FILES COULD NOT BE DELETED",
    "NO FILES IN DIRECTORY",
    "ERROR MOVING DIRECTORY",
    "NO FILE SELECTED",
    "FILE FOUND BUT DAMAGED, MOVED TO RECYCLE BIN",
    "CALCULATING, PLEASE WAIT",
    "MINIMUM ANALYSIS RANGE <4097 SAMPLES>",
    "FILE NOT FOUND",
    "USE KEYPAD OR KEYBOARD, PRESS RETURN TO CONFIRM OR ESC TO LEAVE",
    "ABORTED",
    "FILE ALREADY EXISTS",
    "EQUAL FILE LENGTH, PADDING NOT REQUIRED",
    "VALUE OUT OF RANGE",
    "NORMAL BASE, FULL TABLE WILL BE WRITTEN <WILL WORK FOR MOST OF THE PRODUCTS>",
    "ALTERNATE BASE, NUMBER OF SLICES IS TRUNCATED TO A MULTIPLE OF 64 <USE ONLY IF REQUIRED>",
    "DELETE FILE<S>?",
    "REPLACE FILE?",
    "EXIT TO HOST?",
    "REBOOT MACHINE?",
    "SHUT DOWN MACHINE?",
    "TREAT FILE AS SCANABLE WAVETABLE?",
    "PATH IS TOO LONG",
    "",
    "CHOOSE 2 FILES FOR ANALYSIS",
    "NOTHING TO RESET",
    "RESET TO DEFAULT?",
    "PLAYING FILE",
    "PLAYING RAM DATA",
    "PLAYING ANALYSIS FUNDAMENTAL",
    "NO MIDI DEVICES FOUND",
    "",
    "CLOSE ALL OPENED FILES BEFORE MOVING A DIRECTORY!",
    "INSTALL PATH CAN NOT BE SET AS USER DEFINED PATH, USE RESET<> INSTEAD",
    "UPDATE AVAILABLE",
    "SOUND DEVICE NOT AVAILABLE",
    "NO DEVICE",
    "SINGLE DEVICE",
    "EMPTY STRING OR VALUE",
    "UPDATING FILE SYSTEM, PLEASE WAIT",
    "CASCADING DIRECTORIES NOT ALLOWED",
    "SOURCE CONTAINS UNEMPTY FOLDERS OR ACCESS DENIED, MOVING ABORTED",
    "CONFLICTING FILE NAMES OR LOCKED FILES, MOVING ABORTED",
    "FILL ENTIRE TABLE OR INSERT TO A CERTAIN SLOT?",
};

}  // namespace

std::string_view MessageText(int number) {
  if (number < 0 || number >= kMessageCount) return {};
  return kMessageTexts[static_cast<size_t>(number)];
}

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
