#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

// The scripted shell of the test backend: the answers of the folder dialog
// still to give and what the program asked for.
struct HeadlessShell {
  std::deque<std::optional<std::string>> folderAnswers;  // empty queue: nothing chosen
  struct DialogCall {
    std::string title;
    std::string startFolder;
  };
  std::vector<DialogCall> dialogs;
  std::vector<std::string> explored;
  bool openerWorks = true;  // what ExploreFolder answers
  int minimised = 0;
};

HeadlessShell& HeadlessShellRecord();
void ResetHeadlessShell();
