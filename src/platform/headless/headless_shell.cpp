#include "platform/headless/headless_shell.h"

#include "platform/shell.h"

HeadlessShell& HeadlessShellRecord() {
  static HeadlessShell shell;
  return shell;
}

void ResetHeadlessShell() { HeadlessShellRecord() = HeadlessShell{}; }

std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder) {
  HeadlessShell& shell = HeadlessShellRecord();
  shell.dialogs.push_back({title, startFolder});
  if (shell.folderAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = shell.folderAnswers.front();
  shell.folderAnswers.pop_front();
  return answer;
}

bool ExploreFolder(const std::string& folder) {
  HeadlessShell& shell = HeadlessShellRecord();
  shell.explored.push_back(folder);
  return shell.openerWorks;
}

void MinimiseDisplayWindow() { ++HeadlessShellRecord().minimised; }
