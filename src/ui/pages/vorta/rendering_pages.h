#pragma once
#include <cstdint>
#include <string>

#include "ui/page.h"
#include "ui/pages/shared/sound_pages.h"  // BitsModeText

// The VORTA pages that write the RAM table: "1.4.0" WAVETABLE RENDERING
// <WAV>, "1.3.0" SINGLE CYCLE RENDERING <WAV>, "1.5.0" WAVETABLE RENDERING
// <SYX>, and "1.6.0" SYSEX PARAMETER MODIFICATION <SYX> for a dump on disk.
// Each runs inside the file operations screen on the file name kept in the
// module's record and returns the writer's message code or 25 ("ABORTED").
extern const Page kWavetableRenderingPage;
extern const Page kSingleCycleRenderingPage;
extern const Page kSysexRenderingPage;
extern const Page kSysexModificationPage;

// "BITS": 0 -> 1 -> 2 -> 3 -> 0.
int16_t NextBitsMode(int16_t bitsMode);

// The page with the file name and new-file flag put into the module's
// record first; the page's result.
int RunRenderingPage(PageRun& run, const Page& page, const std::string& fileName, bool newFile);
