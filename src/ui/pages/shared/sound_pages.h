#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/sample_loader.h"

// Pieces the sound module pages (loop and cross synthesis) share: signal
// boxes, the rendering pages' sample format and their file writes.

// The pair's waveform around yc: both channels from 4,097 samples on, else
// the left channel alone; "EMPTY" without samples.
void DrawSignalGraph(std::span<const float> left, std::span<const float> right, int x, int yc, int width,
                     int halfHeight);

// A titled box with the pair's waveform across its body: both channels
// from 4,097 samples on, else the left channel alone; "EMPTY" without
// samples.
void DrawSignalPanel(int x0, int y0, int x1, int y1, std::string_view title, std::span<const float> left,
                     std::span<const float> right);
// Only the waveform inside such a box (its body redrawn).
void DrawSignalInPanel(int x0, int y0, int x1, int y1, std::span<const float> left, std::span<const float> right);

// "BITS PER SAMPLE:" modes 0..3: "8 <PCM>", "16 <PCM>", "32 <PCM>", "32 <FLOAT>";
// "BITS" steps 0 -> 1 -> 2 -> 3 -> 0.
inline constexpr int kBitsModeCount = 4;
std::string BitsModeText(int mode);
constexpr int NextBitsMode(int mode) { return (mode + 1) % kBitsModeCount; }

// The rendered file written to path through a temporary file that is
// renamed over it when complete: "DONE", "NO DATA" for nothing to write,
// "ACCESS DENIED" when the write failed (an earlier file stays as it was).
int WriteRenderedFile(const std::string& path, const std::vector<uint8_t>& bytes);

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
