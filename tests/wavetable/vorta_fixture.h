#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <numbers>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/random.h"
#include "dsp/mixed_radix_dft.h"
#include "wavetable/partial_table.h"
#include "wavetable/vorta_synthesis.h"

// The module's transform tables and a seeded generator, as on entry.
class VortaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AllocateDftTables(kVortaDftLength);
    SeedRandom(1);
  }
};

struct CodeAt {
  int row, slice, code;
};
inline void ExpectCodes(const PartialTable& table, std::initializer_list<CodeAt> codes) {
  for (const CodeAt& c : codes) EXPECT_EQ(table.at(c.row, c.slice), c.code) << "row " << c.row << ", slice " << c.slice;
}

inline bool CodesWithin(std::span<const int16_t> codes, int low, int high) {
  return std::all_of(codes.begin(), codes.end(), [&](int16_t c) { return c >= low && c <= high; });
}

template <typename Code>
std::array<int16_t, kSliceCount> LineOf(Code code) {
  std::array<int16_t, kSliceCount> line{};
  for (int i = 0; i < kSliceCount; ++i) line[static_cast<size_t>(i)] = static_cast<int16_t>(code(i));
  return line;
}

inline PartialTable TableWith(std::initializer_list<CodeAt> codes) {
  PartialTable table;
  for (const CodeAt& c : codes) table.at(c.row, c.slice) = static_cast<int16_t>(c.code);
  return table;
}
inline PartialTable TableWithCode(int row, int slice, int code) { return TableWith({{row, slice, code}}); }

// One cycle summed straight from the sine partials: a reference independent of the transforms.
inline std::vector<double> DirectCycle(const PartialTable& table, int slice, int length) {
  std::vector<double> cycle(static_cast<size_t>(length), 0.0);
  for (int p = 1; p <= kPartialCount && p < length; ++p) {
    const double amplitude = DecodeCode(table.at(p - 1, slice)) / 4096.0;
    for (int j = 0; j < length; ++j)
      cycle[static_cast<size_t>(j)] += amplitude * std::sin(2.0 * std::numbers::pi * p * j / length);
  }
  return cycle;
}

inline double PeakOf(std::span<const float> values) {
  double peak = 0.0;
  for (float v : values) peak = std::max(peak, std::fabs(static_cast<double>(v)));
  return peak;
}
