#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/program_state.h"
#include "ui/browser_list.h"
#include "ui/page.h"
#include "ui/pages/shared/browser_page.h"
#include "ui/pages/vorta/vorta_edit_memory.h"
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
  // The editing screens' slice, envelope, assembly and redo memories.
  VortaEditMemory edit;
};

struct XformModule {
  XformWorkspace ram;
};

struct SloopModule {
  std::string ramName;
};

struct XmrphModule {
  std::string ramNameA;
  std::string ramNameB;
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
