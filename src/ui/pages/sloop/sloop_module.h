#pragma once
#include "ui/pages/shared/module_session.h"

// The SLOOP module's data between its pages: "FLUSH" and loading.

// Everything loaded or computed released, the envelope flat, no name.
void FlushSloopModule(SloopModule& module);

// The loop synthesis of the open session; null outside SLOOP.
SloopModule* SloopOf(const PageRun& run);

