#pragma once
#include "ui/page.h"

// XMRPH "1.1.0" FILE RENDERING: the cross synthesis output, level-aligned
// or as it is, in the chosen sample format, written to the file the file
// operations screen named (RunXmrphRendering).
extern const Page kCrossRenderingPage;
