#pragma once
#include <cstdint>
#include <span>

// Rendering sounds into the playback buffer (interleaved stereo floats).

// The length of a scan through count tables at a speed: (count - 1) x
// 131,072 / speed frames, cut to 4,325,376 and raised to 4,097 when shorter.
int64_t ScanFrames(int count, int32_t speed);

// Where a scan has got to: the table that fades out, the frame within the
// tables (each table is a loop) and the share of the next table.
struct ScanCursor {
  int table = 0;
  int position = 0;
  float fraction = 0.0f;
};

// The next out.size() / 2 frames of a scan through count stereo tables of
// 131,072 frames lying back to back in tables: each frame mixes the current
// table and the next at the same position by the fraction, which grows by
// speed / 131,072 per frame; at 1 the next table takes over. Once the last
// table is reached it is held, so a scan never reads past it.
void RenderScan(std::span<const float> tables, int count, int32_t speed, ScanCursor& cursor, std::span<float> out);

// Frames first.. of two channel arrays, interleaved into out.
void InterleaveFrames(std::span<const float> left, std::span<const float> right, int64_t first, std::span<float> out);
