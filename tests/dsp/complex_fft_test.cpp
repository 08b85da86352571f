#include "dsp/complex_fft.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <tuple>

#include "dsp/dft_reference.h"
#include "dsp/fft_kernels.h"
#include "dsp/fft_pacing.h"
#include "dsp/fft_tables.h"
#include "dsp/fft_workers.h"

namespace {

// Single precision with log2(N) stages: the RMS error relative to the
// signal level stays far below this bound for every length tested.
constexpr double kRelativeErrorBound = 2e-6;

// Helpers hold their task for a while now and then, as when another program
// takes their processor: the order in which tasks finish changes, the result
// must not.
std::atomic<uint32_t> gDelayDraws{0};
std::atomic<int> gDelayPercent{0};

void RandomTaskDelay(int stage, int task) {
  uint32_t h = (gDelayDraws.fetch_add(1) + 1) * 2654435761u ^ static_cast<uint32_t>(stage * 31 + task);
  h ^= h >> 15;
  if (static_cast<int>(h % 100) < gDelayPercent.load())
    std::this_thread::sleep_for(std::chrono::microseconds(h % 300));
}

// Any hook, even one that never sleeps, makes every transform shared, so
// the threaded path is the one checked.
void DelayHelpers(int percent) {
  gDelayPercent = percent;
  SetFftTaskDelayHook(RandomTaskDelay);
}

class ComplexFftTest : public ::testing::TestWithParam<FftKernelKind> {
 protected:
  void SetUp() override {
    SelectFftKernel(GetParam());
    AllocateFftTables(131072);
  }
  void TearDown() override {
    SetFftProcessorCount(1);
    SetFftThreadLauncher(nullptr);
    SetFftTaskDelayHook(nullptr);
    StopFftWorkers();
    ReleaseFftTables();
    SelectFftKernel(FftKernelKind::kVector);
  }
  // Thread mode follows the processor count when the tables are rebuilt.
  void UseProcessors(int count) {
    SetFftProcessorCount(count);
    gFftTables.cachedLength = 0;
  }
  // x transformed with the tables and thread mode in force.
  static std::vector<float> Transformed(const std::vector<std::complex<double>>& x, uint8_t flag) {
    auto data = Interleave(x);
    ComplexFft(static_cast<int32_t>(x.size()), data.data(), flag);
    return data;
  }
};

TEST_P(ComplexFftTest, MatchesPlainDftForEveryLengthAndBothDirections) {
  AllocateFftTables(64);  // the longer lengths must grow the tables
  for (int32_t n = 2; n <= 4096; n *= 2) {
    const auto x = NoiseSignal(n, 100 + n);
    for (uint8_t flag : {kFftForward, kFftInverse}) {
      // Flag 0 uses exp(+2 pi i jk/N), flag 1 exp(-2 pi i jk/N).
      const auto want = ReferenceDft(x, flag == kFftForward ? +1 : -1);
      EXPECT_LT(RelativeRmsError(Transformed(x, flag), want), kRelativeErrorBound) << n << " flag " << int(flag);
    }
  }
}

// From 32,768 points up the work is shared by threads: the single-thread
// result matches the plain DFT at sample bins, and every thread mode gives it
// bit for bit, also when helpers are held up at random.
TEST_P(ComplexFftTest, LongTransformsMatchPlainDftAndThreadsChangeNoBit) {
  for (int32_t n = kFftThreadedMinLength; n <= 524288; n *= 2) {
    const auto x = NoiseSignal(n, 11);
    for (uint8_t flag : {kFftForward, kFftInverse}) {
      UseProcessors(1);
      const auto single = Transformed(x, flag);
      EXPECT_EQ(gFftTables.threadMode, 1);
      for (size_t k : {size_t{0}, size_t{1}, size_t{5}, size_t(n / 4 + 3), size_t(n / 2), size_t(n - 1)}) {
        const auto want = ReferenceBin(x, k, flag == kFftForward ? +1 : -1);
        const std::complex<double> got(single[2 * k], single[2 * k + 1]);
        // Per bin the error is measured against the signal's RMS spectrum level sqrt(n * 2/3).
        EXPECT_LT(std::abs(got - want) / std::sqrt(n * 2.0 / 3.0), 20 * kRelativeErrorBound) << n << " k " << k;
      }
      for (int processors : {2, 8}) {
        UseProcessors(processors);
        for (int delayPercent : {0, 30}) {
          DelayHelpers(delayPercent);
          EXPECT_TRUE(Transformed(x, flag) == single) << n << " on " << processors << " delay " << delayPercent;
          EXPECT_EQ(gFftTables.threadMode, n > 262144 && processors > 3 ? 4 : 2);
        }
      }
    }
  }
}

// Many transforms in a row with helpers delayed at random: none hangs, none
// differs from the single-thread result.
TEST_P(ComplexFftTest, RandomlyDelayedHelpersNeverHangOrChangeTheResult) {
  const auto x = NoiseSignal(kFftThreadedMinLength, 21);
  UseProcessors(1);
  const std::array<std::vector<float>, 2> expected = {Transformed(x, kFftForward), Transformed(x, kFftInverse)};
  UseProcessors(8);
  DelayHelpers(5);
  int wrong = 0;
  for (int i = 0; i < 1000; ++i) wrong += Transformed(x, i % 2) != expected[i % 2];
  EXPECT_EQ(wrong, 0);
}

std::atomic<int> gLaunches{0};
bool gRefuseLaunches = false;

bool CountingLauncher(std::thread& thread, void (*entry)(int), int helperIndex) {
  if (gRefuseLaunches) return false;
  ++gLaunches;
  thread = std::thread(entry, helperIndex);
  return true;
}

// The calling thread is one of the threads of the thread mode; the helpers
// are started by the first threaded transform and kept for the next ones.
TEST_P(ComplexFftTest, StartsHelpersOnceForTheThreadMode) {
  SetFftThreadLauncher(CountingLauncher);
  // Helper starts with no helper running; a second transform starts none.
  const std::tuple<int32_t, int, int> cases[] = {{16384, 8, 0}, {32768, 2, 1}, {131072, 2, 1}, {131072, 8, 1},
                                                 {131072, 1, 0}, {131072, 0, 0}, {524288, 8, 3}, {524288, 3, 1}};
  for (const auto& [n, processors, starts] : cases) {
    StopFftWorkers();
    UseProcessors(processors);
    std::vector<float> data(2 * n, 0.0f);
    gLaunches = 0;
    ComplexFft(n, data.data(), kFftForward);
    EXPECT_EQ(gLaunches.load(), starts) << "n=" << n << " processors=" << processors;
    ComplexFft(n, data.data(), kFftInverse);
    EXPECT_EQ(gLaunches.load(), starts) << "n=" << n << " processors=" << processors;
  }
  // Growing from one helper to three: a refused start there is not fatal,
  // the helpers that exist and the calling thread do the work.
  StopFftWorkers();
  UseProcessors(8);
  std::vector<float> small(2 * 32768, 0.0f);
  ComplexFft(32768, small.data(), kFftForward);
  EXPECT_EQ(FftWorkerCount(), 1);
  gRefuseLaunches = true;
  const auto x = NoiseSignal(524288, 4);
  const auto grown = Transformed(x, kFftForward);
  gRefuseLaunches = false;
  EXPECT_EQ(FftWorkerCount(), 1);
  UseProcessors(1);
  EXPECT_TRUE(grown == Transformed(x, kFftForward));
}

TEST_P(ComplexFftTest, TablesAreRebuiltOnlyWhenTheLengthChanges) {
  UseProcessors(2);
  std::vector<float> data(2 * 65536, 0.0f);
  auto built = [&](int32_t n) {
    ComplexFft(n, data.data(), kFftForward);
    return std::pair<int32_t, int>(gFftTables.cachedLength, gFftTables.threadMode);
  };
  EXPECT_EQ(built(65536), std::pair(65536, 2));
  SetFftProcessorCount(1);  // alone it leaves the thread mode as built
  EXPECT_EQ(built(65536), std::pair(65536, 2));
  EXPECT_EQ(built(1024), std::pair(1024, 1));
  ReleaseFftTables();
  EXPECT_TRUE(gFftTables.cachedLength == 0 && gFftTables.twiddles.empty() && gFftTables.bitReverse.empty());
}

TEST_P(ComplexFftTest, LengthsOutsideTheContractLeaveTheDataAlone) {
  const auto x = NoiseSignal(256, 5);
  auto untouched = Interleave(x);
  for (int32_t n : {100, 1, 0, -8}) ComplexFft(n, untouched.data(), kFftForward);
  EXPECT_TRUE(untouched == Interleave(x));
}

INSTANTIATE_TEST_SUITE_P(Kernels, ComplexFftTest, ::testing::Values(FftKernelKind::kScalar, FftKernelKind::kVector),
                         [](const auto& info) { return info.param == FftKernelKind::kScalar ? "Scalar" : "Vector"; });

TEST(FftThreadMode, FollowsLengthAndProcessorCount) {
  for (const auto& [length, processors, mode] : {std::tuple{32767, 8, 1}, {16384, 2, 1}, {32768, 2, 2}, {32768, 1, 1},
                                                 {131072, 0, 1}, {262144, 8, 2}, {524288, 8, 4}, {524288, 4, 4},
                                                 {524288, 3, 2}}) {
    EXPECT_EQ(FftThreadMode(length, processors), mode) << length << " " << processors;
  }
}

bool RefusingLauncher(std::thread&, void (*)(int), int) { return false; }

TEST(ComplexFftDeathTest, ThreadCreationFailureIsFatalSeven) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetFftProcessorCount(2);
        StopFftWorkers();
        SetFftThreadLauncher(RefusingLauncher);
        AllocateFftTables(131072);
        std::vector<float> data(2 * 131072, 1.0f);
        ComplexFft(131072, data.data(), kFftForward);
      },
      ::testing::ExitedWithCode(kHeadlessExitBase), "Thread failure!");
}

// Runs `count` transforms costing soloMicros alone and sharedMicros shared;
// returns how many ran shared.
int SharedRuns(FftPace& pace, int count, double soloMicros, double sharedMicros) {
  int shared = 0;
  for (int i = 0; i < count; ++i) {
    const bool solo = ShouldRunSolo(pace);
    solo ? RecordSolo(pace, soloMicros) : RecordShared(pace, sharedMicros);
    shared += !solo;
  }
  return shared;
}

TEST(FftPace, FollowsTheFasterWayAsTheLoadComesAndGoes) {
  FftPace pace;
  // Solo first, then one shared run that wakes the helpers and is not judged.
  EXPECT_EQ(SharedRuns(pace, 2, 100, 1000), 1);
  EXPECT_EQ(pace.sharedMicros, 0);
  EXPECT_EQ(SharedRuns(pace, 1, 100, 300), 1);
  EXPECT_EQ(pace.soloLeft, kFirstSoloStretch);
  // Quiet: shared except one solo run in every kSharedRunsBetweenSoloRuns + 1.
  const int quiet = SharedRuns(pace, 6500, 100, 60);
  EXPECT_GT(quiet, 6500 - 6500 / kSharedRunsBetweenSoloRuns - 5);
  EXPECT_LE(quiet, 6500 - 6500 / (kSharedRunsBetweenSoloRuns + 1) + 1);
  // Loaded: the stretches alone double up to the longest, each followed by
  // a wake-up run and one measured shared run.
  EXPECT_LT(SharedRuns(pace, 5000, 100, 400), 70);
  EXPECT_EQ(pace.soloStretch, kLongestSoloStretch);
  // Quiet again: found at the first probe after the current stretch.
  SharedRuns(pace, kLongestSoloStretch + 2, 100, 60);
  EXPECT_EQ(pace.soloStretch, kFirstSoloStretch);
  EXPECT_GE(SharedRuns(pace, kSharedRunsBetweenSoloRuns, 100, 60), kSharedRunsBetweenSoloRuns - 1);
}

}  // namespace
