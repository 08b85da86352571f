#include "dsp/complex_fft.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "dsp/dft_reference.h"
#include "dsp/fft_kernels.h"
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

void DelayHelpers(int percent) {
  gDelayPercent = percent;
  SetFftTaskDelayHook(percent > 0 ? RandomTaskDelay : nullptr);
}

struct KernelCase {
  FftKernelKind kind;
  const char* name;
};

class ComplexFftTest : public ::testing::TestWithParam<KernelCase> {
 protected:
  void SetUp() override {
    SelectFftKernel(GetParam().kind);
    AllocateFftTables(131072);
  }
  void TearDown() override {
    SetFftProcessorCount(1);
    SetFftThreadLauncher(nullptr);
    DelayHelpers(0);
    StopFftWorkers();
    ReleaseFftTables();
    SelectFftKernel(FftKernelKind::kVector);
  }
  // Thread mode follows the processor count when the tables are rebuilt.
  void UseProcessors(int count) {
    SetFftProcessorCount(count);
    gFftTables.cachedLength = 0;
  }
};

TEST_P(ComplexFftTest, MatchesPlainDftForEveryLengthAndBothDirections) {
  for (int32_t n = 2; n <= 4096; n *= 2) {
    const auto x = NoiseSignal(n, 100 + n);
    for (uint8_t flag : {kFftForward, kFftInverse}) {
      auto data = Interleave(x);
      ComplexFft(n, data.data(), flag);
      // Flag 0 uses exp(+2 pi i jk/N), flag 1 exp(-2 pi i jk/N).
      const auto want = ReferenceDft(x, flag == kFftForward ? +1 : -1);
      EXPECT_LT(RelativeRmsError(data, want), kRelativeErrorBound) << "n=" << n << " flag=" << int(flag);
    }
  }
}

TEST_P(ComplexFftTest, ThreadedLengthsMatchPlainDftBins) {
  UseProcessors(2);
  for (int32_t n : {32768, 131072}) {
    const auto x = NoiseSignal(n, 3);
    for (uint8_t flag : {kFftForward, kFftInverse}) {
      auto data = Interleave(x);
      ComplexFft(n, data.data(), flag);
      EXPECT_EQ(gFftTables.threadMode, 2);
      for (size_t k : {size_t{0}, size_t{1}, size_t{5}, size_t(n / 4 + 3), size_t(n / 2), size_t(n - 1)}) {
        const auto want = ReferenceBin(x, k, flag == kFftForward ? +1 : -1);
        const std::complex<double> got(data[2 * k], data[2 * k + 1]);
        // Per bin the error is measured against the signal's RMS spectrum level sqrt(n * 2/3).
        EXPECT_LT(std::abs(got - want) / std::sqrt(n * 2.0 / 3.0), 20 * kRelativeErrorBound) << "n=" << n << " k=" << k;
      }
    }
  }
}

TEST_P(ComplexFftTest, ThreadedResultEqualsSingleThreadResult) {
  for (int32_t n = kFftThreadedMinLength; n <= 524288; n *= 2) {
    const auto x = NoiseSignal(n, 11);
    for (uint8_t flag : {kFftForward, kFftInverse}) {
      UseProcessors(1);
      auto single = Interleave(x);
      ComplexFft(n, single.data(), flag);
      EXPECT_EQ(gFftTables.threadMode, 1);
      for (int processors : {2, 8}) {
        UseProcessors(processors);
        for (int delayPercent : {0, 30}) {
          DelayHelpers(delayPercent);
          auto threaded = Interleave(x);
          ComplexFft(n, threaded.data(), flag);
          EXPECT_EQ(gFftTables.threadMode, n > 262144 && processors > 3 ? 4 : 2);
          EXPECT_TRUE(threaded == single) << "n=" << n << " processors=" << processors << " delay=" << delayPercent;
        }
      }
    }
  }
}

// Many transforms in a row with helpers delayed at random: none hangs, none
// differs from the single-thread result.
TEST_P(ComplexFftTest, RandomlyDelayedHelpersNeverHangOrChangeTheResult) {
  constexpr int32_t kN = kFftThreadedMinLength;
  constexpr int kTransforms = 1000;
  const auto x = NoiseSignal(kN, 21);
  std::array<std::vector<float>, 2> expected;
  UseProcessors(1);
  for (uint8_t flag : {kFftForward, kFftInverse}) {
    expected[flag] = Interleave(x);
    ComplexFft(kN, expected[flag].data(), flag);
  }
  UseProcessors(8);
  DelayHelpers(5);
  std::vector<float> data;
  int wrong = 0;
  for (int i = 0; i < kTransforms; ++i) {
    const uint8_t flag = i % 2;
    data = Interleave(x);
    ComplexFft(kN, data.data(), flag);
    wrong += data != expected[flag];
  }
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
  struct Case {
    int32_t n;
    int processors;
    int startsFresh;  // helper starts with no helper running
    int startsAfter;  // a second transform: none
  };
  for (const Case c : {Case{16384, 8, 0, 0}, Case{32768, 2, 1, 0}, Case{131072, 2, 1, 0}, Case{131072, 8, 1, 0},
                       Case{131072, 1, 0, 0}, Case{131072, 0, 0, 0}, Case{524288, 8, 3, 0}, Case{524288, 3, 1, 0}}) {
    StopFftWorkers();
    UseProcessors(c.processors);
    std::vector<float> data(2 * c.n, 0.0f);
    gLaunches = 0;
    ComplexFft(c.n, data.data(), kFftForward);
    EXPECT_EQ(gLaunches.load(), c.startsFresh) << "n=" << c.n << " processors=" << c.processors;
    gLaunches = 0;
    ComplexFft(c.n, data.data(), kFftInverse);
    EXPECT_EQ(gLaunches.load(), c.startsAfter) << "n=" << c.n << " processors=" << c.processors;
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
  auto grown = Interleave(x);
  ComplexFft(524288, grown.data(), kFftForward);
  gRefuseLaunches = false;
  EXPECT_EQ(FftWorkerCount(), 1);
  UseProcessors(1);
  auto single = Interleave(x);
  ComplexFft(524288, single.data(), kFftForward);
  EXPECT_TRUE(grown == single);
}

TEST_P(ComplexFftTest, TablesAreRebuiltOnlyWhenTheLengthChanges) {
  UseProcessors(2);
  std::vector<float> data(2 * 65536, 0.0f);
  ComplexFft(65536, data.data(), kFftForward);
  EXPECT_EQ(gFftTables.cachedLength, 65536);
  EXPECT_EQ(gFftTables.threadMode, 2);
  // A changed processor count alone leaves the thread mode as built.
  SetFftProcessorCount(1);
  ComplexFft(65536, data.data(), kFftForward);
  EXPECT_EQ(gFftTables.threadMode, 2);
  ComplexFft(1024, data.data(), kFftForward);
  EXPECT_EQ(gFftTables.cachedLength, 1024);
  EXPECT_EQ(gFftTables.threadMode, 1);
  ReleaseFftTables();
  EXPECT_EQ(gFftTables.cachedLength, 0);
  EXPECT_TRUE(gFftTables.twiddles.empty());
  EXPECT_TRUE(gFftTables.bitReverse.empty());
}

TEST_P(ComplexFftTest, LengthsOutsideTheContractAreHandledSafely) {
  // Beyond the reserved maximum the tables grow; a length that is not a
  // power of two, or below 2, leaves the data alone.
  AllocateFftTables(64);
  const auto x = NoiseSignal(256, 5);
  auto data = Interleave(x);
  ComplexFft(256, data.data(), kFftInverse);
  EXPECT_LT(RelativeRmsError(data, ReferenceDft(x, -1)), kRelativeErrorBound);
  EXPECT_GE(gFftTables.maxLength, 256);
  auto untouched = Interleave(x);
  ComplexFft(100, untouched.data(), kFftForward);
  ComplexFft(1, untouched.data(), kFftForward);
  ComplexFft(0, untouched.data(), kFftForward);
  ComplexFft(-8, untouched.data(), kFftForward);
  EXPECT_TRUE(untouched == Interleave(x));
}

INSTANTIATE_TEST_SUITE_P(Kernels, ComplexFftTest,
                         ::testing::Values(KernelCase{FftKernelKind::kScalar, "Scalar"},
                                           KernelCase{FftKernelKind::kVector, "Vector"}),
                         [](const auto& info) { return std::string(info.param.name); });

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

}  // namespace
