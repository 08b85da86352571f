#pragma once
#include <cstdio>
#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The frame every command of the command-line tool shares: exit codes,
// option parsing, diagnostics on standard error and the progress bar.

inline constexpr const char* kCliName = "sonic-loom-cli";

enum CliExit : int {
  kExitOk = 0,
  kExitRejected = 1,  // at least one input was refused
  kExitUsage = 2,     // bad command line, or a command this build lacks
};

struct OptionRule {
  std::string_view name;  // "--to"
  bool takesValue = false;
};

struct ParsedArgs {
  std::vector<std::string> operands;
  std::map<std::string, std::string, std::less<>> values;  // last one given wins
  std::set<std::string, std::less<>> flags;
  bool help = false;

  bool Has(std::string_view option) const { return flags.count(option) > 0 || values.count(option) > 0; }
  const std::string* Value(std::string_view option) const;
};

// "--name value", "--name=value", flags, "--" ends the options, "-h" and
// "--help" ask for help. Returns the complaint, empty when the line parsed.
std::string ParseArgs(std::span<const std::string> args, std::span<const OptionRule> rules, ParsedArgs& out);

// Usage fault: "sonic-loom-cli COMMAND: complaint" and a pointer to --help.
int UsageError(std::string_view command, std::string_view complaint);

// The operands of a command that writes one output per input: at least one,
// and exactly one when --name gives the output its name. Empty when fine.
std::string CheckOperands(const ParsedArgs& parsed, std::string_view operandName);

// An input the engine refused: "file: MESSAGE TEXT" on standard error, the
// file's name with its control characters escaped.
void ReportRejected(std::string_view file, std::string_view text);
void ReportRejectedCode(std::string_view file, int messageCode, std::string_view appended = {});

// Whole numbers only, within min..max.
bool ParseInteger(std::string_view text, long min, long max, long& value);
bool ParseDecimal(std::string_view text, double min, double max, double& value);

// Splits "a,b,c" into its non-empty parts.
std::vector<std::string> SplitList(std::string_view text);

// A JSON string literal of the text.
std::string JsonQuoted(std::string_view text);

// The text on one line: backslash, tab, newline, carriage return and the
// other control characters written as C escapes ("\\", "\t", "\n", "\x1b").
std::string EscapedText(std::string_view text);

// The outputs of this run: the first claim of an output path records its
// input; a later claim of the same file (however the path is spelled)
// gets that first input back and must not write, even with --force.
// Empty when the path was free.
std::string ClaimRunOutput(const std::string& path, const std::string& input);

// The last path component.
std::string BaseName(std::string_view path);

// A bar on standard error while a long command runs, only when standard
// error is a terminal; elsewhere it writes nothing at all.
struct ProgressBar {
  bool shown = false;
  size_t total = 0;
  int lastWidth = -1;
};

ProgressBar StartProgress(size_t total);
void StepProgress(ProgressBar& bar, size_t done);
// Clears the bar's line before other output; the next step draws it again.
void HideProgress(ProgressBar& bar);
void EndProgress(ProgressBar& bar);
