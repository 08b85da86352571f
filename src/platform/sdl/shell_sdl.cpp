#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/shell.h"

extern char** environ;

namespace {

constexpr size_t kMaxDialogAnswer = 4096;
// How long the opener is watched for an early failure; one that still runs
// then is taken as working.
constexpr int kOpenerWatchMillis = 1500;
constexpr int kOpenerPollMillis = 20;

// Runs a program with its standard output in a pipe and waits for it; the
// output, or nullopt when it could not run or did not end with 0.
std::optional<std::string> RunAndRead(std::vector<std::string> arguments) {
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (spawned != 0) {
    close(pipeEnds[0]);
    return std::nullopt;
  }
  std::string output;
  char buffer[512];
  ssize_t got = 0;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
    if (output.size() < kMaxDialogAnswer) output.append(buffer, static_cast<size_t>(got));
  }
  close(pipeEnds[0]);
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

}  // namespace

std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder) {
  std::string start = startFolder;
  if (!start.empty() && start.back() != '/') start += '/';
  std::optional<std::string> chosen =
      RunAndRead({"zenity", "--file-selection", "--directory", "--title=" + title, "--filename=" + start});
  if (!chosen || chosen->empty()) return std::nullopt;
  return chosen;
}

bool ExploreFolder(const std::string& folder) {
  // Without an application for folders the opener would only try web
  // browsers for seconds and fail.
  const std::optional<std::string> handler = RunAndRead({"xdg-mime", "query", "default", "inode/directory"});
  if (!handler || handler->empty()) return false;
  // Detached: a double fork, so that the file manager outlives nothing of
  // ours and leaves no zombie behind. The middle process watches the opener
  // for a moment and reports through a pipe whether it failed: not
  // installed, or ended with an error (no file manager for folders).
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    close(report[0]);
    setsid();
    const pid_t opener = fork();
    if (opener == 0) {
      const int devNull = open("/dev/null", O_RDWR);
      if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
      }
      execlp("xdg-open", "xdg-open", folder.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    char failed = opener < 0 ? 1 : 0;
    for (int waited = 0; opener > 0 && waited < kOpenerWatchMillis; waited += kOpenerPollMillis) {
      int status = 0;
      if (waitpid(opener, &status, WNOHANG) == opener) {
        failed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        break;
      }
      usleep(kOpenerPollMillis * 1000);
    }
    if (write(report[1], &failed, 1) != 1) _exit(1);
    _exit(0);
  }
  close(report[1]);
  char failed = 1;
  const ssize_t got = read(report[0], &failed, 1);
  close(report[0]);
  waitpid(child, nullptr, 0);
  return got == 1 && failed == 0;
}
