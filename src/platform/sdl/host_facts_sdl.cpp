#include <SDL.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <string>

#include "platform/host_facts.h"

HostFacts QueryHostFacts() {
  HostFacts facts;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) facts.physicalMemory = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
  const long processors = sysconf(_SC_NPROCESSORS_ONLN);
  facts.processorCount = processors > 0 ? static_cast<int>(processors) : 0;
  std::array<char, 32> name{};
  if (gethostname(name.data(), name.size()) == 0) {
    name.back() = '\0';
    facts.nameKnown = true;
    facts.hostName = name.data();
  }
  return facts;
}

std::string ExecutablePath() {
  std::array<char, PATH_MAX + 1> path{};
  const ssize_t length = readlink("/proc/self/exe", path.data(), PATH_MAX);
  if (length <= 0) return {};
  return std::string(path.data(), static_cast<size_t>(length));
}

ScreenSize QueryScreenSize() {
  ScreenSize size;
  // Asked before the display thread exists; the subsystem is shut again so
  // that the display thread is the one that owns video from then on.
  // The program handles its own close signals (display thread).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // A display server that is busy may refuse the first connection; a few
  // short retries keep that from passing for a missing screen.
  constexpr int kVideoStartTries = 5;
  constexpr Uint32 kVideoRetryMs = 200;
  int tries = 1;
  while (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (tries++ == kVideoStartTries) return size;
    SDL_Delay(kVideoRetryMs);
  }
  SDL_DisplayMode mode{};
  // Without a display SDL falls back to drivers that draw nowhere; they
  // report a made-up size, which must not pass for a screen.
  const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
  const bool drawsNowhere = driver == "offscreen" || driver == "dummy";
  if (!drawsNowhere && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    size.known = true;
    size.width = mode.w;
    size.height = mode.h;
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return size;
}
