#pragma once
#include <string>
#include <vector>

#include "platform/host_facts.h"
#include "platform/process.h"

// The whole state of the test backend in one record: what the "system"
// answers, and what the program asked of it.
struct HeadlessPlatform {
  static HostFacts DefaultHost() {
    HostFacts facts;
    facts.physicalMemory = 8ULL << 30;
    facts.processorCount = 2;
    facts.nameKnown = true;
    facts.hostName = "testhost";
    return facts;
  }

  HostFacts host = DefaultHost();
  std::string executablePath = "/opt/sonic-loom/Sonic-Loom";
  ScreenSize screen{true, 1920, 1080};
  bool okCancelAnswer = true;

  struct Box {
    std::string caption;
    std::string text;
  };
  std::vector<Box> errorBoxes;
  std::vector<Box> questions;
  std::vector<PowerCommand> powerCommands;
  std::vector<std::string> restarts;
};

// A test process that ends through EndProcess exits with this base plus
// the program's result, so an unexpected end never passes for success.
inline constexpr int kHeadlessExitBase = 100;

HeadlessPlatform& Headless();

// Back to the defaults above, between tests.
void ResetHeadless();
