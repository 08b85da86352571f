#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_library.h"
#include "core/message_codes.h"
#include "files/folder_table.h"
#include "files/wave_reader.h"

namespace {

constexpr const char* kInfoHelp =
    "Usage: sonic-loom-cli info [--json] [--no-force-loop] FILE...\n"
    "\n"
    "Tests each file as the library does and prints one line per file: the\n"
    "name, the category number, the category folder and every property the\n"
    "browser shows (remark, loop, family, channels, format, count, length,\n"
    "slot, device) as name=value, separated by tabs.\n"
    "\n"
    "  --json            one JSON object per line instead\n"
    "  --no-force-loop   classify as with FORCE LOOP FOR SINGLE CYCLE set to NO:\n"
    "                    short files without a loop count as single cycles\n"
    "\n"
    "A file the program does not recognise is printed with category 0 and its\n"
    "reason, which is also written to standard error; the exit status is then 1.\n"
    "Control characters in names are escaped (\\t, \\n, \\x1b, and \\\\ for a\n"
    "backslash). A WAV file whose data is shorter than its header says gets a\n"
    "warning on standard error; its category stays as it is.\n";

constexpr std::array<OptionRule, 2> kInfoOptions = {{{"--json", false}, {"--no-force-loop", false}}};

// The properties in the browser's order, by name.
std::array<std::pair<const char*, const std::string*>, 9> InfoFields(const FileInfo& info) {
  return {{{"remark", &info.remark},
           {"loop", &info.loop},
           {"family", &info.family},
           {"channels", &info.channels},
           {"format", &info.format},
           {"count", &info.count},
           {"length", &info.length},
           {"slot", &info.slot},
           {"device", &info.device}}};
}

// Tabs and newlines in a name would break the line apart: escaped.
std::string TextLine(const std::string& file, int category, const FileInfo& info) {
  std::string line = EscapedText(file) + "\t" + std::to_string(category) + "\t" + kFolderTable[category].folderName;
  for (const auto& [name, value] : InfoFields(info)) {
    if (!value->empty()) line += std::string("\t") + name + "=" + EscapedText(*value);
  }
  return line;
}

std::string JsonLine(const std::string& file, int category, const FileInfo& info) {
  std::string line = "{\"file\":" + JsonQuoted(file) + ",\"category\":" + std::to_string(category) +
                     ",\"folder\":" + JsonQuoted(kFolderTable[category].folderName);
  for (const auto& [name, value] : InfoFields(info)) {
    if (!value->empty()) line += std::string(",\"") + name + "\":" + JsonQuoted(*value);
  }
  return line + "}";
}

}  // namespace

int RunInfo(std::span<const std::string> args) {
  ParsedArgs parsed;
  const std::string complaint = ParseArgs(args, kInfoOptions, parsed);
  if (!complaint.empty()) return UsageError("info", complaint);
  if (parsed.help) {
    std::fputs(kInfoHelp, stdout);
    return kExitOk;
  }
  if (parsed.operands.empty()) return UsageError("info", "no FILE given");

  const ReadRules rules = CliReadRules(parsed.Has("--no-force-loop"));
  const bool json = parsed.Has("--json");
  int exitCode = kExitOk;
  for (const std::string& file : parsed.operands) {
    const std::string refusal = InputRefusal(file);
    if (!refusal.empty()) {
      ReportRejected(file, refusal);
      exitCode = kExitRejected;
      continue;
    }
    FileInfo info;
    int category = TestSoundFile(file, &info, rules);
    if (!IsCategoryInUse(category)) category = kCategoryUnrecognized;
    WarnIfDataCutShort(file, category);
    const std::string line = json ? JsonLine(file, category, info) : TextLine(file, category, info);
    std::printf("%s\n", line.c_str());
    if (category == kCategoryUnrecognized) {
      std::fflush(stdout);
      ReportRejected(file, info.remark);
      exitCode = kExitRejected;
    }
  }
  return exitCode;
}
