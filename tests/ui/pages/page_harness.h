#pragma once
// A page, a module's screen (ModuleRun::Visit) or a whole loop (RunWith) on
// the headless display with scripted presses (Press({0, Lower(11)}): F1, CTRL+F12).
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/playback_devices.h"
#include "core/kept_for_run.h"
#include "core/message_codes.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "formats/format_fixtures.h"
#include "platform/headless/headless_shell.h"
#include "ui/draw.h"
#include "ui/page.h"
#include "ui/page_frame.h"
#include "ui/pages/menu/main_menu.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/module_loops.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/segment_graph.h"
#include "ui/ui_fixture.h"

namespace fs = std::filesystem;

// In a chain of presses: Lower(column) is the lower row, kArrowDown the DOWN key.
inline constexpr int kLowerRow = 100, kArrowDown = 200;
constexpr int Lower(int column) { return kLowerRow + column; }
// The buttons every option page and question has in the same place.
inline constexpr int kApply = 10, kYes = 10, kCancel = 11, kNo = 11;
inline constexpr int kUndo = Lower(11);  // "s UNDO "

class PageHarness : public UiTest {
 protected:
  void SetUp() override {
    gKept = KeptForRun{};  // a new run: no page memories
    ResetHeadlessShell();
    UiTest::SetUp();
    UseSoundDevices({});
  }

  void TearDown() override {
    ReleasePlayback();
    UiTest::TearDown();
    ResetHeadlessShell();
  }

  // A module entered afresh, whose screens run one by one; left at its end.
  struct ModuleRun {
    explicit ModuleRun(ProgramState state) : session(EnterModule(state)) { gApp.programState = state; }
    ~ModuleRun() { LeaveModule(*session); }
    int RunScreen(uint16_t selector) {
      session->selector = selector;
      const auto navigation = NavigationRow(session->screens, selector);  // outlives the run's view of it
      PageRun run = Caller();
      run.selector = &session->selector;
      run.navigation = navigation;
      return RunPage(*session->screens[selector].page, run);
    }
    // One visit of screen `selector` after `presses`, left by "fSYSTEM<>"; only its texts are kept.
    void Visit(uint16_t selector, std::initializer_list<int> presses = {}) {
      Press(presses);
      PressLower(0);
      Headless().texts.clear();
      EXPECT_EQ(RunScreen(selector), kPageNavigated);
    }
    // The run an option page or a hand-off gets from its calling page.
    PageRun Caller() const { PageRun run; run.session = session.get(); return run; }
    int RunOption(int (*page)(PageRun&), std::initializer_list<int> presses = {}) const {
      Press(presses);
      PageRun run = Caller();
      return page(run);
    }
    std::unique_ptr<ModuleSession> session;
  };

  static void UseSoundDevices(std::vector<std::string> names) {
    Headless().sound.deviceNames = std::move(names);
    TestPlaybackDevices();
  }

  // --- Input script. Presses are held longer than the 100 ms press feedback.
  static constexpr int64_t kHoldMillis = 150;
  static void PressUpper(int column) { ScriptKeyPress(FunctionKey(column + 1), kHoldMillis); }
  static void PressLower(int column) { ScriptKeyPressWith(kKeyControl, FunctionKey(column + 1), kHoldMillis); }
  static void ClickButton(int column, int row) { ScriptClick(kButtonLeft[column] + 40, kButtonTop[row] + 12, 60); }
  static void Press(std::initializer_list<int> buttons) {
    for (const int button : buttons) {
      if (button == kArrowDown) ScriptKeyPress(kKeyDown, kHoldMillis);
      else button >= kLowerRow ? PressLower(button - kLowerRow) : PressUpper(button);
    }
  }
  static void PressTimes(int column, int times) { while (times-- > 0) PressUpper(column); }
  // A name typed into the keyboard dialog and confirmed.
  static void Type(const char* text) {
    ScriptType(text);
    ScriptKeyPress(kKeyReturn);
    ScriptWait(300);
  }

  // A whole loop run with the presses, ended by the lower F12 ("iMENU<>", "iEXIT").
  static void RunWith(void (*loop)(), std::initializer_list<int> presses = {}) {
    Headless().texts.clear();
    Press(presses);
    PressLower(11);
    loop();
  }
  // F12 ("fCANCEL" of the progress) right after `column`: the clock stands still during the work.
  static void StartAndCancel(int column) {
    ScriptKeyDown(FunctionKey(column + 1));
    ScriptKeyUp(FunctionKey(column + 1), 50);
    ScriptKeyDown(kKeyF12);
    ScriptKeyUp(kKeyF12, 0);
    ScriptWait(kHoldMillis);
  }

  // --- Files. A path in a library folder of the program folder.
  static std::string LibraryPath(int category, const std::string& name) { return CategoryFilePath(gApp, category, name); }
  // The table and R the reader takes from a library file.
  static std::pair<PartialTable, int32_t> TableIn(int category, const char* name) {
    return format_fixtures::LoadedTable(gApp, category, name);
  }
  // A 16-bit 44.1 kHz file made by sox; lengths in samples stay exact.
  static std::string Sox(const std::string& path, int channels, const std::string& effects) {
    const std::string command = "sox -q -r 44100 -c " + std::to_string(channels) + " -n -b 16 '" + path + "' " +
                                effects + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
  }

  // --- What was drawn.
  static bool Drawn(std::string_view text) { return DrawnCount(text) > 0; }
  static int DrawnCount(std::string_view text) {
    return static_cast<int>(std::ranges::count(Headless().texts, text, &DrawnText::text));
  }
  // Each of `texts` drawn (after `prefix`), the missing ones reported.
  static bool DrawnAll(std::initializer_list<const char*> texts, std::string_view prefix = "") {
    bool all = true;
    for (const char* text : texts) {
      if (!Drawn(std::string(prefix) + text)) {
        ADD_FAILURE() << "not drawn: " << prefix << text;
        all = false;
      }
    }
    return all;
  }
  // The message line showed `text`; each of `texts`.
  static bool Shown(std::string_view text) { return Drawn("MESSAGE: " + std::string(text)); }
  static bool ShownAll(std::initializer_list<const char*> texts) { return DrawnAll(texts, "MESSAGE: "); }
  // The rows marked as selected, in drawing order; by default of the file lists.
  static constexpr int kFileRowTop = 151, kFileRowStep = 32;
  static std::vector<int> MarkedRows(int top = kFileRowTop, int step = kFileRowStep) {
    std::vector<int> rows;
    for (const DrawnText& mark : TextsContaining(">>>>>>")) {
      rows.push_back((mark.y - top) % step == 0 ? (mark.y - top) / step : -1);  // -1: between rows
    }
    return rows;
  }
  // The value last drawn into a status field (right-aligned in its box).
  static std::string StatusValue(int column, int row) {
    const int right = kStatusColumnX[column] + kStatusValueRight;
    const auto& texts = Headless().texts;
    for (auto it = texts.rbegin(); it != texts.rend(); ++it)
      if (it->y == kStatusRowY[row] && it->x + MeasureText(it->text).width == right) return it->text;
    return "<none>";
  }

  static std::vector<std::string> StatusValues(std::initializer_list<std::pair<int, int>> fields) {
    std::vector<std::string> values;
    for (const auto& [column, row] : fields) values.push_back(StatusValue(column, row));
    return values;
  }

  // The canvas as build/.../artefacts/<name>.png, for a person to look at.
  static void SaveArtefact(const std::string& name) {
    std::filesystem::create_directories(SONICLOOM_TEST_ARTEFACTS);
    EXPECT_TRUE(SaveCanvasImage(SONICLOOM_TEST_ARTEFACTS "/" + name + ".png"));
  }
};

// Pages of one module, entered afresh for each test.
template <ProgramState kState>
class ModulePageTest : public PageHarness {
 protected:
  void SetUp() override {
    PageHarness::SetUp();
    module.emplace(kState);
  }
  void TearDown() override {
    module.reset();
    PageHarness::TearDown();
  }
  PageRun Caller() const { return module->Caller(); }
  std::optional<ModuleRun> module;
};
