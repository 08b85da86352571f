#pragma once
// A sample loaded the way the engine sees it, so a command's output can be
// compared with the engine called directly; and sox for making the samples.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/folder_table.h"
#include "files/sample_loader.h"

namespace cli_fixture {

struct EngineSample {
  std::vector<float> left = std::vector<float>(100000, 0.0f);
  std::vector<float> right = std::vector<float>(100000, 0.0f);
  SampleDescriptor descriptor;
};

inline bool LoadForEngine(const std::string& path, EngineSample& sample) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  const bool ok = LoadSampleStream(file, "x.wav", kCategorySample, sample.left, sample.right, sample.descriptor,
                                   ReadRules{true});
  std::fclose(file);
  return ok;
}

inline bool Sox(const std::string& arguments) {
  return std::system(("sox -q " + arguments + " 2>/dev/null").c_str()) == 0;
}

}  // namespace cli_fixture
