#pragma once
#include "platform/window.h"

inline constexpr int kWindowIconSize = 32;

// The window icon of a colour mode: a small screen with a wave, in the
// mode's own colours.
IconImage MakeWindowIcon(int colourMode);
