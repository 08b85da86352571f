#pragma once
#include "platform/window.h"

inline constexpr int kWindowIconSize = 32;

// The window icon of a colour mode: a small screen with a wave, in the
// mode's own colours.
// The same drawing at any size (the desktop's icon theme wants 16 to 256
// pixels); lines grow with the size.
IconImage MakeWindowIcon(int colourMode, int size = kWindowIconSize);
