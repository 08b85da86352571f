#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_common.h"

// Several inputs at once (--jobs N): each input's work runs in a child
// process of its own, at most N at a time, and hands back its result as
// bytes; this process takes the results in input order and does all the
// printing and file placing, so the output is the same for every N.

inline constexpr OptionRule kJobsOption = {"--jobs", true};
inline constexpr const char* kJobsHelp =
    "  --jobs N            work on N files at once (default: the processor\n"
    "                      count); the output is the same for every N\n";

// The processor count.
int DefaultJobCount();

// --jobs N (1..256) or the default; the complaint for a usage error.
std::string ParseJobs(const ParsedArgs& parsed, int& jobs);

// work(i) for every i below count, up to jobs at a time; emit(i, result)
// here in index order. A child that died hands over an empty result.
void RunOrderedJobs(size_t count, int jobs, const std::function<std::vector<uint8_t>(size_t)>& work,
                    const std::function<void(size_t, const std::vector<uint8_t>&)>& emit);

// The results' bytes, written and read field by field.
struct JobBytes {
  std::vector<uint8_t> bytes;
  void PutNumber(int64_t value);
  void PutText(std::string_view text);
  void PutRaw(std::span<const uint8_t> raw);
};

struct JobReader {
  std::span<const uint8_t> bytes;
  size_t at = 0;
  bool failed = false;
  int64_t Number();
  std::string Text();
  bool Raw(std::span<uint8_t> out);
};

struct LoadedTable;

// A VORTA table or the refusal of its input, as handed over by a job. The
// decoder returns the refusal (empty when the table came through); a job
// that died reads as "ABORTED".
std::vector<uint8_t> EncodeTableResult(const std::string& refusal, const LoadedTable& table);
std::string DecodeTableResult(const std::vector<uint8_t>& bytes, LoadedTable& table);
