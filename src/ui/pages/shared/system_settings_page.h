#pragma once
#include "ui/page.h"

// The 0.0.0 "SYSTEM SETTINGS" screen of every synthesis module: SCREEN
// INDEX, RAM, volume, "FLUSH", and in VORTA the table playback speed and
// "pRAM_WT".
extern const Page kSystemSettingsPage;
