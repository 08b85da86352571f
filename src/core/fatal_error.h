#pragma once
#include <string>

#include "core/app_globals.h"

// Causes that end the process with a message box.
enum FatalCode : int {
  kFatalShortNames = 0,
  kFatalWriteProtected = 1,
  kFatalScreenTooSmall = 2,
  kFatalOutOfMemory = 3,
  kFatalInstallPath = 4,
  kFatalWindowClass = 5,
  kFatalWindowThread = 6,
  kFatalThreadFailure = 7,
  kFatalInsideArchive = 8,
  kFatalBackupFolder = 9,
  kFatalNetworkShare = 10,
  kFatalRenamed = 11,
  kFatalResource = 12,
  kFatalMemoryTooSmall = 13,
};

inline constexpr int kFatalCodeCount = 14;
inline constexpr int kMinScreenWidth = 1024;
inline constexpr int kMinScreenHeight = 768;

// The full text of the box: the cause, two line breaks, the contact note.
std::string FatalErrorText(int code, const AppGlobals& app);

// Called by FatalError before its box when the display window exists, so the
// window closes and the settings are written first.
void SetFatalWindowCloser(void (*closer)());

// Shows the cause and ends the process with result 0. Never returns.
[[noreturn]] void FatalError(int code);
