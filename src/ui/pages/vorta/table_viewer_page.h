#pragma once
#include "ui/page.h"

// VORTA "2.0.0" TABLE VIEWER: the RAM table as stacked waves (two views),
// spectra or profiles (each signed or as magnitudes).
extern const Page kTableViewerPage;

// Draws the view kept for the run over the main area.
void DrawTableView(const PageRun& run);
