#include "modules/import_engine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "core/message_codes.h"
#include "core/message_texts.h"
#include "files/file_moves.h"
#include "files/folder_table.h"
#include "files/library_moves.h"
#include "files/library_paths.h"
#include "files/wave_reader.h"
#include "modules/import_resampler.h"
#include "modules/import_source.h"
#include "modules/import_wave_out.h"

namespace {

constexpr size_t kProgramNameChars = 8;
constexpr std::string_view kKeypadSymbols = "!#$%&'()-@_`{}^";
constexpr size_t kBlockFrames = 16384;
constexpr size_t kCopyBlockBytes = 1 << 16;

std::atomic<unsigned> gStagedCount{0};

std::string StagingPath(const std::string& folder, const std::string& extension) {
  return folder + "/.import-" + std::to_string(getpid()) + "-" + std::to_string(gStagedCount++) + extension;
}

bool CopyFileBytes(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) return false;
  std::FILE* out = std::fopen(to.c_str(), "wb");
  bool ok = out != nullptr;
  std::vector<char> block(kCopyBlockBytes);
  while (ok) {
    const size_t got = std::fread(block.data(), 1, block.size(), in);
    if (got > 0) ok = std::fwrite(block.data(), 1, got, out) == got;
    if (got < block.size()) {
      ok = ok && !std::ferror(in);
      break;
    }
  }
  std::fclose(in);
  if (out) ok = std::fclose(out) == 0 && ok;
  if (!ok) std::remove(to.c_str());
  return ok;
}

// Positions scale with the rate; a loop that covered the whole file still
// does.
std::optional<ImportInstrument> ScaledInstrument(std::optional<ImportInstrument> instrument, double ratio,
                                                 uint64_t outFrames) {
  if (!instrument || !instrument->loop) return instrument;
  ImportLoop& loop = *instrument->loop;
  loop.start = std::min<uint64_t>(static_cast<uint64_t>(std::llround(static_cast<double>(loop.start) * ratio)), outFrames);
  loop.end = std::min<uint64_t>(static_cast<uint64_t>(std::llround(static_cast<double>(loop.end) * ratio)), outFrames);
  if (loop.end <= loop.start) instrument->loop.reset();
  return instrument;
}

std::string ConversionText(const ImportSourceFacts& facts, bool floatOut) {
  std::string text = std::to_string(facts.sampleRate);
  text.append(" Hz ").append(facts.depthText);
  if (facts.channels > 2) text.append(" ").append(std::to_string(facts.channels)).append(" channels");
  text.append(" -> ").append(std::to_string(kProgramSampleRate)).append(" Hz ").append(floatOut ? "float" : "16-bit");
  if (facts.channels > 2) text.append(" stereo");
  return text;
}

// A single cycle: one loop over the whole file, short enough to stay a
// single cycle at 44.1 kHz.
bool IsWholeFileCycle(const ImportSourceFacts& facts, uint64_t outFrames) {
  if (!facts.instrument || !facts.instrument->loop) return false;
  const ImportLoop& loop = *facts.instrument->loop;
  return loop.start == 0 && loop.end == facts.frames && outFrames >= 1 && outFrames <= kMaxSingleCycleFrames;
}

// A single cycle is resampled as one period, so that it still loops
// without a seam; it is small enough to be read whole.
std::string ConvertCycle(ImportSource& source, const std::string& path, uint64_t outFrames) {
  const ImportSourceFacts& facts = source.facts;
  const auto channels = static_cast<size_t>(facts.outChannels);
  std::vector<float> cycle(static_cast<size_t>(facts.frames) * channels);
  const int64_t got = ReadImportFrames(source, cycle);
  if (got < 0 || static_cast<uint64_t>(got) != facts.frames) return kImportDamaged;
  ImportWaveOut out;
  if (!OpenImportWave(out, path, facts.outChannels, !facts.fitsSixteenBits)) {
    return std::string(MessageText(kMsgAccessDenied));
  }
  WriteImportFrames(out, ResampleCycle(cycle, facts.outChannels, static_cast<size_t>(outFrames)));
  const double ratio = static_cast<double>(kProgramSampleRate) / facts.sampleRate;
  if (!FinishImportWave(out, ScaledInstrument(facts.instrument, ratio, out.frames))) {
    return std::string(MessageText(kMsgAccessDenied));
  }
  return {};
}

// Streams the source through the mix-down and the resampler into the WAV
// file; the refusal, or empty when written.
std::string ConvertInto(ImportSource& source, const std::string& path) {
  const ImportSourceFacts& facts = source.facts;
  const int channels = facts.outChannels;
  const bool resampling = facts.sampleRate != kProgramSampleRate;
  const double ratio = static_cast<double>(kProgramSampleRate) / facts.sampleRate;
  const auto declaredOut = static_cast<uint64_t>(std::llround(static_cast<double>(facts.frames) * ratio));
  if (declaredOut > kMaxSampleFrames) return kImportTooLarge;

  if (resampling && IsWholeFileCycle(facts, declaredOut)) return ConvertCycle(source, path, declaredOut);

  ImportResampler resampler;
  if (resampling && !StartResampler(resampler, facts.sampleRate, kProgramSampleRate, channels)) return kImportUnreadable;
  ImportWaveOut out;
  if (!OpenImportWave(out, path, channels, !facts.fitsSixteenBits)) {
    StopResampler(resampler);
    return std::string(MessageText(kMsgAccessDenied));
  }
  std::vector<float> block(kBlockFrames * static_cast<size_t>(channels));
  uint64_t inFrames = 0;
  std::string refusal;
  // Everything past the declared length is what the resampler's tail
  // would add; the exact length is set once the input is known.
  auto writeCapped = [&](std::span<const float> frames) {
    const uint64_t room = (kMaxSampleFrames + 1 > out.frames) ? kMaxSampleFrames + 1 - out.frames : 0;
    const uint64_t count = std::min<uint64_t>(frames.size() / static_cast<size_t>(channels), room);
    WriteImportFrames(out, frames.first(static_cast<size_t>(count) * static_cast<size_t>(channels)));
  };
  for (;;) {
    const int64_t got = ReadImportFrames(source, block);
    if (got < 0) {
      refusal = kImportDamaged;
      break;
    }
    if (got == 0) break;
    inFrames += static_cast<uint64_t>(got);
    const auto frames = std::span<const float>(block).first(static_cast<size_t>(got) * static_cast<size_t>(channels));
    writeCapped(resampling ? Resample(resampler, frames) : frames);
    if (out.frames > kMaxSampleFrames) {
      refusal = kImportTooLarge;
      break;
    }
  }
  const uint64_t target =
      resampling ? static_cast<uint64_t>(std::llround(static_cast<double>(inFrames) * ratio)) : inFrames;
  if (refusal.empty() && resampling) {
    const std::span<const float> tail = Resample(resampler, {});
    const uint64_t room = target > out.frames ? target - out.frames : 0;
    const uint64_t count = std::min<uint64_t>(tail.size() / static_cast<size_t>(channels), room);
    WriteImportFrames(out, tail.first(static_cast<size_t>(count) * static_cast<size_t>(channels)));
    const std::vector<float> silence((target > out.frames ? target - out.frames : 0) * static_cast<size_t>(channels));
    WriteImportFrames(out, silence);
  }
  StopResampler(resampler);
  // Compressed streams may declare an estimate; elsewhere fewer frames
  // than declared mean the file was cut short.
  const bool lengthIsEstimate = facts.depthText == "MP3";
  if (refusal.empty() && inFrames == 0) refusal = kImportNoAudio;
  if (refusal.empty() && !lengthIsEstimate && inFrames < facts.frames) refusal = kImportDamaged;
  if (refusal.empty() && out.frames > kMaxSampleFrames) refusal = kImportTooLarge;
  if (!refusal.empty()) {
    AbandonImportWave(out);
    return refusal;
  }
  const auto instrument = ScaledInstrument(facts.instrument, resampling ? ratio : 1.0, out.frames);
  if (!FinishImportWave(out, instrument)) return std::string(MessageText(kMsgAccessDenied));
  return {};
}

bool IsRegularFile(const std::string& path) {
  struct stat facts {};
  return stat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
}

}  // namespace

std::string LibraryFileStem(std::string_view fileName) {
  const size_t slash = fileName.rfind('/');
  if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
  const size_t dot = fileName.rfind('.');
  if (dot != std::string_view::npos && dot > 0) fileName = fileName.substr(0, dot);
  std::string stem;
  for (const char c : fileName.substr(0, kProgramNameChars)) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool onKeypad = (upper >= '0' && upper <= '9') || (upper >= 'A' && upper <= 'Z') ||
                          kKeypadSymbols.find(upper) != std::string_view::npos;
    stem += onKeypad ? upper : '_';
  }
  return stem.empty() ? "_" : stem;
}

StagedImport StageImport(const std::string& source, const std::string& stagingFolder, const ReadRules& rules) {
  StagedImport staged;
  staged.source = source;
  if (!IsRegularFile(source)) {
    staged.reason = MessageText(kMsgFileNotFound);
    return staged;
  }
  // What the library reads already goes in unchanged.
  const int16_t accepted = TestSoundFile(source, nullptr, rules);
  if (accepted > 0 && IsCategoryInUse(accepted)) {
    const std::string extension = kFolderTable[static_cast<size_t>(accepted)].extension;
    staged.stagedPath = StagingPath(stagingFolder, extension);
    if (!CopyFileBytes(source, staged.stagedPath)) {
      staged.reason = MessageText(kMsgAccessDenied);
      return staged;
    }
    staged.category = accepted;
    staged.copied = true;
    staged.fileName = LibraryFileStem(source) + extension;
    return staged;
  }

  ImportSource input;
  if (!OpenImportSource(source, input)) {
    staged.reason = kImportUnreadable;
    return staged;
  }
  const std::string extension = kFolderTable[kCategorySample].extension;
  staged.stagedPath = StagingPath(stagingFolder, extension);
  staged.conversion = ConversionText(input.facts, !input.facts.fitsSixteenBits);
  staged.reason = ConvertInto(input, staged.stagedPath);
  CloseImportSource(input);
  if (staged.Ok()) {
    FileInfo info;
    staged.category = TestSoundFile(staged.stagedPath, &info, rules);
    if (staged.category <= 0) staged.reason = info.remark;
  }
  if (!staged.Ok()) {
    std::remove(staged.stagedPath.c_str());
    staged.stagedPath.clear();
    staged.category = 0;
    return staged;
  }
  staged.fileName = LibraryFileStem(source) + extension;
  return staged;
}

PlacedImport PlaceImport(const StagedImport& staged, const std::string& folder) {
  PlacedImport placed;
  const NumberedName name = SplitNumberedName(staged.fileName);
  for (int k = 0; k <= kMaxNumberedName; ++k) {
    if (k != 0 && k == name.takenOff) continue;
    const std::string candidate = folder + "/" + NumberedCandidate(name, k);
    if (candidate.size() > kMaxMovedPathChars) {
      placed.reason = MessageText(kMsgPathTooLong);
      break;
    }
    const MoveResult moved = MoveFileNoReplace(staged.stagedPath, candidate);
    if (moved == MoveResult::kMoved) {
      placed.path = candidate;
      return placed;
    }
    if (moved == MoveResult::kFailed) {
      placed.reason = MessageText(kMsgAccessDenied);
      break;
    }
    if (HaveEqualContent(staged.stagedPath, candidate)) {
      placed.path = candidate;
      placed.existing = true;
      std::remove(staged.stagedPath.c_str());
      return placed;
    }
  }
  if (placed.reason.empty()) placed.reason = MessageText(kMsgFileAlreadyExists);
  std::remove(staged.stagedPath.c_str());
  return placed;
}

void DiscardStagedImport(const StagedImport& staged) {
  if (!staged.stagedPath.empty()) std::remove(staged.stagedPath.c_str());
}

std::vector<std::string> ExpandImportPaths(std::span<const std::string> paths) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
      files.push_back(path);
      continue;
    }
    for (const FolderEntry& entry : ListFolder(path)) {
      if (entry.isRegularFile) files.push_back(entry.fullPath);
    }
  }
  return files;
}
