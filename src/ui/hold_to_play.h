#pragma once
#include <cstdint>
#include <span>

#include "audio/source_kinds.h"
#include "wavetable/ram_wavetable.h"

// Hold-to-play: a "p" button starts a sound that lasts while the button is
// held (the mouse button, or the F-key with ESC or CTRL), or until a sound
// that is not looped has ended. The page loop is blocked meanwhile.

inline constexpr const char* kPositionLabel = "CURRENT POSITION: ";
inline constexpr int kPositionPollMillis = 5;
inline constexpr int kReleasePollMillis = 10;
inline constexpr uint8_t kRamWavetablePlayCode = 22;  // "pRAM_WT", lower row, column 9

// Keeps the sound that plays going while the button is held, with the
// position bar for sounds of 4,097 frames or more; then removes the bar,
// gives the marked play button its normal look, stops the sound and closes
// the device. Does nothing when nothing plays.
void HoldAndStop();

// While something plays: marks the play button of the code and names the
// source kind on the message line.
void PlayInfo(uint8_t code, int kind);

// After a play call: PlayInfo and HoldAndStop when the sound plays;
// otherwise "NO DATA" (or "SOUND DEVICE NOT AVAILABLE" without a buffer)
// until the button is released.
void PlayOrReport(uint8_t code, int kind);

// The play calls followed by PlayOrReport. A table plays looped; a scan of
// fewer than 2 tables plays table 0 once as a wave file.
void PlayTableHeld(std::span<const float> tables, int index, uint8_t code, int kind);
void PlayScanHeld(std::span<const float> tables, int32_t speed, int count, uint8_t code, int kind);
void PlaySplitHeld(std::span<const float> left, std::span<const float> right, int64_t frames, bool loop, uint8_t code,
                   int kind);

// A loaded file of a browser list: without a selection (selected below 0)
// "NO FILE SELECTED" and nothing plays; a file of fewer than 4,097 frames
// loops.
void PlayFileHeld(int selected, std::span<const float> left, std::span<const float> right, int64_t frames,
                  uint8_t code, int kind);

// "pRAM_WT": the rendered table for stretch R as a mono sound of
// R x 8,192 + 256 frames, once, as RAM data.
void PlayRamWavetableHeld(const RamWavetable& ram, int32_t stretch, uint8_t code = kRamWavetablePlayCode);
