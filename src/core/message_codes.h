#pragma once
#include <cstdint>

// The numbers of the message line. Library operations, engines and pages
// return them; the screen turns them into text. The texts themselves live
// with the message line in ui/.
enum MessageCode : uint8_t {
  kMsgNone = 0,  // only "MESSAGE: " and the appended text
  kMsgMinValue = 1,
  kMsgMaxValue = 2,
  kMsgDone = 3,
  kMsgOnScreen = 4,
  kMsgNoLoopData = 5,
  kMsgLoopingNotRequired = 6,
  kMsgEnvelopeIsFlat = 7,
  kMsgNoData = 8,
  kMsgLookingForUpdate = 9,
  kMsgUpdateComplete = 10,
  kMsgAccessDenied = 11,
  kMsgInstallingUpdate = 12,
  kMsgSinglePage = 13,
  kMsgPreparingCalculations = 14,
  kMsgUndoListEmpty = 15,
  kMsgSomeFilesNotDeleted = 16,
  kMsgNoFilesInDirectory = 17,
  kMsgErrorMovingDirectory = 18,
  kMsgNoFileSelected = 19,
  kMsgFileDamagedMoved = 20,
  kMsgCalculating = 21,
  kMsgMinimumAnalysisRange = 22,
  kMsgFileNotFound = 23,
  kMsgUseKeypad = 24,
  kMsgAborted = 25,
  kMsgFileAlreadyExists = 26,
  kMsgEqualFileLength = 27,
  kMsgValueOutOfRange = 28,
  kMsgNormalBase = 29,
  kMsgAlternateBase = 30,
  kMsgDeleteFiles = 31,
  kMsgReplaceFile = 32,
  kMsgExitToHost = 33,
  kMsgRebootMachine = 34,
  kMsgShutDownMachine = 35,
  kMsgTreatAsScanable = 36,
  kMsgPathTooLong = 37,
  kMsgPlain38 = 38,  // only the prefix and the appended text
  kMsgChooseTwoFiles = 39,
  kMsgNothingToReset = 40,
  kMsgResetToDefault = 41,
  kMsgPlayingFile = 42,
  kMsgPlayingRamData = 43,
  kMsgPlayingFundamental = 44,
  kMsgNoMidiDevices = 45,
  kMsgPlain46 = 46,  // only the prefix and the appended text
  kMsgCloseFilesBeforeMoving = 47,
  kMsgInstallPathNotUserPath = 48,
  kMsgUpdateAvailable = 49,
  kMsgSoundDeviceNotAvailable = 50,
  kMsgNoDevice = 51,
  kMsgSingleDevice = 52,
  kMsgEmptyString = 53,
  kMsgUpdatingFileSystem = 54,
  kMsgCascadingDirectories = 55,
  kMsgSourceNotEmpty = 56,
  kMsgConflictingNames = 57,
  kMsgFillOrInsert = 58,
};

inline constexpr int kMessageCount = 59;
