#pragma once
#include "ui/page.h"

// XMRPH "2.0.0" CROSS SYNTHESIS: the envelope that moves the output along
// B -> B*A -> A*B -> A, its edits and the players of every signal.
extern const Page kCrossSynthesisPage;
