// Runs any benchmark program of bench/ beside a competing busy process, the
// way a DAW or a browser shares the musician's machine, so that figures under
// load can be reproduced:
//
//   SONICLOOM_BENCH_LOAD=1 ./bench_fft ...       one process spinning on core 1
//   SONICLOOM_BENCH_LOAD=0:50 ./bench_xform ...  busy half of every 10 ms on core 0
//
// The value is the core (as the system numbers them) and optionally the busy
// share in percent (1..100, default 100). The process is started before the
// first benchmark and stopped when the program ends (it also stops by itself
// should the benchmark program die). Linked into every benchmark program.
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr auto kDutyPeriod = std::chrono::milliseconds(10);

struct LoadSetting {
  int core = -1;  // -1: no load
  int percent = 100;
};

LoadSetting ReadLoadSetting() {
  LoadSetting setting;
  const char* value = std::getenv("SONICLOOM_BENCH_LOAD");
  if (value == nullptr || *value == '\0') return setting;
  char* end = nullptr;
  const long core = std::strtol(value, &end, 10);
  if (end == value || core < 0 || core >= CPU_SETSIZE) return setting;
  setting.core = static_cast<int>(core);
  if (*end == ':') {
    const long percent = std::strtol(end + 1, nullptr, 10);
    if (percent >= 1 && percent <= 100) setting.percent = static_cast<int>(percent);
  }
  return setting;
}

[[noreturn]] void BusyLoop(const LoadSetting& setting) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  cpu_set_t cores;
  CPU_ZERO(&cores);
  CPU_SET(setting.core, &cores);
  if (sched_setaffinity(0, sizeof cores, &cores) != 0) std::perror("busy process: sched_setaffinity");
  const auto busy = kDutyPeriod * setting.percent / 100;
  volatile unsigned long sink = 0;
  for (;;) {
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < busy)
      for (int i = 0; i < 1000; ++i) sink = sink + static_cast<unsigned long>(i);
    if (setting.percent < 100) std::this_thread::sleep_until(start + kDutyPeriod);
  }
}

class BusyProcess {
 public:
  BusyProcess() {
    const LoadSetting setting = ReadLoadSetting();
    if (setting.core < 0) return;
    pid_ = fork();
    if (pid_ == 0) BusyLoop(setting);
    if (pid_ < 0) {
      std::perror("busy process: fork");
      return;
    }
    std::fprintf(stderr, "Busy process %d on core %d, %d %% of the time\n", static_cast<int>(pid_), setting.core,
                 setting.percent);
  }
  ~BusyProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  BusyProcess(const BusyProcess&) = delete;
  BusyProcess& operator=(const BusyProcess&) = delete;

 private:
  pid_t pid_ = -1;
};

BusyProcess gBusyProcess;

}  // namespace
