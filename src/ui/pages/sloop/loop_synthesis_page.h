#pragma once
#include "ui/page.h"

// SLOOP "2.0.0" LOOP SYNTHESIS: density, smearing, the two switches, the
// level envelope of the input and the computation of the loop.
extern const Page kLoopSynthesisPage;
