#pragma once
#include "ui/pages/shared/module_session.h"

// The XMRPH module's data between its pages: entry, leaving, "FLUSH" and
// the values kept for the whole run.

// Entry: the transform tables prepared, the settings, envelope and limit
// mode as the run kept them. Leaving: kept again, then everything released.
void EnterXmrphModule(XmrphModule& module);
void LeaveXmrphModule(XmrphModule& module);
// Files, work signals, results and output released; settings and envelope
// stay.
void FlushXmrphModule(XmrphModule& module);

// Settings, envelope and limit mode into the run's memory, after each
// change, so that they outlive the module.
void KeepCrossSettings(const CrossSynthesis& cross);

// The cross synthesis of the open session; null outside XMRPH.
XmrphModule* XmrphOf(const PageRun& run);
