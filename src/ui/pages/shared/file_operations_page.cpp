#include "ui/pages/shared/file_operations_page.h"

#include <array>
#include <filesystem>
#include <vector>

#include "core/app_globals.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "ui/hold_to_play.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/file_list_actions.h"
#include "ui/pages/shared/file_listening.h"
#include "ui/pages/shared/file_transfers.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/prelisten.h"
#include "ui/value_entry.h"

namespace {

enum Action {
  kPageBack,
  kPageForward,
  kFind,
  kChooseFolder,
  kLoad,
  kSave,
  kReplace,
  kRename,
  kDelete,
  kClear,
  kExplore,
  kModify,
  kPlayFile,
  kPickA,
  kPickB,
};

constexpr uint8_t kPlayFileCode = 22;  // "pFILE" (9, 1)
constexpr int kNameChars = 21;

constexpr PageButton kVortaButtons[] = {
    {0, 0, "<<PAGE", kPageBack}, {1, 0, "PAGE>>", kPageForward}, {2, 0, "fFIND<>", kFind},
    {3, 0, "fF_TYPE<>", kChooseFolder}, {4, 0, "fRENAME<>", kRename}, {5, 0, "fLOAD<>", kLoad},
    {6, 0, "fSAVE<>", kSave}, {7, 0, "fRPLACE<>", kReplace}, {8, 0, "fDELETE<>", kDelete},
    {9, 0, "fCLR_DIR<>", kClear}, {10, 0, "fMODIFY<>", kModify}, {11, 0, "EXPLORE", kExplore},
    {9, 1, "pFILE", kPlayFile},
};
constexpr PageButton kXformButtons[] = {
    {0, 0, "<<PAGE", kPageBack}, {1, 0, "PAGE>>", kPageForward}, {2, 0, "fFIND<>", kFind},
    {3, 0, "fF_TYPE<>", kChooseFolder}, {4, 0, "fRENAME<>", kRename}, {5, 0, "fLOAD<>", kLoad},
    {6, 0, "fSAVE<>", kSave}, {7, 0, "fRPLACE<>", kReplace}, {8, 0, "fDELETE<>", kDelete},
    {9, 0, "fCLR_DIR<>", kClear}, {11, 0, "EXPLORE", kExplore}, {9, 1, "pFILE", kPlayFile},
};
constexpr PageButton kSloopButtons[] = {
    {0, 0, "<<PAGE", kPageBack}, {1, 0, "PAGE>>", kPageForward}, {2, 0, "fFIND<>", kFind},
    {4, 0, "fRENAME<>", kRename}, {5, 0, "LOAD", kLoad}, {6, 0, "fSAVE<>", kSave},
    {7, 0, "fRPLACE<>", kReplace}, {8, 0, "fDELETE<>", kDelete}, {9, 0, "fCLR_DIR<>", kClear},
    {11, 0, "EXPLORE", kExplore},
};
constexpr PageButton kXmrphButtons[] = {
    {0, 0, "<<PAGE", kPageBack}, {1, 0, "PAGE>>", kPageForward}, {2, 0, "fFIND<>", kFind},
    {3, 0, "fRENAME<>", kRename}, {4, 0, "PLOAD_A", kPickA}, {5, 0, "PLOAD_B", kPickB},
    {6, 0, "fLOAD<>", kLoad}, {7, 0, "fSAVE<>", kSave}, {8, 0, "fRPLACE<>", kReplace},
    {9, 0, "fDELETE<>", kDelete}, {10, 0, "fCLR_DIR<>", kClear}, {11, 0, "EXPLORE", kExplore},
    {9, 1, "pFILE", kPlayFile},
};

// The folders "fF_TYPE<>" offers: VORTA every sound folder, XFORM samples
// and its own tables. SLOOP and XMRPH work on samples only.
constexpr PageButton kVortaFolderButtons[] = {
    {0, 0, "-->01", 1}, {1, 0, "-->02", 2}, {2, 0, "-->03", 3}, {3, 0, "-->04", 4},  {4, 0, "-->05", 5},
    {5, 0, "-->06", 6}, {6, 0, "-->07", 7}, {7, 0, "-->08", 8}, {8, 0, "-->09", 9},  {9, 0, "-->10", 10},
    {11, 0, "fCANCEL", kCancelAction},
};
constexpr PageButton kXformFolderButtons[] = {
    {0, 0, "-->01", kCategorySample}, {1, 0, "-->13", kCategoryXformWav}, {11, 0, "fCANCEL", kCancelAction}};

// What differs between the modules.
struct FileScreenRules {
  std::span<const PageButton> folderButtons;  // empty: samples only
  uint8_t (*load)(PageRun& run, int category, const std::string& name);
  uint8_t (*save)(PageRun& run, int category, const std::string& name, bool newFile);
};

const FileScreenRules& RulesOf(const ModuleSession& session) {
  static constexpr FileScreenRules kVorta{kVortaFolderButtons, LoadIntoVorta, SaveFromVorta};
  static constexpr FileScreenRules kXform{kXformFolderButtons, LoadIntoXform, SaveFromXform};
  static constexpr FileScreenRules kSloop{{}, LoadIntoSloop, SaveFromSloop};
  static constexpr FileScreenRules kXmrph{{}, nullptr, SaveFromXmrph};
  if (session.vorta) return kVorta;
  if (session.xform) return kXform;
  if (session.sloop) return kSloop;
  return kXmrph;
}

FileScreenMemory& Memory(PageRun& run) { return run.session->fileScreen; }
BrowserList& List(PageRun& run) { return run.session->fileScreen.list; }

bool FolderExists(int category) {
  std::error_code error;
  return std::filesystem::is_directory(CategoryFolderPath(gApp, category), error);
}

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

void ShowName(int column, int row, const char* label, const std::string& name) {
  DrawStatusField(column, row, label, name.substr(0, kNameChars), kNameChars);
}

void ShowRamNames(const ModuleSession& session) {
  if (session.xmrph) {
    ShowName(2, 1, "RAM A:", session.xmrph->ramNameA);
    ShowName(2, 2, "RAM B:", session.xmrph->ramNameB);
    ShowName(3, 0, "FILE A:", FileNameOf(session.xmrph->fileA));
    ShowName(3, 1, "FILE B:", FileNameOf(session.xmrph->fileB));
  } else if (session.vorta) {
    ShowName(2, 1, "RAM:", session.vorta->ram.ramName);
  } else if (session.xform) {
    ShowName(2, 1, "RAM:", session.xform->ram.table.ramName);
  } else if (session.sloop) {
    ShowName(2, 1, "RAM:", session.sloop->ramName);
  }
}

void Draw(PageRun& run) {
  FileScreenMemory& memory = Memory(run);
  if (!memory.opened) {
    OpenFileList(memory.list, kCategorySample);
    memory.opened = true;
  }
  DrawFileList(memory.list, memory.rows);
  ShowRamNames(*run.session);
}

// Save, replace and modify stand on the bar only where they write something.
bool Shows(const PageRun& run, const PageButton& button) {
  const int category = run.session->fileScreen.list.category;
  switch (button.action) {
    case kSave:
    case kReplace:
      if (run.session->vorta) return VortaWritesDirectly(category) || VortaRendersInto(category);
      if (run.session->xform) return category == kCategoryXformWav;
      return true;
    case kModify:
      return category == kCategoryBlofeld;
    default:
      return true;
  }
}

// --- "fF_TYPE<>": the folder index and a button per folder.
bool ShowsFolder(const PageRun&, const PageButton& button) {
  return button.action == kCancelAction || FolderExists(button.action);
}

void DrawFolderIndex(PageRun& run) {
  std::vector<std::string> names;
  std::vector<std::string> descriptions;
  const int current = List(run).category;
  for (const PageButton& button : RulesOf(*run.session).folderButtons) {
    if (button.action == kCancelAction || !FolderExists(button.action)) continue;
    names.push_back(std::string(button.label + 3) + (button.action == current ? " <CURRENT>" : ""));
    descriptions.push_back(ScreenFolderName(button.action));
  }
  std::vector<IndexRow> rows;
  for (size_t i = 0; i < names.size(); ++i) rows.push_back({names[i], descriptions[i]});
  DrawIndexBox("DIRECTORY / FILE TYPE INDEX", rows);
}

void ActOnFolder(PageRun& run, int action, const PageEvent&) {
  if (action < 0) return;
  OpenFileList(List(run), action);
  run.Finish(kMsgDone);
}

const Page kVortaFolderPage = {.title = "FILE OPERATIONS",
                               .number = "1.0.0",
                               .buttons = kVortaFolderButtons,
                               .draw = DrawFolderIndex,
                               .act = ActOnFolder,
                               .shows = ShowsFolder};
const Page kXformFolderPage = {.title = "FILE OPERATIONS",
                               .number = "1.0.0",
                               .buttons = kXformFolderButtons,
                               .draw = DrawFolderIndex,
                               .act = ActOnFolder,
                               .shows = ShowsFolder};

uint8_t ChooseFolder(PageRun& run) {
  PageRun choice;
  choice.session = run.session;
  const int result = RunPage(run.session->vorta ? kVortaFolderPage : kXformFolderPage, choice);
  return result == kMsgDone ? kMsgDone : kMsgAborted;
}

// --- Loading, saving.
uint8_t Save(PageRun& run, bool replace) {
  FileScreenMemory& memory = Memory(run);
  const int category = memory.list.category;
  std::string name;
  if (replace) {
    name = SelectedRealName(memory.list, memory.rows);
    if (name.empty()) return kMsgNoFileSelected;
    if (!AskYesNo(kMsgReplaceFile)) return kMsgAborted;
  } else if (!NameEntry(name, category, 'W')) {
    return kMsgAborted;
  }
  return RulesOf(*run.session).save(run, category, name, !replace);
}

uint8_t Load(PageRun& run) {
  if (run.session->xmrph) return LoadIntoXmrph(run);
  FileScreenMemory& memory = Memory(run);
  const std::string name = SelectedRealName(memory.list, memory.rows);
  if (name.empty()) return kMsgNoFileSelected;
  return RulesOf(*run.session).load(run, memory.list.category, name);
}

uint8_t Pick(PageRun& run, bool fileA) {
  FileScreenMemory& memory = Memory(run);
  const std::string path = SelectedPath(memory.list, memory.rows);
  if (path.empty()) return kMsgNoFileSelected;
  (fileA ? run.session->xmrph->fileA : run.session->xmrph->fileB) = path;
  ShowRamNames(*run.session);
  return kMsgNone;
}

ListeningBuffers Buffers(FileScreenMemory& memory) { return {memory.listenLeft, memory.listenRight}; }

void Prelistening(PageRun& run, const PageEvent& event) {
  FileScreenMemory& memory = Memory(run);
  const std::string name = SelectedRealName(memory.list, memory.rows);
  const PrelistenLoad load = [&](PrelistenSource& source) {
    return LoadForListening(memory.list.category, name, Buffers(memory), source);
  };
  if (Prelisten(load, event, memory.list, kPlayFileCode)) HoldAndStop();
}

void Act(PageRun& run, int action, const PageEvent& event) {
  FileScreenMemory& memory = Memory(run);
  BrowserList& list = memory.list;
  if (event.kind == EventKind::SelectionChanged) {
    MarkBrowserRow(list);
    Prelistening(run, event);
    return;
  }
  uint8_t message = kMsgNone;
  switch (action) {
    case kPageBack:
    case kPageForward:
      run.message = TurnListPage(list, memory.rows, action == kPageBack);
      return;
    case kPickA:
    case kPickB:
      run.message = Pick(run, action == kPickA);
      return;
    case kPlayFile:
      PlayListedFileHeld(list.category, SelectedRealName(list, memory.rows), Buffers(memory), kPlayFileCode);
      return;
    case kExplore:
      ExploreCategoryFolder(run, list.category);
      return;
    case kFind:
      message = FindListedFile(list);
      break;
    case kChooseFolder:
      message = ChooseFolder(run);
      break;
    case kRename:
      message = RenameListedFile(list, memory.rows);
      break;
    case kDelete:
      message = DeleteListedFile(list, memory.rows);
      break;
    case kClear:
      message = ClearListedFolder(list);
      break;
    case kLoad:
      message = Load(run);
      break;
    case kSave:
    case kReplace:
      message = Save(run, action == kReplace);
      break;
    case kModify: {
      const std::string path = SelectedPath(list, memory.rows);
      message = path.empty() ? static_cast<uint8_t>(kMsgNoFileSelected)
                             : static_cast<uint8_t>(RunVortaSysexModify(run, path));
      break;
    }
    default:
      return;
  }
  run.message = message;
  // The folder as it is now: a failed move or delete shows what is there.
  if (run.Running()) run.redrawAll = true;
}

PageEvent StepTheList(PageRun& run, const PageEvent& event) { return StepList(List(run), event); }

constexpr Page FileOperationsPage(std::span<const PageButton> buttons) {
  return {.title = "FILE OPERATIONS",
          .number = "1.0.0",
          .buttons = buttons,
          .draw = Draw,
          .act = Act,
          .shows = Shows,
          .held = StepTheList,
          .mouse = StepTheList,
          .listRepeat = true};
}

}  // namespace

const Page kVortaFileOperationsPage = FileOperationsPage(kVortaButtons);
const Page kXformFileOperationsPage = FileOperationsPage(kXformButtons);
const Page kSloopFileOperationsPage = FileOperationsPage(kSloopButtons);
const Page kXmrphFileOperationsPage = FileOperationsPage(kXmrphButtons);
