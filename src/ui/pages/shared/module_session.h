#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/program_state.h"
#include "ui/browser_list.h"
#include "ui/page.h"
#include "ui/pages/shared/browser_page.h"
#include "modules/cross_synthesis.h"
#include "modules/loop_synthesis.h"
#include "modules/resynthesis_options.h"
#include "wavetable/vorta_workspace.h"
#include "wavetable/xform_workspace.h"

// Each synthesis module's working data, one record per module: created when
// the module is entered, released when it is left, so the module always
// opens on an empty RAM. The RAM data comes first; the memories of the
// module's pages (selected rows, option values that last while the module
// is open) follow it as pages are added.
struct VortaModule {
  VortaWorkspace ram;
  // A single cycle the file operations screen's "fINSERT" hands to the
  // table assembling screen; empty when none waits.
  std::string insertPath;
};

struct XformModule {
  XformWorkspace ram;
};

struct SloopModule {
  std::string ramName;
  LoopSynthesis loop;  // input, enveloped input, output, D, S, flags, envelope
  // The loaded file's tuning, handed on to the rendered loop.
  uint32_t unityNote = 0;
  uint32_t pitchFraction = 0;
  int envelopeSegment = 0;  // the node the envelope editor holds
  std::string renderPath;   // the file "FILE RENDERING" writes
  // The rotated loop "FILE RENDERING" shows and plays, kept between the
  // steps of a drag.
  std::vector<float> previewLeft;
  std::vector<float> previewRight;
};

struct XmrphModule {
  std::string ramNameA;
  std::string ramNameB;
  CrossSynthesis cross;  // A and B, work signals, loop data, results, output, envelope
  int channels = 0;      // of the pair as loaded: 2 when either file had two
  ResynthesisOptions options;  // "RESYNTHESIS OPTIONS" while it is open
  int envelopeSegment = 0;
  std::string renderPath;
};

// The recycle bin's list while it is open (its page number is kept for the
// run in gKept).
struct RecycleBinModule {
  BrowserList list;
  BrowserRows rows;
};

// One screen a module's selector can name: its navigation button (lower
// row, column = selector value), its row in the SCREEN INDEX box and the
// page that runs it.
struct ModuleScreen {
  const char* button;
  const char* indexName;
  const char* indexDescription;
  const Page* page;
};

// The open module: its state, its screen selector and its workspace (only
// the record of that module is there). Pages reach it as *run.session.
struct ModuleSession {
  ProgramState state = STATE_VORTA;
  uint16_t selector = 0;
  std::span<const ModuleScreen> screens;
  std::unique_ptr<VortaModule> vorta;
  std::unique_ptr<XformModule> xform;
  std::unique_ptr<SloopModule> sloop;
  std::unique_ptr<XmrphModule> xmrph;
  std::unique_ptr<RecycleBinModule> recycleBin;
};

inline constexpr uint16_t kLeaveModule = 65535;  // the selector value that ends a module
inline constexpr int kMenuColumn = 11;

// A fresh session of the module of that state with its workspace entered
// (VORTA and XFORM allocate their tables and transform tables).
std::unique_ptr<ModuleSession> EnterModule(ProgramState state);
// Releases what EnterModule allocated.
void LeaveModule(ModuleSession& session);

// "FLUSH": the module's RAM data cleared (VORTA: empty table, speed back
// to 16).
void FlushModule(ModuleSession& session);
