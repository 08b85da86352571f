#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_jobs.h"
#include "cli/cli_library.h"
#include "cli/cli_samples.h"
#include "cli/cli_tables.h"
#include "core/message_codes.h"
#include "core/message_texts.h"
#include "dsp/dft_tables.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "files/sample_loader.h"
#include "modules/analysis_range.h"
#include "modules/loaded_sample.h"
#include "modules/scanloop_analysis.h"
#include "modules/spectral_analysis.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr const char* kAnalyseHelp =
    "Usage: sonic-loom-cli analyse --to FORMAT[,FORMAT...] [options] FILE...\n"
    "\n"
    "Analyses samples (categories 1 and 2) into VORTA wavetables, as the\n"
    "sample analysis pages do with their start values, and writes each table\n"
    "in the named formats (see 'sonic-loom-cli convert --help').\n"
    "\n"
    "Analysis options:\n"
    "  --source stereo|left|right  the signal of a stereo file (default stereo,\n"
    "                      mixed to mono); mono files ignore it\n"
    "  --threshold-start X range start moves past samples below X (0..1,\n"
    "                      default 0)\n"
    "  --threshold-end X   range end moves back past samples below X (0..1,\n"
    "                      default 0)\n"
    "  --cents N           fundamental offset -1200..1200 (default 0)\n"
    "  --contrast X        0.51..1.99 (default 1.00)\n"
    "  --fill full|excerpts  slice fill mode (default full)\n"
    "  --no-polarity-lock  partials may change sign along the slices\n"
    "  --sharpen           sharpen the attack\n"
    "  --scanloop          read the file as a scan loop (one single cycle per\n"
    "                      step); --source, the thresholds and --cents do not\n"
    "                      apply then\n"
    "\n"
    "Output options:\n"
    "  --out DIR           folder to write into (default: the current folder)\n"
    "  --name NAME         output name for a single FILE (default: the file's\n"
    "                      own name, cut to 8 characters)\n"
    "  --force             replace existing files\n"
    "  --no-force-loop     read as with FORCE LOOP FOR SINGLE CYCLE set to NO\n"
    "%s%s";

constexpr const char* kNotScanLoop = " <NOT A SCAN LOOP>";

struct AnalysePlan {
  SourceMode source = SourceMode::StereoToMono;
  float startThreshold = 0.0f;
  float endThreshold = 0.0f;
  AnalysisSettings settings;
  bool scanloop = false;
};

std::string PlanAnalysis(const ParsedArgs& parsed, AnalysePlan& plan) {
  if (const std::string* source = parsed.Value("--source")) {
    if (*source == "stereo") {
      plan.source = SourceMode::StereoToMono;
    } else if (*source == "left") {
      plan.source = SourceMode::LeftOnly;
    } else if (*source == "right") {
      plan.source = SourceMode::RightOnly;
    } else {
      return "--source must be stereo, left or right";
    }
  }
  double value = 0.0;
  if (const std::string* text = parsed.Value("--threshold-start")) {
    if (!ParseDecimal(*text, 0.0, 1.0, value)) return "--threshold-start must be 0 to 1";
    plan.startThreshold = static_cast<float>(value);
  }
  if (const std::string* text = parsed.Value("--threshold-end")) {
    if (!ParseDecimal(*text, 0.0, 1.0, value)) return "--threshold-end must be 0 to 1";
    plan.endThreshold = static_cast<float>(value);
  }
  if (const std::string* text = parsed.Value("--contrast")) {
    if (!ParseDecimal(*text, kContrastLowerLimit, kContrastUpperLimit, value)) {
      return "--contrast must be 0.51 to 1.99";
    }
    plan.settings.contrast = static_cast<float>(value);
  }
  long cents = 0;
  if (const std::string* text = parsed.Value("--cents")) {
    if (!ParseInteger(*text, kMinCents, kMaxCents, cents)) return "--cents must be -1200 to 1200";
    plan.settings.cents = static_cast<int16_t>(cents);
  }
  if (const std::string* fill = parsed.Value("--fill")) {
    if (*fill == "full") {
      plan.settings.sliceFill = SliceFill::FullSignal;
    } else if (*fill == "excerpts") {
      plan.settings.sliceFill = SliceFill::Excerpts;
    } else {
      return "--fill must be full or excerpts";
    }
  }
  plan.settings.polarityLock = !parsed.Has("--no-polarity-lock");
  plan.settings.sharpenAttack = parsed.Has("--sharpen");
  plan.scanloop = parsed.Has("--scanloop");
  if (plan.scanloop) {
    for (const char* option : {"--source", "--threshold-start", "--threshold-end", "--cents"}) {
      if (parsed.Has(option)) return std::string(option) + " does not apply with --scanloop";
    }
  }
  return {};
}

// Range page, then "fANALYZE" and "fAPPLY" with the plan's settings.
std::string AnalyseSample(const AnalysePlan& plan, const LoadedSampleFile& loaded, LoadedTable& table) {
  const SampleChannels sample = SampleChannelsOf(loaded.left, loaded.right, loaded.descriptor);
  AnalysisRange range;
  MessageCode code = OpenAnalysisRange(range, sample);
  if (code != kMsgDone && code != kMsgNone) return std::string(MessageText(code));
  if (sample.channels == 2) {
    for (int i = 0; i < kSourceModeCount && range.source != plan.source; ++i) CycleAnalysisSource(range, sample);
  }
  range.startThreshold = plan.startThreshold;
  range.endThreshold = plan.endThreshold;
  RecomputeRangeStart(range);
  RecomputeRangeEnd(range);

  SpectralAnalysis analysis;
  analysis.settings = plan.settings;
  code = StartSpectralAnalysis(analysis, range.Range(), ProgressHooks{});
  if (code != kMsgDone) return std::string(MessageText(code));
  ApplySpectralAnalysis(analysis, table.table, table.stretch);
  return {};
}

std::string AnalyseScanLoop(const AnalysePlan& plan, const LoadedSampleFile& loaded, LoadedTable& table) {
  const ScanLoopShape shape = ScanLoopShapeOf(loaded.descriptor);
  if (shape.steps == 0) return std::string(MessageText(kMsgNoData)) + kNotScanLoop;
  const SampleChannels sample = SampleChannelsOf(loaded.left, loaded.right, loaded.descriptor);
  ScanloopAnalysis analysis;
  const MessageCode code = StartScanloopAnalysis(
      analysis, sample.left.first(static_cast<size_t>(sample.length)), shape.stepSize, shape.steps, ProgressHooks{});
  if (code != kMsgDone) return std::string(MessageText(code)) + kNotScanLoop;
  // The page starts with its start values; the options stand for the
  // buttons pressed afterwards.
  AnalysisSettings& settings = analysis.settings;
  settings.polarityLock = plan.settings.polarityLock;
  settings.sharpenAttack = plan.settings.sharpenAttack;
  settings.contrast = plan.settings.contrast;
  if (analysis.OffersSliceFill()) settings.sliceFill = plan.settings.sliceFill;
  RefreshScanloopAnalysis(analysis, true);
  ApplyScanloopAnalysis(analysis, table.table, table.stretch);
  return {};
}

}  // namespace

int RunAnalyse(std::span<const std::string> args) {
  std::vector<OptionRule> options = {{"--to", true},          {"--out", true},
                                     {"--name", true},        {"--force", false},
                                     {"--no-force-loop", false}, {"--source", true},
                                     {"--threshold-start", true}, {"--threshold-end", true},
                                     {"--cents", true},       {"--contrast", true},
                                     {"--fill", true},        {"--no-polarity-lock", false},
                                     {"--sharpen", false},    {"--scanloop", false},
                                     kJobsOption};
  AppendTableOutputOptions(options);
  ParsedArgs parsed;
  const std::string complaint = ParseArgs(args, options, parsed);
  if (!complaint.empty()) return UsageError("analyse", complaint);
  if (parsed.help) {
    std::printf(kAnalyseHelp, kJobsHelp, TableOutputOptionsHelp());
    return kExitOk;
  }

  AnalysePlan analysePlan;
  const std::string analysisComplaint = PlanAnalysis(parsed, analysePlan);
  if (!analysisComplaint.empty()) return UsageError("analyse", analysisComplaint);
  TableOutputPlan plan;
  const std::string planComplaint = PlanTableOutput(parsed, plan);
  if (!planComplaint.empty()) return UsageError("analyse", planComplaint);
  const std::string operandComplaint = CheckOperands(parsed, "FILE");
  if (!operandComplaint.empty()) return UsageError("analyse", operandComplaint);
  int jobs = 1;
  const std::string jobsComplaint = ParseJobs(parsed, jobs);
  if (!jobsComplaint.empty()) return UsageError("analyse", jobsComplaint);

  // The transform tables the VORTA module sets up on entry.
  AllocateDftTables(kVortaDftLength);
  const ReadRules rules = CliReadRules(parsed.Has("--no-force-loop"));
  int exitCode = kExitOk;
  ProgressBar bar = StartProgress(parsed.operands.size());
  // Loading and analysing may run several files at once; writing stays
  // here, in input order.
  auto analyse = [&](size_t i) {
    LoadedSampleFile sample;
    LoadedTable table;
    std::string refusal = LoadCliSample(parsed.operands[i], rules, sample);
    if (refusal.empty()) {
      refusal = analysePlan.scanloop ? AnalyseScanLoop(analysePlan, sample, table)
                                     : AnalyseSample(analysePlan, sample, table);
    }
    return EncodeTableResult(refusal, table);
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
  RunOrderedJobs(parsed.operands.size(), jobs, analyse, write);
  EndProgress(bar);
  return exitCode;
}
