#pragma once
#include <cstdint>
#include <string>

// Facts about the computer, read once at launch.
struct HostFacts {
  uint64_t physicalMemory = 0;  // bytes
  int processorCount = 0;       // 0 when unknown
  bool nameKnown = false;
  std::string hostName;         // as the system reports it, at most 31 characters
};

struct ScreenSize {
  bool known = false;
  int width = 0;
  int height = 0;
};

HostFacts QueryHostFacts();

// Full path of the running program file, or empty when it cannot be read.
std::string ExecutablePath();

// Size of the desktop the window would appear on.
ScreenSize QueryScreenSize();
