#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "platform/process.h"

extern char** environ;

void RunPowerCommand(PowerCommand command) {
  const char* verb = command == PowerCommand::Reboot ? "reboot" : "poweroff";
  char program[] = "systemctl";
  char* argv[] = {program, const_cast<char*>(verb), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0) waitpid(pid, nullptr, 0);
}

void RestartProgram(const std::string& programPath) {
  std::fflush(stdout);
  std::fflush(stderr);
  char* argv[] = {const_cast<char*>(programPath.c_str()), nullptr};
  execv(programPath.c_str(), argv);
  // execv returned: the restart failed; the program just ends.
}

void EndProcess(int result) {
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(result);
}
