#include <time.h>

#include <chrono>
#include <thread>

#include "platform/clock.h"
#include "platform/window_link.h"

int64_t NowMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SleepMillis(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void WaitForInput(int timeoutMillis) {
  WindowLink& link = Link();
  std::unique_lock<std::mutex> hold(link.inputLock);
  const uint64_t seen = link.inputSerial;
  link.inputEvent.wait_for(hold, std::chrono::milliseconds(timeoutMillis > 0 ? timeoutMillis : 0),
                           [&] { return link.inputSerial != seen || link.closeRequested; });
}

bool WaitForCharacter(uint8_t& character, int timeoutMillis) {
  WindowLink& link = Link();
  std::unique_lock<std::mutex> hold(link.inputLock);
  link.inputEvent.wait_for(hold, std::chrono::milliseconds(timeoutMillis > 0 ? timeoutMillis : 0),
                           [&] { return !link.characters.empty() || link.closeRequested; });
  if (link.characters.empty()) return false;
  character = link.characters.front();
  link.characters.pop_front();
  return true;
}

LocalTime QueryLocalTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm parts{};
  localtime_r(&now.tv_sec, &parts);
  LocalTime time;
  time.hour = parts.tm_hour;
  time.minute = parts.tm_min;
  time.second = parts.tm_sec;
  time.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  time.dayOfMonth = parts.tm_mday;
  return time;
}
