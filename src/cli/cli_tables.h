#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_common.h"
#include "files/file_classification.h"
#include "wavetable/partial_table.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/vorta_wave_output.h"

// VORTA tables in and out for the commands that write tables: loading any
// VORTA-family file, the output formats, their options, output names.

struct LoadedTable {
  PartialTable table;
  int32_t stretch = kDefaultStretch;
};

struct TableLoad {
  bool ok = false;
  std::string message;  // the program's text when refused
};

// Any file of categories 3 to 10 that carries its VORTA table.
TableLoad LoadTableFile(const std::string& path, const ReadRules& rules, LoadedTable& loaded);

// The choices every table output shares.
struct TableOutputPlan {
  std::vector<int> formats;  // indices into TableFormats()
  std::string outDir;
  bool force = false;
  VortaWaveOptions wave;
  int deviceId = 0;  // Blofeld device id 0..127
  int slot = 80;     // Blofeld wavetable slot 80..118
};

// One output format: its name on the command line, the category it belongs
// to (which fixes the extension) and how its file is built.
struct TableFormat {
  std::string_view name;
  std::string_view description;
  int category;
  // The file for the optimised output copy of the table; fileName is the
  // output's name, which some formats carry inside.
  std::vector<uint8_t> (*build)(const TableOutputPlan& plan, const PartialTable& table, int32_t stretch,
                                const std::string& fileName);
};

std::span<const TableFormat> TableFormats();

// The rendering pages' bits mode of "--bits 8|16|32|float"; -1 for others.
int BitsModeByName(std::string_view name);

// The options of the table outputs (--to, --out, --force and the options of
// each format) and their help text.
void AppendTableOutputOptions(std::vector<OptionRule>& options);
const char* TableOutputOptionsHelp();

// Reads --to, --out, --force and the format options; the complaint for a
// usage error, empty when the plan stands.
std::string PlanTableOutput(const ParsedArgs& parsed, TableOutputPlan& plan);

// The name as the program's name entry would accept it: upper case, at most
// 8 characters of its keypad, the rest of a file name's stem cut off;
// characters the keypad lacks become '_'.
std::string ProgramFileStem(std::string_view fileName);

// The extension of a category's folder (".WAV", ".WT", ...).
std::string CategoryExtension(int category);

// Writes one output file: refused (kMsgFileAlreadyExists) when it exists
// and force is off, kMsgNoData for empty bytes, kMsgAccessDenied when the
// write failed; kMsgDone and true when written.
bool WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes, bool force, int& code);

// Writes one output of this run and prints its path. Refused, with a line on
// standard error, when another input of the run already claimed the same
// output (even with --force: naming both inputs), when it exists and force
// is off, or when the write failed (then the output's path and the
// system's reason are named, not the input).
bool WriteRunOutput(const std::string& path, const std::vector<uint8_t>& bytes, bool force, const std::string& source);

// Writes the table in every format of the plan, named after name; prints
// each written path. False when any file was refused (reported on standard
// error against source).
bool WriteTableOutputs(const TableOutputPlan& plan, const LoadedTable& table, const std::string& name,
                       const std::string& source);
