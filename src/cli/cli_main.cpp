#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "core/app_globals.h"
#include "formats/table_format_readers.h"

// sonic-loom-cli: the engine of Sonic-Loom for batch work and scripts. It
// never opens a window or a sound device.

namespace {

struct Command {
  std::string_view name;
  std::string_view summary;
  int (*run)(std::span<const std::string> args);  // null: not part of this build yet
};

constexpr Command kCommands[] = {
    {"info", "print the category and properties of sound files", RunInfo},
    {"sort", "sort a library folder as the program does at start", RunSort},
    {"convert", "write VORTA wavetables in other formats", RunConvert},
    {"analyse", "analyse samples into VORTA wavetables", RunAnalyse},
    {"xform", "analyse a sample into an XFORM noise-filter wavetable", RunXform},
    {"sloop", "turn a sample into a long seamless loop", RunSloop},
    {"xmrph", "cross-synthesise two files", RunXmrph},
    {"import", "bring recordings of any format into the library", RunImport},
};

void PrintHelp() {
  std::printf("Usage: %s COMMAND [OPTIONS] ARGS...\n\nCommands:\n", kCliName);
  for (const Command& command : kCommands) {
    if (!command.run) continue;
    std::printf("  %-9.*s%.*s\n", static_cast<int>(command.name.size()), command.name.data(),
                static_cast<int>(command.summary.size()), command.summary.data());
  }
  std::printf(
      "\n'%s COMMAND --help' describes a command.\n"
      "Exit status: 0 success, 1 when any input was refused (reported on standard\n"
      "error as FILE: MESSAGE), 2 for bad usage.\n",
      kCliName);
}

}  // namespace

int main(int argc, char** argv) {
  RegisterTableFormatReaders();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintHelp();
    return kExitUsage;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    PrintHelp();
    return kExitOk;
  }
  if (first == "--version") {
    std::printf("%s %s\n", kCliName, kVersionText);
    return kExitOk;
  }
  BuildIdentityStrings(gApp);
  for (const Command& command : kCommands) {
    if (command.name != first) continue;
    if (!command.run) {
      std::fprintf(stderr, "%s: the command '%s' is not built yet\n", kCliName, first.c_str());
      return kExitUsage;
    }
    return command.run(std::span<const std::string>(args).subspan(1));
  }
  std::fprintf(stderr, "%s: unknown command '%s'\nTry '%s --help'.\n", kCliName, first.c_str(), kCliName);
  return kExitUsage;
}
