#pragma once
#include "ui/page.h"

// SLOOP "1.1.0" FILE RENDERING: the computed loop rotated by the loop
// start offset, its level and sample format, written to the file the file
// operations screen named (RunSloopRendering).
extern const Page kLoopRenderingPage;
