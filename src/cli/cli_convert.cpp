#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_jobs.h"
#include "cli/cli_library.h"
#include "cli/cli_tables.h"
#include "core/message_codes.h"

namespace {

constexpr const char* kConvertHelp =
    "Usage: sonic-loom-cli convert --to FORMAT[,FORMAT...] [options] FILE...\n"
    "\n"
    "Reads VORTA wavetables (the program's own WAV tables and every exchange\n"
    "format it writes) and writes each in the named formats.\n"
    "\n"
    "Formats:\n"
    "%s"
    "\n"
    "Options:\n"
    "  --out DIR           folder to write into (default: the current folder)\n"
    "  --name NAME         output name for a single FILE (default: the file's\n"
    "                      own name); names are cut to 8 characters of\n"
    "                      0-9 A-Z ! # $ %% & ' ( ) - @ _ ` { } ^ and get the\n"
    "                      format's extension\n"
    "  --force             replace existing files\n"
    "  --no-force-loop     read as with FORCE LOOP FOR SINGLE CYCLE set to NO\n"
    "%s%s";

std::string FormatList() {
  std::string list;
  for (const TableFormat& format : TableFormats()) {
    list += "  " + std::string(format.name);
    list.append(format.name.size() < 12 ? 12 - format.name.size() : 1, ' ');
    list += std::string(format.description) + "\n";
  }
  return list;
}

}  // namespace

int RunConvert(std::span<const std::string> args) {
  std::vector<OptionRule> options = {{"--to", true},
                                     {"--out", true},
                                     {"--name", true},
                                     {"--force", false},
                                     {"--no-force-loop", false},
                                     kJobsOption};
  AppendTableOutputOptions(options);
  ParsedArgs parsed;
  const std::string complaint = ParseArgs(args, options, parsed);
  if (!complaint.empty()) return UsageError("convert", complaint);
  if (parsed.help) {
    std::printf(kConvertHelp, FormatList().c_str(), kJobsHelp, TableOutputOptionsHelp());
    return kExitOk;
  }

  TableOutputPlan plan;
  const std::string planComplaint = PlanTableOutput(parsed, plan);
  if (!planComplaint.empty()) return UsageError("convert", planComplaint);
  const std::string operandComplaint = CheckOperands(parsed, "FILE");
  if (!operandComplaint.empty()) return UsageError("convert", operandComplaint);
  int jobs = 1;
  const std::string jobsComplaint = ParseJobs(parsed, jobs);
  if (!jobsComplaint.empty()) return UsageError("convert", jobsComplaint);

  const ReadRules rules = CliReadRules(parsed.Has("--no-force-loop"));
  int exitCode = kExitOk;
  ProgressBar bar = StartProgress(parsed.operands.size());
  // Reading may run several files at once; writing stays here, in input
  // order.
  auto read = [&](size_t i) {
    LoadedTable table;
    const TableLoad load = LoadTableFile(parsed.operands[i], rules, table);
    return EncodeTableResult(load.ok ? std::string() : load.message, table);
  };
  auto write = [&](size_t i, const std::vector<uint8_t>& bytes) {
    const std::string& file = parsed.operands[i];
    LoadedTable table;
    const std::string refusal = DecodeTableResult(bytes, table);
    HideProgress(bar);
    if (!refusal.empty()) {
      ReportRejected(file, refusal);
      exitCode = kExitRejected;
    } else {
      const std::string name = parsed.Value("--name") ? *parsed.Value("--name") : BaseName(file);
      if (!WriteTableOutputs(plan, table, name, file)) exitCode = kExitRejected;
    }
    StepProgress(bar, i + 1);
  };
  RunOrderedJobs(parsed.operands.size(), jobs, read, write);
  EndProgress(bar);
  return exitCode;
}
