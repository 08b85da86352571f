#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_jobs.h"
#include "cli/cli_library.h"
#include "core/app_globals.h"
#include "core/settings.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "modules/import_engine.h"

namespace {

constexpr const char* kImportHelp =
    "Usage: sonic-loom-cli import [--library DIR | --out DIR] [options] FILE...\n"
    "\n"
    "Brings recordings of any kind libsndfile reads (WAV of every depth and\n"
    "header kind, AIFF, FLAC, OGG, Opus, CAF, W64, MP3 where supported) into\n"
    "the form the library reads: 44,100 Hz (converted with libsoxr at very\n"
    "high quality), mono or stereo (more channels are mixed down), 16-bit PCM\n"
    "for sources of 16 bits or fewer, else 32-bit float. Loops and the root\n"
    "note go along. Files the library reads already are copied unchanged. A\n"
    "FILE that is a folder stands for the files in it. Sources are never\n"
    "changed and no file is replaced: a taken name gets a number.\n"
    "\n"
    "Each file is printed as 'FILE -> PATH (converted: ...)'; a refused file\n"
    "is reported on standard error as 'FILE: REASON' and the exit status is 1.\n"
    "\n"
    "Options:\n"
    "  --library DIR       the program folder whose library receives the files,\n"
    "                      each in the folder of its category (default: the\n"
    "                      folder of this tool)\n"
    "  --out DIR           write into DIR instead, under the same names\n"
    "  --no-force-loop     read as with FORCE LOOP FOR SINGLE CYCLE set to NO\n"
    "%s";

const OptionRule kImportOptions[] = {
    {"--library", true}, {"--out", true}, {"--no-force-loop", false}, kJobsOption};


std::string ToolFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}

std::vector<uint8_t> EncodeStaged(const StagedImport& staged) {
  JobBytes out;
  out.PutText(staged.reason);
  out.PutNumber(staged.category);
  out.PutText(staged.stagedPath);
  out.PutText(staged.fileName);
  out.PutNumber(staged.copied ? 1 : 0);
  out.PutText(staged.conversion);
  return out.bytes;
}

StagedImport DecodeStaged(const std::string& source, const std::vector<uint8_t>& bytes) {
  JobReader in{bytes};
  StagedImport staged;
  staged.source = source;
  staged.reason = in.Text();
  staged.category = static_cast<int>(in.Number());
  staged.stagedPath = in.Text();
  staged.fileName = in.Text();
  staged.copied = in.Number() != 0;
  staged.conversion = in.Text();
  if (in.failed) {
    staged = StagedImport{};
    staged.source = source;
    staged.reason = kImportDamaged;
  }
  return staged;
}

}  // namespace

int RunImport(std::span<const std::string> args) {
  ParsedArgs parsed;
  const std::string complaint = ParseArgs(args, kImportOptions, parsed);
  if (!complaint.empty()) return UsageError("import", complaint);
  if (parsed.help) {
    std::printf(kImportHelp, kJobsHelp);
    return kExitOk;
  }
  if (parsed.Has("--library") && parsed.Has("--out")) return UsageError("import", "give --library or --out, not both");
  if (parsed.operands.empty()) return UsageError("import", "no FILE given");
  int jobs = 1;
  const std::string jobsComplaint = ParseJobs(parsed, jobs);
  if (!jobsComplaint.empty()) return UsageError("import", jobsComplaint);

  AppGlobals& app = gApp;
  std::string outFolder;
  if (const std::string* out = parsed.Value("--out")) {
    outFolder = ExistingFolder(*out);
    if (outFolder.empty()) return UsageError("import", "--out " + *out + " is not a folder");
  } else {
    const std::string* library = parsed.Value("--library");
    const std::string root = library ? *library : ToolFolder();
    app.installDir = ExistingFolder(root);
    if (app.installDir.empty()) return UsageError("import", "--library " + root + " is not a folder");
    ReadLibrarySettings(app);
  }
  ReadRules rules = ReadRulesOf(app);
  if (parsed.Has("--no-force-loop")) rules.forceLoopForSingleCycle = false;
  // Results wait next to where they go; the category folders of a library
  // may lie elsewhere (user roots), which the final move handles.
  std::string staging = outFolder;
  if (staging.empty()) {
    staging = CategoryFolderPath(app, -1);
    if (!staging.empty() && staging.back() == '/') staging.pop_back();
  }

  const std::vector<std::string> files = ExpandImportPaths(parsed.operands);
  int exitCode = kExitOk;
  ProgressBar bar = StartProgress(files.size());
  RunOrderedJobs(
      files.size(), jobs, [&](size_t i) { return EncodeStaged(StageImport(files[i], staging, rules)); },
      [&](size_t i, const std::vector<uint8_t>& bytes) {
        const StagedImport staged = DecodeStaged(files[i], bytes);
        HideProgress(bar);
        PlacedImport placed;
        if (staged.Ok()) {
          std::string folder = outFolder;
          if (folder.empty()) {
            folder = CategoryFolderPath(app, staged.category);
            if (!folder.empty() && folder.back() == '/') folder.pop_back();
          }
          placed = PlaceImport(staged, folder);
        }
        const std::string& reason = staged.Ok() ? placed.reason : staged.reason;
        if (!reason.empty()) {
          std::fflush(stdout);
          ReportRejected(files[i], reason);
          exitCode = kExitRejected;
        } else {
          const std::string note = placed.existing ? "already there"
                                   : staged.copied ? "copied"
                                                   : "converted: " + staged.conversion;
          std::printf("%s -> %s (%s)\n", files[i].c_str(), placed.path.c_str(), note.c_str());
        }
        StepProgress(bar, i + 1);
      });
  EndProgress(bar);
  return exitCode;
}
