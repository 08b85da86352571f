#include "ui/pages/vorta/library_source.h"

#include <array>
#include <filesystem>

#include "core/app_globals.h"
#include "files/folder_scan.h"
#include "files/folder_table.h"
#include "files/sample_loader.h"
#include "formats/vorta_import.h"
#include "ui/draw.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/value_entry.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/single_cycle_partials.h"
#include "wavetable/vorta_synthesis.h"

namespace {

// The folders a slice can come from, as the type dialog offers them.
constexpr PageButton kTypeButtons[] = {
    {0, 0, "CYCLES", kCategorySingleCycle}, {1, 0, "VORTA", kCategoryVortaWav}, {2, 0, "KOMPLEX", kCategoryKomplexer},
    {3, 0, "SYX", kCategoryBlofeld},        {4, 0, "EFE", kCategoryEfe},        {5, 0, "SURGE", kCategorySurge},
    {6, 0, "WTS", kCategoryWaveGenerator},  {7, 0, "DUNE2", kCategoryDune2},    {8, 0, "SERUM", kCategorySerum},
    {11, 0, "fCANCEL", kCancelAction},
};

void DrawTypes(PageRun&) {
  std::array<std::string, std::size(kTypeButtons) - 1> names;
  std::array<IndexRow, std::size(kTypeButtons) - 1> rows;
  for (size_t i = 0; i < rows.size(); ++i) {
    names[i] = ScreenFolderName(kTypeButtons[i].action);
    rows[i] = {kTypeButtons[i].label, names[i]};
  }
  DrawIndexBox("FILE TYPE INDEX", rows);
}

void ChooseType(PageRun& run, int action, const PageEvent&) {
  if (action == kNoAction) return;
  run.session->vorta->edit.dialogChoice = action;
  run.Finish(kMsgDone);
}

constexpr Page kTypePage = {
    .title = "FILE TYPE", .number = "0.0.1", .buttons = kTypeButtons, .draw = DrawTypes, .act = ChooseType};

LibraryFeedback SearchFeedback() {
  LibraryFeedback feedback = PageFeedback();
  feedback.showCentred = [](const char* text) {
    ClearMainArea();
    DrawText(512, 392, text, 'M');
  };
  return feedback;
}

void Forget(LibrarySource& source) {
  source.present = false;
  source.list.selected = -1;
  source.list.selectedName.clear();
}

}  // namespace

LibrarySource FreshLibrarySource() {
  LibrarySource source;
  source.list.narrow = true;
  source.list.category = kCategorySingleCycle;
  source.list.page = 1;
  source.list.selected = -1;
  return source;
}

bool ActOnList(PageRun& run, LibrarySource& source, ListButton button) {
  BrowserList& list = source.list;
  switch (button) {
    case ListButton::kPageBack:
    case ListButton::kPageForward: {
      bool changed = false;
      run.message = PageList(list, button == ListButton::kPageBack ? kPageBackCode : kPageForwardCode, changed);
      return changed;
    }
    case ListButton::kFind: {
      std::string text;
      run.redrawAll = true;
      if (!NameEntry(text, list.category, 'F')) {
        run.message = kMsgAborted;
        return true;
      }
      const FindResult found = FindInCategory(gApp, list.category, text, false, SearchFeedback());
      run.message = static_cast<uint8_t>(found.code);
      if (found.code == 0) {
        list.page = static_cast<uint16_t>(found.page);
        list.selected = static_cast<int16_t>(found.foundIndex);
      }
      return true;
    }
    case ListButton::kType: {
      PageRun inner;
      inner.session = run.session;
      run.redrawAll = true;
      if (RunPage(kTypePage, inner) != kMsgDone) return true;
      list.category = static_cast<uint16_t>(run.session->vorta->edit.dialogChoice);
      list.page = 1;
      Forget(source);
      return true;
    }
  }
  return false;
}

MessageCode ReadSelectedFile(LibrarySource& source) {
  source.present = false;
  const std::string name = SelectedRealName(source.list, source.rows);
  if (name.empty()) return kMsgNoFileSelected;
  const LibraryEntry entry{source.list.category, name};
  if (entry.category == kCategorySingleCycle) {
    std::vector<float> left(kMaxSingleCycleFrames);
    std::vector<float> right(kMaxSingleCycleFrames);
    SampleDescriptor descriptor;
    const int loaded = LoadSampleFile(gApp, entry, left, right, descriptor);
    if (loaded != kMsgDone || descriptor.frames == 0) return loaded == kMsgDone ? kMsgNoData : static_cast<MessageCode>(loaded);
    left.resize(static_cast<size_t>(descriptor.frames));
    source.cycle = std::move(left);
    source.table = SingleCycleToPartials(source.cycle);
    source.singleCycle = true;
  } else {
    int32_t stretch = kDefaultStretch;
    const int loaded = LoadVortaFile(gApp, entry, source.table, stretch);
    if (loaded != kMsgDone) return static_cast<MessageCode>(loaded);
    source.stretch = stretch;
    source.singleCycle = false;
  }
  source.present = true;
  return kMsgNone;
}

bool SelectSingleCycle(LibrarySource& source, const std::string& fileName) {
  const std::string name = std::filesystem::path(fileName).filename().string();
  if (name.empty()) return false;
  const FindResult found = FindInCategory(gApp, kCategorySingleCycle, name, true);
  if (found.code != 0 || found.foundIndex < 0) return false;
  source.list.category = kCategorySingleCycle;
  source.list.page = static_cast<uint16_t>(found.page);
  source.list.selected = static_cast<int16_t>(found.foundIndex);
  return true;
}
