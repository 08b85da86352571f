#pragma once
#include "ui/page.h"

// XMRPH "2.1.0" RESYNTHESIS OPTIONS: overlap, frame size, contrast, phase
// correction and loop mode, and the computation of the hybrids.
extern const Page kResynthesisOptionsPage;

// Opens the page on the module's data (the settings edited in a copy, the
// results set aside for "fCANCEL"): 3 when the hybrids were computed, 25
// when the page was cancelled.
int RunResynthesisOptions(PageRun& run);
