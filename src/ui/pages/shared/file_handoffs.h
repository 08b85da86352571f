#pragma once
#include <string>

#include "ui/page.h"

// What the file operations screen hands to a module's own pages. Each call
// runs the module's page(s) inside the open page loop and returns the
// page's result: 3 ("DONE") when the work was done, 25 ("ABORTED") when the
// user cancelled, or the message code of a failure. The caller shows the
// message and draws its list again.

// VORTA, "fLOAD<>" on a sample: "1.2.0" SCANLOOP ANALYSIS OPTIONS when
// scanLoop (the user answered "fYES" to "TREAT FILE AS SCANABLE
// WAVETABLE?"), else "1.1.0"/"1.1.1" SAMPLE ANALYSIS OPTIONS. On 3 the
// RAM table holds the analysis; naming it after the file and switching to
// "2.0.0" is the caller's.
int RunVortaSampleAnalysis(PageRun& run, const std::string& path, bool scanLoop);
// VORTA, "fSAVE<>"/"fRPLACE<>" into folder 2 ("1.3.0"), 3 ("1.4.0") or 5
// ("1.5.0"): the rendering page writes path (through the temporary file
// writer) and returns the writer's result.
int RunVortaRendering(PageRun& run, int category, const std::string& path);
// VORTA, "fMODIFY<>" (10, 0): "1.6.0" for the SysEx file at path.
int RunVortaSysexModify(PageRun& run, const std::string& path);

// XFORM, "fLOAD<>" on a sample: "1.1.0"/"1.1.1"; on 3 the RAM table holds
// the analysis.
int RunXformSampleAnalysis(PageRun& run, const std::string& path);

// SLOOP, "LOAD": flushes the module and loads path as the loop input
// (`LoadLoopInput`), naming the RAM after the file. Returns 3 or the load's
// message code.
int LoadSloopInput(PageRun& run, const std::string& path);
// SLOOP, "fSAVE<>"/"fRPLACE<>": "1.1.0" FILE RENDERING writes path.
int RunSloopRendering(PageRun& run, const std::string& path);

// XMRPH, "fLOAD<>" with both files picked: loads A and B and runs "2.1.0"
// RESYNTHESIS OPTIONS; on 3 the module holds the result.
int RunXmrphLoad(PageRun& run, const std::string& pathA, const std::string& pathB);
// XMRPH, "fSAVE<>"/"fRPLACE<>": "1.1.0" FILE RENDERING writes path.
int RunXmrphRendering(PageRun& run, const std::string& path);
