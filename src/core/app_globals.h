#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/program_state.h"
#include "core/settings_block.h"

inline constexpr int kCategoryCount = 19;       // slots of the folder table
inline constexpr int kUserPathMaxChars = 349;   // a stored user root, without terminator

inline constexpr const char* kProductName = "Sonic-Loom";
inline constexpr const char* kVersionText = "2.27";
inline constexpr const char* kExecutableName = "Sonic-Loom";
inline constexpr const char* kWindowClassName = "SonicLoomGDI";
inline constexpr const char* kPendingManualName = ".pending";
inline constexpr const char* kApplianceHostName = "SONICLOOM-PC";

// The one process-wide record. Read and written from the main thread only,
// except where the display thread says otherwise.
struct AppGlobals {
  ProgramState programState = STATE_FIRST_START;
  bool applianceMode = false;
  std::string hostName;          // at most 16 characters, or 15 and "~"
  uint16_t processorCount = 1;
  uint64_t physicalMemory = 0;
  std::string installDir;        // folder of the program file, no trailing '/'
  std::string exeName;           // file name of the program file
  std::string programTitle;      // "Sonic-Loom 2.27"
  std::string screenTitle;       // programTitle in upper case
  std::string windowClassName;
  std::string manualFileName;    // "Sonic-Loom.pdf"
  std::string pendingManualName; // ".pending"
  bool windowExists = false;     // the display window is up
  const float* phaseTable = nullptr;  // 65,536 phases in [0, 2 pi)
  SettingsBlock settings;
  std::array<std::string, kCategoryCount> folderUserPath;  // empty = default root
};

extern AppGlobals gApp;

// Fills the identity strings (titles, class name, manual names).
void BuildIdentityStrings(AppGlobals& app);
