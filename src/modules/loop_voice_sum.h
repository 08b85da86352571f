#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "modules/loop_voices.h"
#include "core/message_codes.h"
#include "modules/progress_hooks.h"

// Summing the voices of loop synthesis. The tripled loop is three copies of
// one segment, so a voice reading index n of it reads segment[n mod L].
//
// Two ways give the same sum: voice by voice (K x L additions), or as the
// correlation of the segment with an impulse train that holds a 1 at every
// voice's offset, computed with three forward and one inverse transform of
// a power of two at least 2L long. Their results agree within float
// rounding; the second is far faster once there are more than a few dozen
// voices.

// One copy of the loop as the loop tripler makes it: with fade set, the
// first and last 64 samples are shaped by the halves of a 128-point Hann
// window.
void MakeLoopSegment(std::span<const float> input, bool fade, std::vector<float>& segment);

enum class VoiceSumMethod : uint8_t { Automatic, Direct, Spectral };

// The method Automatic picks for a plan: whichever costs fewer operations.
VoiceSumMethod ChooseVoiceSumMethod(const LoopVoicePlan& plan, int32_t length, bool stereo);

// out[i] += segment[(offset + i direction) mod L] for every voice that
// feeds the channel; left from leftSegment, right from rightSegment. With
// stereo false only the left channel is summed (right may be empty).
// Both outputs must be zero on entry. Progress under "CALCULATION
// PROGRESS: ", per voice (direct) or per transform stage (spectral).
// kMsgAborted when cancelled (the outputs then hold a partial sum), else kMsgDone.
MessageCode SumLoopVoices(const LoopVoicePlan& plan, std::span<const float> leftSegment,
                            std::span<const float> rightSegment, std::span<float> left, std::span<float> right, bool stereo,
                            VoiceSumMethod method, const ProgressHooks& hooks);
