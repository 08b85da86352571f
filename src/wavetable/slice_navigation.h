#pragma once
#include <cstdint>

// The four slice moves every VORTA page offers ("<<1_SLC", "<<8_SLC",
// "SLC_8>>", "SLC_1>>"), all modulo 33.
enum class SliceStep { Back1, Back8, Forward8, Forward1 };

int16_t StepSlice(int16_t slice, SliceStep step);
