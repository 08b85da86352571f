#pragma once
#include <cstdint>
#include <span>

// The play calls. Each renders its sound into the playback buffer, opens the
// selected device and starts it; the caller then holds the sound
// (HoldAndStop) and stops it. A long sound starts after its first 131,072
// frames are rendered, and the rest is rendered while the device already
// plays. Nothing plays (and false is returned) when the source is missing,
// the buffer is absent or the device does not open. The device applies the
// playback volume.

// Table number index of a sequence of stereo tables (131,072 interleaved
// frames each, back to back).
bool PlayTable(std::span<const float> tables, int index, bool loop);

// A crossfading scan through the first count tables of such a sequence
// (at most 33) at a speed of 1 or more: see ScanFrames and RenderScan.
bool PlayScan(std::span<const float> tables, int32_t speed, int count);

// Two channel arrays (the same array twice for a mono source); frames beyond
// either array or the buffer's 4,456,448 are left out.
bool PlaySplit(std::span<const float> left, std::span<const float> right, int64_t frames, bool loop);
