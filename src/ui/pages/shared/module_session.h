#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/program_state.h"
#include "ui/browser_list.h"
#include "ui/page.h"
#include "ui/pages/shared/browser_page.h"
#include "wavetable/vorta_wave_output.h"
#include "modules/cross_synthesis.h"
#include "modules/loop_synthesis.h"
#include "modules/resynthesis_options.h"
#include "ui/pages/vorta/vorta_edit_memory.h"
#include "wavetable/vorta_workspace.h"
#include "wavetable/xform_workspace.h"

// Each synthesis module's working data, one record per module: created when
// the module is entered, released when it is left, so the module always
// opens on an empty RAM. The RAM data comes first; the memories of the
// module's pages (selected rows, option values that last while the module
// is open) follow it as pages are added.
struct VortaAnalysisRun;
struct VortaModule {
  VortaWorkspace ram;
  // A single cycle the file operations screen's "fINSERT" hands to the
  // table assembling screen; empty when none waits.
  std::string insertPath;
  // The slice 0..32 the table assembling screen writes into and the single
  // cycle rendering page writes out; kept while the module is open.
  int16_t destinationSlice = 0;
  // The file a rendering page writes ("1.3.0" to "1.6.0"), whether it is
  // new, and the output the page shows and stores.
  std::string renderFileName;
  bool renderNewFile = true;
  VortaWaveImage renderOutput;
  // The sample analysis pages' record while they run (owned by the
  // file operations hand-off that opened them); null otherwise.
  VortaAnalysisRun* analysis = nullptr;
  // The editing screens' slice, envelope, assembly and redo memories.
  VortaEditMemory edit;
};

struct XformOptionPages;  // ui/pages/xform/xform_pages.h

struct XformModule {
  XformWorkspace ram;
  // The working data of the option page that is open (analysis, profile,
  // order), owned by the page that opened it; null while none is.
  XformOptionPages* pages = nullptr;
  // "SPECTRUM" or "WAVEFORM" on "2.0.0".
  bool waveformView = false;
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
  // The files "PLOAD_A" / "PLOAD_B" picked on the file operations screen
  // (full paths; empty until picked).
  std::string fileA;
  std::string fileB;
  CrossSynthesis cross;  // A and B, work signals, loop data, results, output, envelope
  int channels = 0;      // of the pair as loaded: 2 when either file had two
  ResynthesisOptions options;  // "RESYNTHESIS OPTIONS" while it is open
  int envelopeSegment = 0;
  std::string renderPath;
};

// The file operations screen's list while the module is open, and the
// sound of the file last prelistened to.
struct FileScreenMemory {
  BrowserList list;
  BrowserRows rows;
  bool opened = false;
  std::vector<float> listenLeft;
  std::vector<float> listenRight;
};

// The recycle bin's list while it is open (its page number is kept for the
// run in gKept).
struct RecycleBinModule {
  BrowserList list;
  BrowserRows rows;
};

// The web update page while it runs: where its next log line goes and
// when it hands back to the main menu.
struct WebUpdateModule {
  int nextLogY = 0;
  int64_t closeAtMillis = -1;  // -1 until the update has run
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
  std::unique_ptr<WebUpdateModule> webUpdate;
  FileScreenMemory fileScreen;
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
