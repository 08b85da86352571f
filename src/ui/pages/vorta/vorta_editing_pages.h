#pragma once
#include "ui/page.h"

// The VORTA editing screens of the module's selector.
extern const Page kSliceEditorPage;            // "3.0.0"
extern const Page kTableAssemblingPage;        // "4.0.0"
extern const Page kPartialEnvelopesPage;       // "5.0.0"
extern const Page kTableEditingFunctionsPage;  // "6.0.0"

// The option pages they open; each returns 3 when applied, 25 when
// cancelled, and changes the RAM table only when applied.
int RunWaveformDrawing(PageRun& run);           // "3.1.0"
int RunProfileScaling(PageRun& run);            // "6.1.0"
int RunSliceOrderMatrix(PageRun& run);          // "6.2.0"
int RunFilterShapeEditor(PageRun& run);         // "6.3.0"
// "6.3.2": the filter's shift envelope, from and back to the tool state's
// envelope copy.
int RunShiftEnvelopePage(PageRun& run);
// "6.3.1": a slice of a library file becomes the filter curve.
int RunFilterShapeImport(PageRun& run);
int RunFormantShifter(PageRun& run);            // "6.4.0"
int RunSymmetryGenerator(PageRun& run);         // "6.5.0"
int RunTableInterpolation(PageRun& run);        // "6.6.0"
