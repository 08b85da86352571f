#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_library.h"
#include "cli/cli_samples.h"
#include "cli/cli_tables.h"
#include "core/message_codes.h"
#include "core/app_globals.h"
#include "core/message_texts.h"
#include "modules/cross_rendering.h"
#include "modules/loaded_sample.h"
#include "modules/resynthesis.h"
#include "modules/resynthesis_options.h"

namespace {

constexpr const char* kXmrphHelp =
    "Usage: sonic-loom-cli xmrph [options] A B\n"
    "\n"
    "Cross-synthesises the samples A and B (categories 1 and 2) as the cross\n"
    "synthesis pages do and writes the output as the page FILE RENDERING does.\n"
    "\n"
    "Resynthesis options (defaults: the page's start values):\n"
    "  --overlap O         overlap factor 4, 8, 16 (default), 32, 64; at most N/2\n"
    "  --fft N             frame size 64, 128, ..., 1024 (default), ..., 8192;\n"
    "                      above 64 it must stay below the common length\n"
    "  --contrast C        spectral contrast as shown, 0.5..2 (default 1)\n"
    "  --no-phase-correction\n"
    "  --loop-active none|a|b|both  which file's loop pads it to the other's\n"
    "                      length (default none: the shorter length)\n"
    "  --envelope \"N1 ... N33\"  the 33 nodes of the cross envelope, -127 (B)\n"
    "                      .. -42 (B*A) .. 42 (A*B) .. 127 (A); default all 0\n"
    "\n"
    "Rendering options:\n"
    "  --level full|unchanged  level alignment (default full: peak 1.0)\n"
    "  --bits 8|16|32|float  sample format (default 16)\n"
    "\n"
    "Output options:\n"
    "  --out DIR           folder to write into (default: the current folder)\n"
    "  --name NAME         output name (default: A's name, cut to 8 characters)\n"
    "  --force             replace an existing file\n"
    "  --no-force-loop     read as with FORCE LOOP FOR SINGLE CYCLE set to NO\n"
    "\n"
    "The output has two channels when A or B has two, else one.\n";

constexpr size_t kProgressSteps = 100;
constexpr const char* kFrameSizeUnreachable = " <FFT FRAME SIZE>";
constexpr const char* kLoopModeUnavailable = " <LOOP ACTIVE FOR>";

struct XmrphPlan {
  ResynthesisSettings settings;
  int16_t loopMode = kLoopActiveNone;
  EnvelopeNodes envelope = FlatEnvelope(0);
  CrossRenderOptions render;
  std::string outDir = ".";
  bool force = false;
};

bool IsPowerOfTwo(long value) { return value > 0 && (value & (value - 1)) == 0; }

bool ParseEnvelope(const std::string& text, EnvelopeNodes& nodes) {
  std::istringstream stream(text);
  std::string word;
  size_t count = 0;
  while (stream >> word) {
    long value = 0;
    if (count >= nodes.size() || !ParseInteger(word, kCrossNodeB, kCrossNodeA, value)) return false;
    nodes[count++] = static_cast<int16_t>(value);
  }
  return count == nodes.size();
}

std::string PlanXmrph(const ParsedArgs& parsed, XmrphPlan& plan) {
  long value = 0;
  if (const std::string* text = parsed.Value("--fft")) {
    if (!ParseInteger(*text, kMinFrameSize, kMaxFrameSize, value) || !IsPowerOfTwo(value)) {
      return "--fft must be a power of two from 64 to 8192";
    }
    plan.settings.frameSize = static_cast<int32_t>(value);
  }
  if (const std::string* text = parsed.Value("--overlap")) {
    if (!ParseInteger(*text, kOverlapWrap, kMaxOverlapBeforeWrap + 1, value) || !IsPowerOfTwo(value)) {
      return "--overlap must be 4, 8, 16, 32 or 64";
    }
    plan.settings.overlap = static_cast<int32_t>(value);
  }
  if (plan.settings.overlap > plan.settings.frameSize / 2) return "--overlap must not exceed half the --fft size";
  double contrast = 0.0;
  if (const std::string* text = parsed.Value("--contrast")) {
    if (!ParseDecimal(*text, 2.0 * kMinSpectralContrast, 2.0 * kMaxSpectralContrast, contrast)) {
      return "--contrast must be 0.5 to 2";
    }
    plan.settings.contrast = static_cast<float>(contrast / 2.0);
  }
  plan.settings.phaseCorrection = !parsed.Has("--no-phase-correction");
  if (const std::string* mode = parsed.Value("--loop-active")) {
    const std::vector<std::string> names = {"none", "a", "b", "both"};
    const auto found = std::find(names.begin(), names.end(), *mode);
    if (found == names.end()) return "--loop-active must be none, a, b or both";
    plan.loopMode = static_cast<int16_t>(found - names.begin());
  }
  if (const std::string* text = parsed.Value("--envelope")) {
    if (!ParseEnvelope(*text, plan.envelope)) return "--envelope needs 33 whole numbers from -127 to 127";
  }
  if (const std::string* level = parsed.Value("--level")) {
    if (*level == "full") {
      plan.render.level = CrossLevelMode::FullRange;
    } else if (*level == "unchanged") {
      plan.render.level = CrossLevelMode::Unchanged;
    } else {
      return "--level must be full or unchanged";
    }
  }
  if (const std::string* bits = parsed.Value("--bits")) {
    plan.render.bitsMode = BitsModeByName(*bits);
    if (plan.render.bitsMode < 0) return "--bits must be 8, 16, 32 or float";
  }
  if (const std::string* out = parsed.Value("--out")) {
    if (ExistingFolder(*out).empty()) return "--out " + *out + " is not a folder";
    plan.outDir = *out;
  }
  plan.force = parsed.Has("--force");
  return {};
}

std::string CrossSynthesise(const XmrphPlan& plan, const LoadedSampleFile& a, const std::string& nameA,
                            const LoadedSampleFile& b, const std::string& nameB, const ProgressHooks& hooks,
                            std::vector<uint8_t>& bytes) {
  CrossSynthesis cross;
  EnterCrossSynthesis(cross, gApp.processorCount);
  MessageCode code = LoadCrossSources(cross, CrossSourceOf(a.left, a.right, a.descriptor, nameA),
                                      CrossSourceOf(b.left, b.right, b.descriptor, nameB));
  if (code != kMsgDone && code != kMsgNone) return std::string(MessageText(code));
  if (plan.loopMode != kLoopActiveNone) {
    if (!LoopModeIsValid(cross, plan.loopMode)) {
      return std::string(MessageText(kMsgNoLoopData)) + kLoopModeUnavailable;
    }
    ApplyLoopMode(cross, plan.loopMode);
  }
  // "FFT_SIZE" offers sizes above 64 only below the common length.
  if (plan.settings.frameSize > kMinFrameSize && plan.settings.frameSize >= cross.length) {
    return std::string(MessageText(kMsgMaxValue)) + kFrameSizeUnreachable;
  }
  cross.settings = plan.settings;
  code = Resynthesize(cross, hooks, cross.threads);
  if (code != kMsgDone) return std::string(MessageText(code));
  cross.envelope = plan.envelope;
  RemixCrossOutput(cross);
  CrossRenderOptions render = plan.render;
  render.channels = std::max(a.descriptor.channels, b.descriptor.channels) >= 2 ? 2 : 1;
  bytes = BuildCrossWaveFile(cross, render);
  LeaveCrossSynthesis(cross);
  return {};
}

}  // namespace

int RunXmrph(std::span<const std::string> args) {
  const std::vector<OptionRule> options = {
      {"--overlap", true}, {"--fft", true},   {"--contrast", true}, {"--no-phase-correction", false},
      {"--loop-active", true}, {"--envelope", true}, {"--level", true}, {"--bits", true},
      {"--out", true},     {"--name", true},  {"--force", false},   {"--no-force-loop", false}};
  ParsedArgs parsed;
  const std::string complaint = ParseArgs(args, options, parsed);
  if (!complaint.empty()) return UsageError("xmrph", complaint);
  if (parsed.help) {
    std::printf("%s", kXmrphHelp);
    return kExitOk;
  }
  XmrphPlan plan;
  const std::string planComplaint = PlanXmrph(parsed, plan);
  if (!planComplaint.empty()) return UsageError("xmrph", planComplaint);
  if (parsed.operands.size() != 2) return UsageError("xmrph", "needs exactly two files, A and B");

  const ReadRules rules = CliReadRules(parsed.Has("--no-force-loop"));
  const std::string& fileA = parsed.operands[0];
  const std::string& fileB = parsed.operands[1];
  LoadedSampleFile a, b;
  std::string refusal = LoadCliSample(fileA, rules, a);
  if (!refusal.empty()) {
    ReportRejected(fileA, refusal);
    return kExitRejected;
  }
  refusal = LoadCliSample(fileB, rules, b);
  if (!refusal.empty()) {
    ReportRejected(fileB, refusal);
    return kExitRejected;
  }
  // The resynthesis is the long part: its progress drives the bar.
  ProgressBar bar = StartProgress(kProgressSteps);
  ProgressHooks hooks;
  hooks.step = [&bar](const char*, int64_t done, int64_t total) {
    if (total > 0) StepProgress(bar, static_cast<size_t>(std::clamp<int64_t>(done, 0, total) * kProgressSteps / total));
    return false;
  };
  std::vector<uint8_t> bytes;
  refusal = CrossSynthesise(plan, a, BaseName(fileA), b, BaseName(fileB), hooks, bytes);
  EndProgress(bar);
  if (!refusal.empty()) {
    ReportRejected(fileA, refusal);
    return kExitRejected;
  }
  const std::string name = parsed.Value("--name") ? *parsed.Value("--name") : BaseName(fileA);
  return WriteRendering(plan.outDir, name, bytes, plan.force, fileA) ? kExitOk : kExitRejected;
}
