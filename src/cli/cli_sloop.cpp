#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_library.h"
#include "cli/cli_samples.h"
#include "cli/cli_tables.h"
#include "core/message_codes.h"
#include "core/message_texts.h"
#include "core/random.h"
#include "modules/loaded_sample.h"
#include "modules/loop_rendering.h"
#include "modules/loop_synthesis.h"
#include "wavetable/vorta_wave_output.h"

namespace {

constexpr const char* kSloopHelp =
    "Usage: sonic-loom-cli sloop [options] SAMPLE...\n"
    "\n"
    "Turns each sample (categories 1 and 2) into a seamless loop of the same\n"
    "length, as loop synthesis computes it, and writes it as the page FILE\n"
    "RENDERING does: NAME.WAV, looped from start to end.\n"
    "\n"
    "Loop synthesis options (defaults: the page's start values):\n"
    "  --density D         spectral density, a power of two 1..16384 (default:\n"
    "                      the smallest power of two not below length / 512);\n"
    "                      the page raises it only below length / 128\n"
    "  --smear S           spectral smearing, a power of two 1..D (default D)\n"
    "  --bidir             bidirectional mix\n"
    "  --wide              stereo widening\n"
    "  --seed N            start of the random jitter (default: the clock), for\n"
    "                      repeatable results\n"
    "\n"
    "Rendering options:\n"
    "  --loop-start P      loop start offset 0..920 (0 to 100 %%, default 0)\n"
    "  --level full|source level alignment: FULL RANGE (default) or TO SOURCE\n"
    "  --bits 8|16|32|float  sample format (default 16)\n"
    "\n"
    "Output options:\n"
    "  --out DIR           folder to write into (default: the current folder)\n"
    "  --name NAME         output name for a single SAMPLE (default: the file's\n"
    "                      own name, cut to 8 characters)\n"
    "  --force             replace existing files\n"
    "  --no-force-loop     read as with FORCE LOOP FOR SINGLE CYCLE set to NO\n";

constexpr const char* kDensityUnreachable = " <SPECTRAL DENSITY>";

struct SloopPlan {
  long density = 0;  // 0: the page's start value
  long smear = 0;
  bool bidirectional = false;
  bool widening = false;
  LoopRenderOptions render;
  std::string outDir = ".";
  bool force = false;
};

bool IsPowerOfTwo(long value) { return value > 0 && (value & (value - 1)) == 0; }

std::string PlanSloop(const ParsedArgs& parsed, SloopPlan& plan) {
  if (const std::string* text = parsed.Value("--density")) {
    if (!ParseInteger(*text, 1, kMaxLoopDensity, plan.density) || !IsPowerOfTwo(plan.density)) {
      return "--density must be a power of two from 1 to 16384";
    }
  }
  if (const std::string* text = parsed.Value("--smear")) {
    if (!ParseInteger(*text, 1, kMaxLoopDensity, plan.smear) || !IsPowerOfTwo(plan.smear)) {
      return "--smear must be a power of two from 1 to 16384";
    }
    if (plan.density > 0 && plan.smear > plan.density) return "--smear must not exceed --density";
  }
  plan.bidirectional = parsed.Has("--bidir");
  plan.widening = parsed.Has("--wide");
  long value = 0;
  if (const std::string* text = parsed.Value("--loop-start")) {
    if (!ParseInteger(*text, 0, kLoopStartOffsetMax, value)) return "--loop-start must be 0 to 920";
    plan.render.startOffset = static_cast<int32_t>(value);
  }
  if (const std::string* level = parsed.Value("--level")) {
    if (*level == "full") {
      plan.render.level = LoopLevelMode::FullRange;
    } else if (*level == "source") {
      plan.render.level = LoopLevelMode::ToSource;
    } else {
      return "--level must be full or source";
    }
  }
  if (const std::string* bits = parsed.Value("--bits")) {
    const int mode = BitsModeByName(*bits);
    if (mode < 0) return "--bits must be 8, 16, 32 or float";
    plan.render.bitsMode = mode;
  }
  uint32_t seed = static_cast<uint32_t>(std::time(nullptr));
  if (const std::string* text = parsed.Value("--seed")) {
    if (!ParseInteger(*text, 0, 4294967295L, value)) return "--seed must be 0 to 4294967295";
    seed = static_cast<uint32_t>(value);
  }
  SeedRandom(seed);
  if (const std::string* out = parsed.Value("--out")) {
    if (ExistingFolder(*out).empty()) return "--out " + *out + " is not a folder";
    plan.outDir = *out;
  }
  plan.force = parsed.Has("--force");
  return {};
}

// The buttons pressed until density and smearing read as asked; the
// message of the button that refused, empty when they were reached.
std::string ReachDensity(LoopSynthesis& loop, int32_t density, int32_t smear) {
  const ProgressHooks none;
  while (loop.density != density) {
    if (loop.density > density && loop.smear <= 1) PressLoopSynthesisButton(loop, kLoopRaiseSmear, none);
    const MessageCode code =
        PressLoopSynthesisButton(loop, loop.density < density ? kLoopRaiseDensity : kLoopLowerDensity, none);
    if (code != kMsgNone) return std::string(MessageText(code)) + kDensityUnreachable;
  }
  while (loop.smear != smear) {
    const MessageCode code =
        PressLoopSynthesisButton(loop, loop.smear < smear ? kLoopRaiseSmear : kLoopLowerSmear, none);
    if (code != kMsgNone) return std::string(MessageText(code)) + kDensityUnreachable;
  }
  return {};
}

std::string ComputeSloop(const SloopPlan& plan, const LoadedSampleFile& sample, const std::string& name,
                         std::vector<uint8_t>& bytes) {
  LoopSynthesis loop;
  MessageCode code = LoadLoopInputFromSample(loop, sample.left, sample.right, sample.descriptor, name);
  if (code != kMsgDone && code != kMsgNone) return std::string(MessageText(code));
  loop.bidirectional = plan.bidirectional;
  loop.widening = plan.widening;
  const int32_t density = plan.density > 0 ? static_cast<int32_t>(plan.density) : loop.density;
  const int32_t smear = plan.smear > 0 ? static_cast<int32_t>(plan.smear) : density;
  if (smear > density) return std::string(MessageText(kMsgMaxValue)) + kDensityUnreachable;
  const std::string refusal = ReachDensity(loop, density, smear);
  if (!refusal.empty()) return refusal;
  code = ComputeLoop(loop, ProgressHooks{});
  if (code != kMsgDone) return std::string(MessageText(code));
  bytes = BuildLoopWaveFile(loop, plan.render, sample.descriptor.unityNote, sample.descriptor.pitchFraction);
  return {};
}

}  // namespace

int RunSloop(std::span<const std::string> args) {
  const std::vector<OptionRule> options = {
      {"--density", true}, {"--smear", true}, {"--bidir", false},  {"--wide", false},
      {"--seed", true},    {"--loop-start", true}, {"--level", true}, {"--bits", true},
      {"--out", true},     {"--name", true},  {"--force", false}, {"--no-force-loop", false}};
  ParsedArgs parsed;
  const std::string complaint = ParseArgs(args, options, parsed);
  if (!complaint.empty()) return UsageError("sloop", complaint);
  if (parsed.help) {
    std::printf("%s", kSloopHelp);
    return kExitOk;
  }
  SloopPlan plan;
  const std::string planComplaint = PlanSloop(parsed, plan);
  if (!planComplaint.empty()) return UsageError("sloop", planComplaint);
  const std::string operandComplaint = CheckOperands(parsed, "SAMPLE");
  if (!operandComplaint.empty()) return UsageError("sloop", operandComplaint);

  const ReadRules rules = CliReadRules(parsed.Has("--no-force-loop"));
  int exitCode = kExitOk;
  ProgressBar bar = StartProgress(parsed.operands.size());
  for (size_t i = 0; i < parsed.operands.size(); ++i) {
    const std::string& file = parsed.operands[i];
    const std::string name = parsed.Value("--name") ? *parsed.Value("--name") : BaseName(file);
    LoadedSampleFile sample;
    std::vector<uint8_t> bytes;
    std::string refusal = LoadCliSample(file, rules, sample);
    if (refusal.empty()) refusal = ComputeSloop(plan, sample, BaseName(file), bytes);
    HideProgress(bar);
    if (!refusal.empty()) {
      ReportRejected(file, refusal);
      exitCode = kExitRejected;
    } else if (!WriteRendering(plan.outDir, name, bytes, plan.force, file)) {
      exitCode = kExitRejected;
    }
    StepProgress(bar, i + 1);
  }
  EndProgress(bar);
  return exitCode;
}
