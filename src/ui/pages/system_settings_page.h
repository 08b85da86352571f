#pragma once
#include "ui/pages/module_loops.h"

// The 0.0.0 "SYSTEM SETTINGS" screen of a synthesis module: SCREEN INDEX,
// RAM, volume, "FLUSH", and in VORTA the table playback speed and
// "pRAM_WT". Returns when the selector changed.
void RunSystemSettingsPage(ModuleSession& session);

// "FLUSH": the module's RAM data cleared (VORTA: empty table, speed back
// to 16).
void FlushModule(ModuleSession& session);
