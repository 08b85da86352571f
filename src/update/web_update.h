#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/settings_block.h"
#include "update/safe_replace.h"
#include "update/update_signature.h"

inline constexpr int kUpdateTimeoutMillis = 8000;
inline constexpr int kUpdateStepPauseMillis = 200;
// The silent check at start-up never holds the boot longer than this, even
// when the network is dead.
inline constexpr int kBootCheckBudgetMillis = 2 * kUpdateTimeoutMillis;
inline constexpr int kDownloadPieces = 1024;

// Where the update comes from: a short link that redirects to the update
// file, and the file's direct address.
struct UpdateSite {
  std::string primaryUrl;
  std::string fallbackUrl;
  int timeoutMillis = kUpdateTimeoutMillis;
  UpdatePublicKey key{};
};

// The addresses and key the program was built with; test builds take
// SONICLOOM_UPDATE_URL from the environment for both addresses.
UpdateSite ConfiguredUpdateSite();

// The files an update replaces, all in the program folder.
struct UpdateFiles {
  std::string installDir;
  std::string exeName;
  std::string manualName;
  std::string pendingManualName;  // in system/update

  std::string Executable() const { return installDir + "/" + exeName; }
  std::string Manual() const { return installDir + "/" + manualName; }
  std::string BackupFolder() const { return installDir + "/system/backup"; }
  std::string UpdateFolder() const { return installDir + "/system/update"; }
  std::string PendingManual() const { return UpdateFolder() + "/" + pendingManualName; }
};

// What the screen does with the procedure's progress; every part may be
// left empty (the silent check uses none).
struct UpdateReport {
  std::function<void(const std::string& line)> logLine;
  std::function<void(uint64_t done, uint64_t total)> progress;
  std::function<void(uint8_t message)> message;
  std::function<void(bool refused)> refuseClosing;
  ReplaceFault fault;  // tests make the replacement fail here
};

struct UpdateRun {
  SettingsBlock* settings = nullptr;
  UpdateFiles files;
  UpdateSite site;
  UpdateReport report;
};

// The program's own run: its settings, files and the configured site.
UpdateRun ProgramUpdateRun();

// The silent check (boot) or the interactive update. Returns the result
// text, preceded by ">" in the interactive case.
std::string CheckForUpdate(UpdateRun& run, bool boot);

// Copies a manual left pending by an update over the program's manual:
// "NO FILES TO REPLACE", "PDF LOCKED BY VIEWER" or "PDF REPLACED".
std::string ReplacePendingManual(const UpdateFiles& files);
