#include "cli/cli_common.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "core/message_texts.h"

namespace {

constexpr int kBarWidth = 40;

const OptionRule* FindRule(std::span<const OptionRule> rules, std::string_view name) {
  for (const OptionRule& rule : rules) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

}  // namespace

const std::string* ParsedArgs::Value(std::string_view option) const {
  const auto found = values.find(option);
  return found == values.end() ? nullptr : &found->second;
}

std::string ParseArgs(std::span<const std::string> args, std::span<const OptionRule> rules, ParsedArgs& out) {
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      out.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      out.help = true;
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionRule* rule = FindRule(rules, name);
    if (!rule) return "unknown option '" + name + "'";
    if (!rule->takesValue) {
      if (equals != std::string::npos) return "option '" + name + "' takes no value";
      out.flags.insert(name);
      continue;
    }
    if (equals != std::string::npos) {
      out.values[name] = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      out.values[name] = args[++i];
    } else {
      return "option '" + name + "' needs a value";
    }
  }
  return {};
}

int UsageError(std::string_view command, std::string_view complaint) {
  std::fprintf(stderr, "%s %.*s: %.*s\nTry '%s %.*s --help'.\n", kCliName, static_cast<int>(command.size()),
               command.data(), static_cast<int>(complaint.size()), complaint.data(), kCliName,
               static_cast<int>(command.size()), command.data());
  return kExitUsage;
}

void ReportRejected(std::string_view file, std::string_view text) {
  const std::string shown = EscapedText(file);
  std::fprintf(stderr, "%s: %.*s\n", shown.c_str(), static_cast<int>(text.size()), text.data());
}

void ReportRejectedCode(std::string_view file, int messageCode, std::string_view appended) {
  std::string text(MessageText(messageCode));
  text += appended;
  ReportRejected(file, text);
}

bool ParseInteger(std::string_view text, long min, long max, long& value) {
  const std::string copy(text);
  if (copy.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(copy.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed < min || parsed > max) return false;
  value = parsed;
  return true;
}

bool ParseDecimal(std::string_view text, double min, double max, double& value) {
  const std::string copy(text);
  if (copy.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(copy.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < min || parsed > max) return false;
  value = parsed;
  return true;
}

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    if (comma > start) parts.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return parts;
}

std::string JsonQuoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string EscapedText(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string ClaimRunOutput(const std::string& path, const std::string& input) {
  // One command runs per process, so the run's outputs are the process's.
  static std::map<std::string, std::string> claimed;
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  const std::string key = error ? path : canonical.string();
  const auto [entry, fresh] = claimed.emplace(key, input);
  return fresh ? std::string() : entry->second;
}

std::string BaseName(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

ProgressBar StartProgress(size_t total) {
  ProgressBar bar;
  bar.total = total;
  bar.shown = total > 0 && isatty(STDERR_FILENO) == 1;
  StepProgress(bar, 0);
  return bar;
}

void StepProgress(ProgressBar& bar, size_t done) {
  if (!bar.shown) return;
  const int width = static_cast<int>(done * kBarWidth / bar.total);
  if (width == bar.lastWidth) return;
  bar.lastWidth = width;
  std::string line = "\r[";
  line.append(static_cast<size_t>(width), '#');
  line.append(static_cast<size_t>(kBarWidth - width), '.');
  line += "] " + std::to_string(done) + "/" + std::to_string(bar.total);
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void HideProgress(ProgressBar& bar) {
  if (!bar.shown || bar.lastWidth < 0) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  bar.lastWidth = -1;
}

void EndProgress(ProgressBar& bar) {
  if (!bar.shown) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  bar.shown = false;
}

std::string CheckOperands(const ParsedArgs& parsed, std::string_view operandName) {
  const std::string name(operandName);
  if (parsed.operands.empty()) return "no " + name + " given";
  if (parsed.Value("--name") && parsed.operands.size() > 1) return "--name needs exactly one " + name;
  return {};
}
