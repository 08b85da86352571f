#pragma once
// The page test harness: a page (or a whole module loop) runs on the
// headless display through RunPage with a scripted list of inputs; the test
// then asserts on the texts drawn, the button labels, pixels and the
// returned code, and may save the canvas as a PNG under the build folder.
//
//   TEST_F(PageHarness, Example) {
//     Press({0, 3, Lower(11)});              // F1, F4, CTRL+F12
//     ModuleRun module(STATE_VORTA);         // a fresh workspace
//     module.Visit(6);                       // screen 6, left by "fSYSTEM<>"
//     EXPECT_TRUE(Shown("UNDO LIST EMPTY"));
//     SaveArtefact("vorta_settings");
//   }
#include <algorithm>
#include <cstdlib>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "audio/playback_devices.h"
#include "core/kept_for_run.h"
#include "core/message_codes.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "platform/headless/headless_shell.h"
#include "ui/draw.h"
#include "ui/page.h"
#include "ui/page_frame.h"
#include "ui/pages/menu/main_menu.h"
#include "ui/pages/shared/module_loops.h"
#include "ui/pages/shared/page_support.h"
#include "ui/ui_fixture.h"

// A button of the lower row in a chain of presses: Press({3, Lower(11)}).
inline constexpr int kLowerRow = 100;
constexpr int Lower(int column) { return kLowerRow + column; }

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

  // A module entered afresh (its workspace built), whose screens can run
  // one by one; left when the test ends.
  struct ModuleRun {
    explicit ModuleRun(ProgramState state) : session(EnterModule(state)) { gApp.programState = state; }
    ~ModuleRun() { LeaveModule(*session); }
    // Runs screen `selector` of the module; the result of RunPage.
    int RunScreen(uint16_t selector) {
      session->selector = selector;
      const auto navigation = NavigationRow(session->screens, selector);
      PageRun run;
      run.session = session.get();
      run.selector = &session->selector;
      run.navigation = navigation;
      return RunPage(*session->screens[selector].page, run);
    }
    // One visit of screen `selector` with the scripted presses, left by
    // "fSYSTEM<>"; only what this visit draws is kept.
    void Visit(uint16_t selector) {
      PressLower(0);
      Headless().texts.clear();
      EXPECT_EQ(RunScreen(selector), kPageNavigated);
    }
    // The run an option page or a hand-off gets from its calling page.
    PageRun Caller() const {
      PageRun run;
      run.session = session.get();
      return run;
    }
    int RunOption(int (*page)(PageRun&)) const {
      PageRun run = Caller();
      return page(run);
    }
    std::unique_ptr<ModuleSession> session;
  };

  // The sound cards the start-up test finds.
  static void UseSoundDevices(std::vector<std::string> names) {
    Headless().sound.deviceNames = std::move(names);
    TestPlaybackDevices();
  }

  // --- Input script. Presses are held longer than the 100 ms press
  // feedback.
  static constexpr int64_t kHoldMillis = 150;
  static void PressUpper(int column) { ScriptKeyPress(FunctionKey(column + 1), kHoldMillis); }
  // The lower row: CTRL held with the F-key.
  static void PressLower(int column) { ScriptKeyPressWith(kKeyControl, FunctionKey(column + 1), kHoldMillis); }
  static void ClickButton(int column, int row) { ScriptClick(kButtonLeft[column] + 40, kButtonTop[row] + 12, 60); }
  // A chain of presses: a column of the upper row, or Lower(column).
  static void Press(std::initializer_list<int> buttons) {
    for (const int button : buttons) button >= kLowerRow ? PressLower(button - kLowerRow) : PressUpper(button);
  }
  static void PressTimes(int column, int times) {
    for (int i = 0; i < times; ++i) PressUpper(column);
  }
  static void Down(int times = 1) {
    for (int i = 0; i < times; ++i) ScriptKeyPress(kKeyDown, kHoldMillis);
  }
  // A name typed into the keyboard dialog and confirmed.
  static void Type(const char* text) {
    ScriptType(text);
    ScriptKeyPress(kKeyReturn);
    ScriptWait(300);
  }

  // --- Files. A path in a library folder of the program folder.
  static std::string LibraryPath(int category, const std::string& name) {
    return CategoryFilePath(gApp, category, name);
  }
  // A 16-bit 44.1 kHz file made by sox from the given synth effects. Rate
  // and channels are the null input's, so lengths in samples stay exact.
  static std::string Sox(const std::string& path, int channels, const std::string& effects) {
    const std::string command = "sox -q -r 44100 -c " + std::to_string(channels) + " -n -b 16 '" + path + "' " +
                                effects + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
  }

  // --- What was drawn.
  static bool Drawn(std::string_view text) {
    const auto& texts = Headless().texts;
    return std::any_of(texts.begin(), texts.end(), [&](const DrawnText& t) { return t.text == text; });
  }
  static int DrawnCount(std::string_view text) {
    const auto& texts = Headless().texts;
    return static_cast<int>(std::count_if(texts.begin(), texts.end(), [&](const DrawnText& t) { return t.text == text; }));
  }
  // Each of `texts` drawn (after `prefix`); the missing ones are reported.
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
  static bool TitleDrawn(std::string_view title) { return Drawn("*** " + std::string(title) + " ***"); }
  static std::string Message(std::string_view text) { return "MESSAGE: " + std::string(text); }
  // Whether the message line showed `text`; each of `texts`.
  static bool Shown(std::string_view text) { return Drawn(Message(text)); }
  static bool ShownAll(std::initializer_list<const char*> texts) { return DrawnAll(texts, "MESSAGE: "); }
  // The list rows marked as selected, in drawing order; by default the rows
  // of the file lists (file operations, recycle bin).
  static constexpr int kFileRowTop = 151;
  static constexpr int kFileRowStep = 32;
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
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
      if (it->y == kStatusRowY[row] && it->x + MeasureText(it->text).width == right) return it->text;
    }
    return "<none>";
  }

  // The twelve labels of a row of the button bar as they stand now.
  static std::array<std::string, 12> Labels(int row) {
    std::array<std::string, 12> labels;
    for (int column = 0; column < 12; ++column) labels[column] = ButtonLabel(column, row);
    return labels;
  }

  // The canvas as build/.../artefacts/<name>.png, for a person to look at.
  static void SaveArtefact(const std::string& name) {
    const std::string folder = SONICLOOM_TEST_ARTEFACTS;
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(SaveCanvasImage(folder + "/" + name + ".png"));
  }
};

using PageTest = PageHarness;
