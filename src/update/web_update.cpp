#include "update/web_update.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "core/app_globals.h"
#include "core/message_codes.h"
#include "platform/clock.h"
#include "platform/http.h"
#include "update/update_build_settings.h"
#include "update/update_file.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kExecutableMode = 0755;
constexpr uint32_t kManualMode = 0644;

int64_t RealMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The installed version as the comparison sees it: the text converted to a
// double, then narrowed to the file's 32-bit float.
float InstalledVersion() { return static_cast<float>(std::strtod(kVersionText, nullptr)); }

struct StreamCloser {
  void operator()(HttpStream* stream) const { HttpClose(stream); }
};
using Stream = std::unique_ptr<HttpStream, StreamCloser>;

// One run of the procedure: its report and the limits of every request.
class UpdateSession {
 public:
  UpdateSession(UpdateRun& run, bool boot) : run_(run), boot_(boot) {
    limits_.timeoutMillis = run.site.timeoutMillis;
    if (boot) limits_.deadlineMillis = RealMillis() + kBootCheckBudgetMillis;
  }

  std::string Run();

 private:
  void Step(const std::string& line) {
    if (!boot_ && run_.report.logLine) run_.report.logLine(line);
    SleepMillis(kUpdateStepPauseMillis);
  }
  void Message(uint8_t code) {
    if (run_.report.message) run_.report.message(code);
  }
  bool OpenUpdateFile();
  bool DownloadContent(const UpdateHeader& header, std::vector<uint8_t>& file);
  bool SignatureHolds(std::span<const uint8_t> file);
  std::string Install(const UpdateHeader& header, std::span<const uint8_t> content);

  UpdateRun& run_;
  bool boot_;
  HttpLimits limits_;
  HttpAccess access_ = HttpAccess::kDirect;
  Stream stream_;
};

bool UpdateSession::OpenUpdateFile() {
  const uint64_t maxBytes = kUpdateHeaderBytes + kMaxUpdateContentBytes;
  for (HttpAccess access : {HttpAccess::kDirect, HttpAccess::kSystemSettings}) {
    if (access == HttpAccess::kSystemSettings) {
      if (!HttpProxyConfigured()) break;
      Step(">OPENING URL <USING SYSTEM SETTINGS>");
    } else {
      Step(">OPENING URL <DIRECT CONNECTION>");
    }
    for (const std::string* url : {&run_.site.primaryUrl, &run_.site.fallbackUrl}) {
      stream_.reset(HttpOpenUrl(*url, access, limits_, maxBytes));
      if (stream_) {
        access_ = access;
        return true;
      }
    }
  }
  return false;
}

bool UpdateSession::DownloadContent(const UpdateHeader& header, std::vector<uint8_t>& file) {
  const uint64_t total = header.ContentBytes();
  if (total > kMaxUpdateContentBytes) return false;
  HttpLimitBody(stream_.get(), kUpdateHeaderBytes + total);
  const size_t piece = std::max<size_t>(1, static_cast<size_t>(total / kDownloadPieces));
  const size_t start = file.size();
  file.resize(start + total);
  uint64_t done = 0;
  while (done < total) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(piece, total - done));
    const size_t got = HttpRead(stream_.get(), file.data() + start + done, want);
    if (got == 0) break;
    done += got;
    if (run_.report.progress) run_.report.progress(done, total);
    SleepMillis(1);
  }
  // A body that goes on beyond what its parameter block announced is not
  // the file that block describes.
  return done == total && HttpAtCleanEnd(stream_.get());
}

bool UpdateSession::SignatureHolds(std::span<const uint8_t> file) {
  const std::string url = HttpFinalUrl(stream_.get()) + kSignatureSuffix;
  Stream signature(HttpOpenUrl(url, access_, limits_, kUpdateSignatureBytes));
  if (!signature) return false;
  std::vector<uint8_t> bytes(kUpdateSignatureBytes);
  if (HttpRead(signature.get(), bytes.data(), bytes.size()) != bytes.size()) return false;
  if (!HttpAtCleanEnd(signature.get())) return false;
  return VerifyUpdateSignature(file, bytes, run_.site.key);
}

// A failed step leaves a program that starts: should the program file be
// gone, the backup goes back in its place.
void KeepProgramStartable(const UpdateFiles& files) {
  std::error_code error;
  const std::string backup = files.BackupFolder() + "/" + files.exeName;
  if (!fs::exists(files.Executable(), error) && fs::exists(backup, error)) {
    CopyFileSafely(backup, files.Executable());
  }
}

bool MakeBackups(const UpdateFiles& files, bool withManual) {
  std::error_code error;
  if (!FolderTakesNewFiles(files.installDir)) return false;
  fs::create_directories(files.BackupFolder(), error);
  if (!FolderTakesNewFiles(files.BackupFolder())) return false;
  if (!CopyFileSafely(files.Executable(), files.BackupFolder() + "/" + files.exeName)) return false;
  if (!withManual || !fs::exists(files.Manual(), error)) return true;  // no manual yet: nothing to keep
  return CopyFileSafely(files.Manual(), files.BackupFolder() + "/" + files.manualName);
}

std::string UpdateSession::Install(const UpdateHeader& header, std::span<const uint8_t> content) {
  const UpdateFiles& files = run_.files;
  Step(">CREATING BACKUP FILES");
  if (!MakeBackups(files, header.manualSize > 0)) return "ERROR CREATING BACKUP";
  Step(">REPLACING EXECUTABLE FILE");
  if (!ReplaceFileSafely(files.Executable(), content.first(header.executableSize), kExecutableMode,
                         run_.report.fault)) {
    KeepProgramStartable(files);
    return "ERROR UPDATING EXECUTABLE";
  }
  run_.settings->updateInstalled = 1;
  if (header.manualSize > 0) {
    Step(">REPLACING PDF FILE");
    const auto manual = content.last(header.manualSize);
    if (!ReplaceFileSafely(files.Manual(), manual, kManualMode, run_.report.fault)) {
      Step(">PDF LOCKED BY VIEWER, CREATING PENDING FILE");
      std::error_code error;
      fs::create_directories(files.UpdateFolder(), error);
      ReplaceFileSafely(files.PendingManual(), manual, kManualMode);
    }
  }
  return "RESTARTING APPLICATION...";
}

std::string UpdateSession::Run() {
  Step(">TESTING CONNECTIVITY");
  if (!HttpServerReachable(run_.site.primaryUrl, limits_) && !HttpServerReachable(run_.site.fallbackUrl, limits_)) {
    return "CONNECTION FAILED";
  }
  // The library needs no handle of its own: opening the connection is
  // choosing direct access or the system's settings for each request.
  Step(">OPENING INTERNET CONNECTION");
  if (!OpenUpdateFile()) return "ERROR OPENING URL";
  Step(">DOWNLOADING PARAMETERS");
  std::vector<uint8_t> file(kUpdateHeaderBytes);
  if (HttpRead(stream_.get(), file.data(), kUpdateHeaderBytes) != kUpdateHeaderBytes) {
    return "ERROR DOWNLOADING PARAMETER";
  }
  Step(">VALIDATING PARAMETERS");
  const UpdateHeader header = ReadUpdateHeader(std::span<const uint8_t, kUpdateHeaderBytes>(file.data(), kUpdateHeaderBytes));
  if (!IsValidUpdateHeader(header)) return "REMOTE FILE NOT VALID";
  Step(">COMPARING VERSIONS");
  if (!(header.version > InstalledVersion())) return "NO UPDATE AVAILABLE";
  if (boot_) {
    run_.settings->updateAvailable = 1;
    return "UPDATE AVAILABLE";
  }
  Step(">DOWNLOADING UPDATE CONTENT");
  if (!DownloadContent(header, file)) return "DOWNLOAD INTERRUPTED";
  // Nothing reaches the disk unless the release key signed this very file.
  if (!SignatureHolds(file)) return "REMOTE FILE NOT VALID";
  stream_.reset();
  Message(kMsgInstallingUpdate);
  if (run_.report.refuseClosing) run_.report.refuseClosing(true);
  const std::string result = Install(header, std::span<const uint8_t>(file).subspan(kUpdateHeaderBytes));
  if (run_.report.refuseClosing) run_.report.refuseClosing(false);
  return result;
}

}  // namespace

UpdateSite ConfiguredUpdateSite() {
  UpdateSite site;
  site.primaryUrl = kUpdatePrimaryUrl;
  site.fallbackUrl = kUpdateFallbackUrl;
  site.key = BuiltInUpdateKey();
#ifdef SONICLOOM_UPDATE_TEST_HOOKS
  if (const char* url = std::getenv("SONICLOOM_UPDATE_URL"); url && *url) {
    site.primaryUrl = url;
    site.fallbackUrl = url;
  }
#endif
  return site;
}

UpdateRun ProgramUpdateRun() {
  UpdateRun run;
  run.settings = &gApp.settings;
  run.files = {gApp.installDir, gApp.exeName, gApp.manualFileName, gApp.pendingManualName};
  run.site = ConfiguredUpdateSite();
  return run;
}

std::string CheckForUpdate(UpdateRun& run, bool boot) {
  SettingsBlock& settings = *run.settings;
  if (boot) {
    if (settings.noUpdateLookup) return "DISABLED BY USER";
    if (settings.updateAvailable || settings.updateInstalled) return "POSTPONED";
    const LocalTime now = QueryLocalTime();
    const uint32_t stamp = static_cast<uint32_t>(now.dayOfMonth * 100 + now.hour);
    if (stamp == settings.updateTimeStamp) return "POSTPONED";
    settings.updateTimeStamp = stamp;
  } else if (run.report.message) {
    run.report.message(kMsgLookingForUpdate);
  }
  settings.updateAvailable = 0;
  settings.updateInstalled = 0;
  const std::string result = UpdateSession(run, boot).Run();
  return boot ? result : ">" + result;
}

std::string ReplacePendingManual(const UpdateFiles& files) {
  std::error_code error;
  if (!fs::is_regular_file(files.PendingManual(), error)) return "NO FILES TO REPLACE";
  if (!CopyFileSafely(files.PendingManual(), files.Manual())) return "PDF LOCKED BY VIEWER";
  fs::remove(files.PendingManual(), error);
  return "PDF REPLACED";
}
