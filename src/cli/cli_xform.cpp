#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_library.h"
#include "cli/cli_samples.h"
#include "cli/cli_tables.h"
#include "core/message_codes.h"
#include "core/message_texts.h"
#include "files/folder_table.h"
#include "modules/loaded_sample.h"
#include "modules/xform_analysis.h"
#include "modules/xform_analysis_source.h"
#include "wavetable/xform_file.h"
#include "wavetable/xform_workspace.h"

namespace {

constexpr const char* kXformHelp =
    "Usage: sonic-loom-cli xform [options] SAMPLE...\n"
    "\n"
    "Analyses each sample (categories 1 and 2) into an XFORM noise-filter\n"
    "wavetable as the XFORM analysis pages do, and writes it as the program\n"
    "stores XFORM tables (category 13: 32-bit float stereo WAV, NAME.WAV).\n"
    "\n"
    "Analysis options (defaults: the pages' start values):\n"
    "  --source stereo|mono|left|right  the channels of a stereo file (default\n"
    "                      stereo); mono files ignore it\n"
    "  --threshold-start X range start moves past samples below X (0..1, default 0)\n"
    "  --threshold-end X   range end moves back past samples below X (0..1, default 0)\n"
    "  --peak-boost X      0..1 (default 0.5 / (stages - 1))\n"
    "  --smoothness X      0..1 (default 0)\n"
    "  --stereo-link X     0..1 (default 1)\n"
    "\n"
    "Output options:\n"
    "  --out DIR           folder to write into (default: the current folder)\n"
    "  --name NAME         output name for a single SAMPLE (default: the file's\n"
    "                      own name, cut to 8 characters)\n"
    "  --force             replace existing files\n"
    "  --no-force-loop     read as with FORCE LOOP FOR SINGLE CYCLE set to NO\n";

constexpr size_t kProgressSteps = 100;

struct XformPlan {
  XformSourceMode source = XformSourceMode::Stereo;
  float startThreshold = 0.0f;
  float endThreshold = 0.0f;
  XformAnalysisControls controls;
  bool controlsChanged = false;
  std::string outDir = ".";
  bool force = false;
};

std::string PlanFraction(const ParsedArgs& parsed, const char* option, double& value, bool& given) {
  const std::string* text = parsed.Value(option);
  if (!text) return {};
  if (!ParseDecimal(*text, 0.0, 1.0, value)) return std::string(option) + " must be 0 to 1";
  given = true;
  return {};
}

std::string PlanXform(const ParsedArgs& parsed, XformPlan& plan) {
  if (const std::string* source = parsed.Value("--source")) {
    const std::vector<std::string> names = {"stereo", "mono", "left", "right"};
    const auto found = std::find(names.begin(), names.end(), *source);
    if (found == names.end()) return "--source must be stereo, mono, left or right";
    plan.source = static_cast<XformSourceMode>(found - names.begin());
  }
  double value = 0.0;
  bool given = false;
  std::string complaint = PlanFraction(parsed, "--threshold-start", value, given);
  if (!complaint.empty()) return complaint;
  if (given) plan.startThreshold = static_cast<float>(value);
  given = false;
  complaint = PlanFraction(parsed, "--threshold-end", value, given);
  if (!complaint.empty()) return complaint;
  if (given) plan.endThreshold = static_cast<float>(value);
  for (const char* option : {"--peak-boost", "--smoothness", "--stereo-link"}) {
    given = false;
    complaint = PlanFraction(parsed, option, value, given);
    if (!complaint.empty()) return complaint;
    if (!given) continue;
    plan.controlsChanged = true;
    if (std::string_view(option) == "--peak-boost") plan.controls.peakBoost = value;
    if (std::string_view(option) == "--smoothness") plan.controls.smoothness = value;
    if (std::string_view(option) == "--stereo-link") plan.controls.stereoLink = value;
  }
  if (const std::string* out = parsed.Value("--out")) {
    if (ExistingFolder(*out).empty()) return "--out " + *out + " is not a folder";
    plan.outDir = *out;
  }
  plan.force = parsed.Has("--force");
  return {};
}

// Pages "1.1.0" and "1.1.1": source and range, the analysis, the sliders
// moved, "fAPPLY".
std::string AnalyseXform(const XformPlan& plan, const LoadedSampleFile& loaded, const std::string& name,
                         XformWorkspace& workspace, const ProgressHooks& hooks, std::vector<uint8_t>& bytes) {
  const SampleChannels sample = SampleChannelsOf(loaded.left, loaded.right, loaded.descriptor);
  XformAnalysisSource source;
  MessageCode code = BuildXformAnalysisSource(sample, plan.source, source);
  if (code != kMsgNone && code != kMsgDone) return std::string(MessageText(code));
  source.range.startThreshold = plan.startThreshold;
  source.range.endThreshold = plan.endThreshold;
  RecomputeRangeStart(source.range);
  RecomputeRangeEnd(source.range);

  FlushXform(workspace);
  XformAnalysis record;
  code = RunXformAnalysis(RangeOf(source, false), RangeOf(source, true), record, workspace.table, workspace.engine,
                          hooks);
  if (code == kMsgDone && plan.controlsChanged) {
    XformAnalysisControls controls = record.controls;
    if (plan.controls.peakBoost != kPeakBoostUnset) controls.peakBoost = plan.controls.peakBoost;
    controls.smoothness = plan.controls.smoothness;
    controls.stereoLink = plan.controls.stereoLink;
    record.controls = controls;
    code = RebuildFilterSpectra(record, workspace.table, workspace.engine, hooks);
  }
  if (code != kMsgDone) return std::string(MessageText(code));
  ApplyXformAnalysis(workspace, record, name);
  bytes = EncodeXformWave(workspace.table);
  return {};
}

}  // namespace

int RunXform(std::span<const std::string> args) {
  const std::vector<OptionRule> options = {
      {"--source", true},     {"--threshold-start", true}, {"--threshold-end", true}, {"--peak-boost", true},
      {"--smoothness", true}, {"--stereo-link", true},     {"--out", true},           {"--name", true},
      {"--force", false},     {"--no-force-loop", false}};
  ParsedArgs parsed;
  const std::string complaint = ParseArgs(args, options, parsed);
  if (!complaint.empty()) return UsageError("xform", complaint);
  if (parsed.help) {
    std::printf("%s", kXformHelp);
    return kExitOk;
  }
  XformPlan plan;
  const std::string planComplaint = PlanXform(parsed, plan);
  if (!planComplaint.empty()) return UsageError("xform", planComplaint);
  const std::string operandComplaint = CheckOperands(parsed, "SAMPLE");
  if (!operandComplaint.empty()) return UsageError("xform", operandComplaint);

  const ReadRules rules = CliReadRules(parsed.Has("--no-force-loop"));
  XformWorkspace workspace;
  EnterXform(workspace, gApp.physicalMemory, gApp.processorCount);
  int exitCode = kExitOk;
  for (const std::string& file : parsed.operands) {
    const std::string name = parsed.Value("--name") ? *parsed.Value("--name") : BaseName(file);
    LoadedSampleFile sample;
    std::vector<uint8_t> bytes;
    std::string refusal = LoadCliSample(file, rules, sample);
    // Each file's analysis drives the bar, which is redrawn per file.
    ProgressBar bar = StartProgress(refusal.empty() ? kProgressSteps : 0);
    ProgressHooks hooks;
    hooks.step = [&bar](const char*, int64_t done, int64_t total) {
      if (total > 0) StepProgress(bar, static_cast<size_t>(std::clamp<int64_t>(done, 0, total) * kProgressSteps / total));
      return false;
    };
    if (refusal.empty()) refusal = AnalyseXform(plan, sample, BaseName(file), workspace, hooks, bytes);
    EndProgress(bar);
    if (!refusal.empty()) {
      ReportRejected(file, refusal);
      exitCode = kExitRejected;
    } else if (!WriteRendering(plan.outDir, name, bytes, plan.force, file)) {
      exitCode = kExitRejected;
    }
  }
  LeaveXform(workspace);
  return exitCode;
}
