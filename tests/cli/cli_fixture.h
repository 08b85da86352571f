#pragma once
// Runs the real sonic-loom-cli in a temporary folder and hands back exit
// status, standard output and standard error.
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace cli_fixture {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

inline std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadAllBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// Runs in folder (its working directory); stdin is empty, so no terminal.
inline CliRun RunCli(const TempFolder& folder, const std::vector<std::string>& args) {
  std::string command = "cd " + ShellQuoted(folder.path) + " && " + ShellQuoted(SONICLOOM_CLI_PATH);
  for (const std::string& arg : args) command += " " + ShellQuoted(arg);
  const std::string outPath = folder / ".cli-out";
  const std::string errPath = folder / ".cli-err";
  command += " >" + ShellQuoted(outPath) + " 2>" + ShellQuoted(errPath) + " </dev/null";
  const int raw = std::system(command.c_str());
  CliRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadText(outPath);
  run.err = ReadText(errPath);
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  return run;
}

}  // namespace cli_fixture
