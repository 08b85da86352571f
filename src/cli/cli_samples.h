#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "files/file_classification.h"
#include "files/sample_loader.h"

// Samples in and sound files out for the module commands: a sample loaded
// as the file pages load it, and the output name and path of a rendering.

// The two channel buffers of the loader with what came along.
struct LoadedSampleFile {
  std::vector<float> left;
  std::vector<float> right;
  SampleDescriptor descriptor;
};

// A sample (category 1 or 2) into the buffers; the program's text when the
// file is refused, empty when it loaded.
std::string LoadCliSample(const std::string& path, const ReadRules& rules, LoadedSampleFile& sample);

// Where a rendering named after name goes: DIR/NAME.WAV with the program's
// 8-character name.
std::string SampleOutputPath(const std::string& outDir, const std::string& name);

// Writes a rendered file and prints its path; false (reported on standard
// error against source) when it was refused.
bool WriteRendering(const std::string& outDir, const std::string& name, const std::vector<uint8_t>& bytes, bool force,
                    const std::string& source);
