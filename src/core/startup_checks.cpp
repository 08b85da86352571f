#include "core/startup_checks.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "core/fatal_error.h"
#include "core/phase_table.h"
#include "platform/file_system_facts.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/single_instance.h"

namespace {

constexpr const char* kZipMarker = ".zip";
constexpr size_t kZipTailChars = 5;
constexpr const char* kBackupMarker = "/system/backup";
constexpr const char* kFirstRunCaption = "Welcome to Sonic-Loom!";

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

// An archive folder shows ".zip" in the last five characters of the path;
// a shorter path is tested whole.
bool EndsInsideArchive(const std::string& installDir) {
  const size_t start = installDir.size() > kZipTailChars ? installDir.size() - kZipTailChars : 0;
  return installDir.find(kZipMarker, start) != std::string::npos;
}

SingleInstance gInstance;
std::string gInstanceName;

}  // namespace

SingleInstance& ProgramInstance() { return gInstance; }

void SetSingleInstanceName(const std::string& name) { gInstanceName = name; }

void ApplyHostFacts(const HostFacts& facts, AppGlobals& app) {
  app.physicalMemory = facts.physicalMemory;
  app.processorCount = static_cast<uint16_t>(std::clamp(facts.processorCount, 1, 65535));
  app.applianceMode = false;
  if (!facts.nameKnown) return;
  app.hostName = facts.hostName.substr(0, 31);
  if (app.hostName.size() > kHostNameShownChars) app.hostName = app.hostName.substr(0, kHostNameShownChars - 1) + "~";
  // Host names are usually lower case here, so the appliance name is matched
  // without regard to case.
  app.applianceMode = EqualsIgnoringCase(app.hostName, kApplianceHostName);
}

void SplitProgramPath(const std::string& programPath, std::string& installDir, std::string& exeName) {
  const size_t slash = programPath.rfind('/');
  if (slash == std::string::npos) {
    installDir.clear();
    exeName = programPath;
  } else {
    installDir = programPath.substr(0, slash);
    exeName = programPath.substr(slash + 1);
  }
  if (exeName.size() > kMaxExeNameChars) exeName.resize(kMaxExeNameChars);
}

StartupVerdict EvaluateStartupChecks(const StartupFacts& facts) {
  StartupVerdict verdict;
  auto fail = [&verdict](int code) {
    verdict.fatalCode = code;
    return verdict;
  };
  if (facts.physicalMemory < kMinPhysicalMemory) return fail(kFatalMemoryTooSmall);
  if (facts.programPath.empty() || facts.programPath.size() > kMaxProgramPathChars) return fail(kFatalInstallPath);
  SplitProgramPath(facts.programPath, verdict.installDir, verdict.exeName);
  if (verdict.exeName != kExecutableName) return fail(kFatalRenamed);
  if (EndsInsideArchive(verdict.installDir)) return fail(kFatalInsideArchive);
  if (facts.installDirOnNetwork) return fail(kFatalNetworkShare);
  if (verdict.installDir.find(kBackupMarker) != std::string::npos) return fail(kFatalBackupFolder);
  if (!facts.screen.known || facts.screen.width < kMinScreenWidth || facts.screen.height < kMinScreenHeight)
    return fail(kFatalScreenTooSmall);
  // Short (8.3) names do not exist here, so that check always passes.
  if (!facts.installDirWritable) return fail(kFatalWriteProtected);
  if (facts.phaseTableBytes != kPhaseTableBytes) return fail(kFatalResource);
  return verdict;
}

StartupFacts GatherStartupFacts(uint64_t physicalMemory) {
  StartupFacts facts;
  facts.physicalMemory = physicalMemory;
  facts.programPath = ExecutablePath();
  std::string installDir, exeName;
  SplitProgramPath(facts.programPath, installDir, exeName);
  const std::string folder = installDir.empty() ? "/" : installDir;
  facts.installDirOnNetwork = IsOnNetworkFileSystem(folder);
  facts.screen = QueryScreenSize();
  facts.installDirWritable = IsFolderWritable(folder);
  facts.phaseTableBytes = sizeof(kPhaseTableResource);
  return facts;
}

std::string FirstRunText(const std::string& installDir) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "Some preparation is required:\n\n\nStep 1: Sonic-Loom will set up it's directory structure in the "
                "following root path:\n\n     %s\n\nStep 2: All valid sound files found in the root path will be "
                "moved to their corresponding subdirectories.\n\n\nPress OK to continue or CANCEL to abort.",
                installDir.c_str());
  return text;
}

void RunStartupChecks(AppGlobals& app) {
  ApplyHostFacts(QueryHostFacts(), app);
  BuildIdentityStrings(app);
  const std::string& instanceName = gInstanceName.empty() ? app.windowClassName : gInstanceName;
  if (ClaimSingleInstance(gInstance, instanceName) == InstanceClaim::AnotherRunning) EndProcess(0);
  const StartupFacts facts = GatherStartupFacts(app.physicalMemory);
  const StartupVerdict verdict = EvaluateStartupChecks(facts);
  app.installDir = verdict.installDir;
  app.exeName = verdict.exeName;
  if (verdict.fatalCode >= 0) FatalError(verdict.fatalCode);
  app.phaseTable = kPhaseTableResource;
  std::error_code error;
  if (std::filesystem::is_directory(app.installDir + "/system", error)) return;
  if (!AskOkCancel(kFirstRunCaption, FirstRunText(app.installDir))) EndProcess(0);
}
