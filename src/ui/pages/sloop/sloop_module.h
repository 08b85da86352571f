#pragma once
#include <span>
#include <string>

#include "files/sample_loader.h"
#include "ui/pages/shared/module_session.h"

// The SLOOP module's data between its pages: "FLUSH" and loading.

// Everything loaded or computed released, the envelope flat, no name.
void FlushSloopModule(SloopModule& module);

// The loop synthesis of the open session; null outside SLOOP.
SloopModule* SloopOf(const PageRun& run);

// A sample file (category 1 or 2) at path into the channel buffers, which
// are sized for the longest sample the program loads. 3 when loaded, else
// the message of the refusal ("FILE NOT FOUND", "NO DATA", "ACCESS DENIED").
struct LoadedSample {
  std::vector<float> left;
  std::vector<float> right;
  SampleDescriptor descriptor;
};
int LoadSampleAtPath(const std::string& path, LoadedSample& sample);

// The name of a file as the RAM fields show it.
std::string RamNameOf(const std::string& path);
