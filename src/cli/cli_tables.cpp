#include "cli/cli_tables.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include "cli/cli_library.h"
#include "core/atomic_file.h"
#include "core/message_codes.h"
#include "core/message_texts.h"
#include "formats/blofeld_sysex.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "files/folder_table.h"
#include "formats/foreign_table_common.h"
#include "formats/komplexer_wt.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "formats/vorta_import.h"
#include "formats/wavegenerator_wts.h"
#include "files/wave_reader.h"
#include "files/wave_writer.h"
#include "wavetable/payload.h"
#include "wavetable/vorta_workspace.h"
#include "modules/import_engine.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kNotVortaTable = " <NOT A VORTA WAVETABLE>";

std::vector<uint8_t> BuildWave(const TableOutputPlan& plan, const PartialTable& table, int32_t stretch,
                               const std::string& /*fileName*/) {
  VortaWaveImage image;
  if (!PrepareVortaWave(table, stretch, plan.wave, image)) return {};
  return EncodeWaveFile(image.header, image.block, image.samples, image.samples);
}

std::vector<uint8_t> BuildSyx(const TableOutputPlan& plan, const PartialTable& table, int32_t stretch,
                              const std::string& fileName) {
  const std::vector<float> waves = RenderWaves(table, kBlofeldWaveLength, 2);
  std::vector<uint8_t> dump(kBlofeldDumpBytes);
  BuildBlofeldDump(std::span<uint8_t, kBlofeldDumpBytes>(dump.data(), kBlofeldDumpBytes), waves, fileName, stretch,
                   plan.deviceId, plan.slot);
  return dump;
}

std::vector<uint8_t> BuildKomplexer(const TableOutputPlan&, const PartialTable& table, int32_t stretch,
                                    const std::string&) {
  return BuildKomplexerFile(table, stretch);
}

std::vector<uint8_t> BuildEfe(const TableOutputPlan&, const PartialTable& table, int32_t stretch,
                              const std::string& fileName) {
  return BuildEfeFile(table, static_cast<uint8_t>(stretch), fileName);
}

std::vector<uint8_t> BuildSurge(const TableOutputPlan&, const PartialTable& table, int32_t stretch,
                                const std::string&) {
  return BuildSurgeFile(table, stretch);
}

std::vector<uint8_t> BuildWts(const TableOutputPlan&, const PartialTable& table, int32_t stretch, const std::string&) {
  return BuildWtsFile(table, stretch);
}

std::vector<uint8_t> BuildDune2(const TableOutputPlan&, const PartialTable& table, int32_t stretch,
                                const std::string&) {
  return BuildDune2File(table, stretch);
}

std::vector<uint8_t> BuildSerum(const TableOutputPlan&, const PartialTable& table, int32_t stretch,
                                const std::string&) {
  return BuildSerumFile(table, stretch);
}

const std::vector<TableFormat>& FormatTable() {
  static const std::vector<TableFormat> formats = {
      {"wav", "the program's own WAV wavetable (category 3)", kCategoryVortaWav, BuildWave},
      {"syx", "Blofeld SysEx wavetable (category 5)", kCategoryBlofeld, BuildSyx},
      {"komplexer", "Komplexer WT (category 4)", kCategoryKomplexer, BuildKomplexer},
      {"efe", "EPS16+/ASR10 EFE (category 6)", kCategoryEfe, BuildEfe},
      {"surge", "Surge WT (category 7)", kCategorySurge, BuildSurge},
      {"wts", "WaveGenerator WTS (category 8)", kCategoryWaveGenerator, BuildWts},
      {"dune2", "Dune2 WT (category 9)", kCategoryDune2, BuildDune2},
      {"serum", "Serum-style WAV, 2048-sample waves (category 10)", kCategorySerum, BuildSerum},
  };
  return formats;
}

int FormatIndex(std::string_view name) {
  const auto& formats = FormatTable();
  for (size_t i = 0; i < formats.size(); ++i) {
    if (formats[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

bool PlanHas(const TableOutputPlan& plan, std::string_view name) {
  const int index = FormatIndex(name);
  for (const int format : plan.formats) {
    if (format == index) return true;
  }
  return false;
}

std::string PlanWaveOptions(const ParsedArgs& parsed, TableOutputPlan& plan) {
  VortaWaveOptions& wave = plan.wave;
  const bool wanted = PlanHas(plan, "wav");
  for (const char* option : {"--samples", "--slices-per-step", "--base", "--bits"}) {
    if (!wanted && parsed.Has(option)) return std::string(option) + " applies to --to wav only";
  }
  if (const std::string* base = parsed.Value("--base")) {
    if (*base == "normal") {
      wave.base = WaveBase::kNormal;
    } else if (*base == "alternate") {
      wave.base = WaveBase::kAlternate;
    } else {
      return "--base must be normal or alternate";
    }
  }
  long value = 0;
  if (const std::string* samples = parsed.Value("--samples")) {
    if (!ParseInteger(*samples, kMinWaveSamples, kMaxWaveSamples, value) ||
        !IsReachableSamplesPerSlice(static_cast<int>(value))) {
      return "--samples must be 128, 256, 512, 1024 or 2048";
    }
    wave.samplesPerSlice = static_cast<int>(value);
  }
  if (const std::string* step = parsed.Value("--slices-per-step")) {
    if (!ParseInteger(*step, 1, kMaxWavesPerStep, value) || !IsReachableWavesPerStep(static_cast<int>(value), wave.base)) {
      return wave.base == WaveBase::kNormal ? "--slices-per-step must be 1, 2, 4, 8, 16 or 32"
                                            : "--slices-per-step must be 2, 4, 8, 16 or 32 with --base alternate";
    }
    wave.wavesPerStep = static_cast<int>(value);
  }
  if (const std::string* bits = parsed.Value("--bits")) {
    wave.bitsMode = BitsModeByName(*bits);
    if (wave.bitsMode < 0) return "--bits must be 8, 16, 32 or float";
  }
  return {};
}

std::string PlanBlofeldOptions(const ParsedArgs& parsed, TableOutputPlan& plan) {
  const bool wanted = PlanHas(plan, "syx");
  long value = 0;
  if (const std::string* id = parsed.Value("--device-id")) {
    if (!wanted) return "--device-id applies to --to syx only";
    if (!ParseInteger(*id, 0, kBlofeldMaxDeviceId, value)) return "--device-id must be 0 to 127";
    plan.deviceId = static_cast<int>(value);
  }
  if (const std::string* slot = parsed.Value("--slot")) {
    if (!wanted) return "--slot applies to --to syx only";
    if (!ParseInteger(*slot, kBlofeldMinSlot, kBlofeldMaxSlot, value)) return "--slot must be 80 to 118";
    plan.slot = static_cast<int>(value);
  }
  return {};
}

}  // namespace

bool WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes, bool force, int& code) {
  if (bytes.empty()) {
    code = kMsgNoData;
    return false;
  }
  std::error_code error;
  if (!force && fs::exists(fs::symlink_status(path, error))) {
    code = kMsgFileAlreadyExists;
    errno = EEXIST;
    return false;
  }
  const bool written = force ? WriteFileAtomically(path, bytes)
                             : WriteNewFileAtomically(path, [&bytes](std::FILE* stream) {
                                 return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
                               });
  code = written ? kMsgDone : kMsgAccessDenied;
  return written;
}

bool WriteRunOutput(const std::string& path, const std::vector<uint8_t>& bytes, bool force, const std::string& source) {
  const std::string fileName = BaseName(path);
  const std::string earlier = ClaimRunOutput(path, source);
  int code = kMsgNone;
  if (earlier.empty() && WriteOutputFile(path, bytes, force, code)) {
    std::printf("%s\n", path.c_str());
    return true;
  }
  const int error = errno;
  std::fflush(stdout);
  if (!earlier.empty()) {
    const std::string taken = std::string(MessageText(kMsgFileAlreadyExists)) + " <" + fileName + ">";
    ReportRejected(source, taken + " <ALSO THE OUTPUT OF " + EscapedText(earlier) + ">");
  } else if (code == kMsgFileAlreadyExists || code == kMsgNoData) {
    ReportRejectedCode(source, code, code == kMsgFileAlreadyExists ? " <" + fileName + ">" : std::string());
  } else {
    // The output failed, not the input: its path and the system's reason.
    ReportRejected(path, "cannot write the output of " + EscapedText(source) + ": " + std::strerror(error));
  }
  return false;
}

std::span<const TableFormat> TableFormats() { return FormatTable(); }

int BitsModeByName(std::string_view name) {
  if (name == "8") return kBitsMode8;
  if (name == "16") return kBitsMode16;
  if (name == "32") return kBitsMode32;
  if (name == "float") return kBitsModeFloat;
  return -1;
}

TableLoad LoadTableFile(const std::string& path, const ReadRules& rules, LoadedTable& loaded) {
  TableLoad load;
  load.message = InputRefusal(path);
  if (!load.message.empty()) return load;
  FileInfo info;
  const int category = TestSoundFile(path, &info, rules);
  if (category == kCategoryUnrecognized) {
    load.message = info.remark;
    return load;
  }
  WarnIfDataCutShort(path, category);
  if (category < kCategoryVortaWav || category > kCategorySerum) {
    load.message = std::string(MessageText(kMsgNoData)) + kNotVortaTable;
    return load;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    load.message = MessageText(kMsgAccessDenied);
    return load;
  }
  const bool read = LoadVortaStream(file, BaseName(path), category, loaded.table, loaded.stretch, rules);
  std::fclose(file);
  if (!read) {
    load.message = std::string(MessageText(kMsgNoData)) + kNotVortaTable;
    return load;
  }
  load.ok = true;
  return load;
}

void AppendTableOutputOptions(std::vector<OptionRule>& options) {
  for (const char* option : {"--samples", "--slices-per-step", "--base", "--bits", "--device-id", "--slot"}) {
    options.push_back({option, true});
  }
}

const char* TableOutputOptionsHelp() {
  return "\n"
         "Options of --to wav (as on the page WAVETABLE RENDERING <WAV>):\n"
         "  --samples S          samples per slice: 128, 256 (default), 512, 1024, 2048\n"
         "  --slices-per-step M  waves per slice step: 1, 2, 4, 8, 16, 32 (default)\n"
         "  --base normal|alternate\n"
         "                       normal writes 32*M+1 slices, alternate 32*M\n"
         "                       (the last slice left out)\n"
         "  --bits 8|16|32|float sample format (default 16)\n"
         "\n"
         "Options of --to syx:\n"
         "  --device-id N        Blofeld device id 0..127 (default 0)\n"
         "  --slot N             wavetable slot 80..118 (default 80)\n"
         "\n"
         "komplexer, surge and dune2 all write .WT files, wav and serum both .WAV:\n"
         "such formats need separate runs with different --out folders.\n";
}

std::string PlanTableOutput(const ParsedArgs& parsed, TableOutputPlan& plan) {
  const std::string* to = parsed.Value("--to");
  if (!to) return "--to FORMAT is required";
  std::set<std::string> extensions;
  for (const std::string& name : SplitList(*to)) {
    const int index = FormatIndex(name);
    if (index < 0) return "unknown format '" + name + "'";
    if (PlanHas(plan, name)) continue;
    const std::string extension = CategoryExtension(FormatTable()[static_cast<size_t>(index)].category);
    if (!extensions.insert(extension).second) {
      return "two of the formats write " + extension + " files; write them to different --out folders";
    }
    plan.formats.push_back(index);
  }
  if (plan.formats.empty()) return "--to FORMAT is required";

  plan.outDir.assign(1, '.');  // the current folder
  if (const std::string* out = parsed.Value("--out")) {
    if (ExistingFolder(*out).empty()) return "--out " + *out + " is not a folder";
    plan.outDir = *out;
  }
  plan.force = parsed.Has("--force");
  const std::string waveComplaint = PlanWaveOptions(parsed, plan);
  return waveComplaint.empty() ? PlanBlofeldOptions(parsed, plan) : waveComplaint;
}

std::string ProgramFileStem(std::string_view fileName) { return LibraryFileStem(fileName); }

std::string CategoryExtension(int category) {
  return IsCategoryInUse(category) ? kFolderTable[static_cast<size_t>(category)].extension : "";
}

bool WriteTableOutputs(const TableOutputPlan& plan, const LoadedTable& table, const std::string& name,
                       const std::string& source) {
  bool allWritten = true;
  const std::string stem = ProgramFileStem(name);
  for (const int index : plan.formats) {
    const TableFormat& format = FormatTable()[static_cast<size_t>(index)];
    const std::string fileName = stem + CategoryExtension(format.category);
    const std::string path = plan.outDir + "/" + fileName;
    const std::vector<uint8_t> bytes =
        format.build(plan, TableForOutput(table.table), ClampStretch(table.stretch), fileName);
    if (!WriteRunOutput(path, bytes, plan.force, source)) allWritten = false;
  }
  return allWritten;
}
