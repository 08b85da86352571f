#include "platform/headless/headless_platform.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

#include "platform/message_box.h"
#include "platform/window_link.h"

HeadlessPlatform& Headless() {
  static HeadlessPlatform platform;
  return platform;
}

void ResetHeadless() {
  HeadlessPlatform fresh;
  std::swap(Headless(), fresh);
  ResetHeadlessSound();
  ReleaseFrameBuffer(Link().frame);
  ResetWindowLink(0);
  Link().saverAllowed = false;
  Link().applianceMode = false;
  Link().windowX = 0;
  Link().windowY = 0;
}

HostFacts QueryHostFacts() { return Headless().host; }
std::string ExecutablePath() { return Headless().executablePath; }
ScreenSize QueryScreenSize() { return Headless().screen; }

void ShowErrorBox(const std::string& caption, const std::string& text, int) {
  Headless().errorBoxes.push_back({caption, text});
  // Death tests read the cause from standard error.
  std::fputs(text.c_str(), stderr);
  std::fputc('\n', stderr);
}

bool AskOkCancel(const std::string& caption, const std::string& text) {
  Headless().questions.push_back({caption, text});
  return Headless().okCancelAnswer;
}

void EndProcess(int result) {
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(kHeadlessExitBase + result);
}

void RunPowerCommand(PowerCommand command) { Headless().powerCommands.push_back(command); }

void RestartProgram(const std::string& programPath) { Headless().restarts.push_back(programPath); }
