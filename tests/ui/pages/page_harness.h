#pragma once
// The page test harness: a page (or a whole module loop) runs on the
// headless display through RunPage with a scripted list of inputs; the test
// then asserts on the texts drawn, the button labels, pixels and the
// returned code, and may save the canvas as a PNG under the build folder.
//
//   TEST_F(PageHarness, Example) {
//     PressUpper(0);                         // F1
//     PressLower(11);                        // CTRL+F12
//     ModuleRun module(STATE_VORTA);         // a fresh workspace
//     EXPECT_EQ(module.RunScreen(0), kPageNavigated);
//     EXPECT_TRUE(Drawn("SCREEN INDEX"));
//     EXPECT_EQ(Labels(1)[11], "iMENU<>");
//     SaveArtefact("vorta_settings");
//   }
#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "audio/playback_devices.h"
#include "core/kept_for_run.h"
#include "core/message_codes.h"
#include "platform/headless/headless_shell.h"
#include "ui/draw.h"
#include "ui/page.h"
#include "ui/page_frame.h"
#include "ui/pages/menu/main_menu.h"
#include "ui/pages/shared/module_loops.h"
#include "ui/pages/shared/page_support.h"
#include "ui/ui_fixture.h"

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

  // --- What was drawn.
  static bool Drawn(std::string_view text) {
    const auto& texts = Headless().texts;
    return std::any_of(texts.begin(), texts.end(), [&](const DrawnText& t) { return t.text == text; });
  }
  static int DrawnCount(std::string_view text) {
    const auto& texts = Headless().texts;
    return static_cast<int>(std::count_if(texts.begin(), texts.end(), [&](const DrawnText& t) { return t.text == text; }));
  }
  static bool DrawnAll(std::initializer_list<const char*> texts) {
    bool all = true;
    for (const char* text : texts) {
      if (!Drawn(text)) {
        ADD_FAILURE() << "not drawn: " << text;
        all = false;
      }
    }
    return all;
  }
  static bool TitleDrawn(std::string_view title) { return Drawn("*** " + std::string(title) + " ***"); }
  static std::string Message(std::string_view text) { return "MESSAGE: " + std::string(text); }

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
