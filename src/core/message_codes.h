#pragma once

// Numbers of the message line. Pages and library operations return them;
// the message line owns their texts.
enum MessageCode : int {
  kMsgNone = 0,
  kMsgMinValue = 1,
  kMsgMaxValue = 2,
  kMsgDone = 3,
  kMsgNoData = 8,
  kMsgAccessDenied = 11,
  kMsgSomeFilesNotDeleted = 16,
  kMsgNoFilesInDirectory = 17,
  kMsgErrorMovingDirectory = 18,
  kMsgNoFileSelected = 19,
  kMsgFoundButDamaged = 20,
  kMsgFileNotFound = 23,
  kMsgAborted = 25,
  kMsgFileAlreadyExists = 26,
  kMsgDeleteFilesQuestion = 31,
  kMsgReplaceFileQuestion = 32,
  kMsgPathTooLong = 37,
  kMsgNothingToReset = 40,
  kMsgResetToDefaultQuestion = 41,
  kMsgInstallPathAsUserPath = 48,
  kMsgEmptyStringOrValue = 53,
  kMsgUpdatingFileSystem = 54,
  kMsgCascadingDirectories = 55,
  kMsgSourceHasFolders = 56,
  kMsgConflictingNames = 57,
};
