#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/app_globals.h"
#include "platform/host_facts.h"
#include "platform/single_instance.h"

inline constexpr uint64_t kMinPhysicalMemory = 419430400;  // 400 MiB; the message names 512 MB
inline constexpr size_t kMaxProgramPathChars = 175;
inline constexpr size_t kMaxExeNameChars = 63;
inline constexpr size_t kHostNameShownChars = 16;

// Copies the host facts into the globals: memory, processors (at least 1),
// the display name (15 characters and "~" when longer than 16) and the
// appliance mode.
void ApplyHostFacts(const HostFacts& facts, AppGlobals& app);

// Everything the start-up checks look at, gathered from the system first so
// that the verdict is a pure function.
struct StartupFacts {
  uint64_t physicalMemory = 0;
  std::string programPath;          // full path of the program file
  bool installDirOnNetwork = false;
  ScreenSize screen;
  bool installDirWritable = true;
  size_t phaseTableBytes = 0;
};

struct StartupVerdict {
  int fatalCode = -1;  // -1: every check passed
  std::string installDir;
  std::string exeName;
};

// Splits a program path at its last '/' into folder and file name.
void SplitProgramPath(const std::string& programPath, std::string& installDir, std::string& exeName);

// The checks in their order; the first failing one decides.
StartupVerdict EvaluateStartupChecks(const StartupFacts& facts);

// Reads the facts of this computer and program file.
StartupFacts GatherStartupFacts(uint64_t physicalMemory);

// Host information read, start-up checks and the first-run question, as the
// program runs them at launch. Ends the process on any refusal.
void RunStartupChecks(AppGlobals& app);

// The claim on the single-instance name, held from the checks until the
// process ends; the display thread answers raise requests through it.
SingleInstance& ProgramInstance();

// The name the single-instance claim uses; the window class name unless
// set. Tests running side by side give each process a name of its own.
void SetSingleInstanceName(const std::string& name);

// The first-run question's text for the given program folder.
std::string FirstRunText(const std::string& installDir);
