#include "ui/pages/page_harness.h"
#include "ui/progress.h"

namespace {

// An option page: a value, "fAPPLY" that may refuse, "fCANCEL", and a held-key hook.
struct OptionMemory { int value = 0, applied = 0; } gOption;

enum Action { kUp, kApply };
constexpr PageButton kButtons[] = {
    {0, 0, "fUP", kUp}, {10, 0, "fAPPLY", kApplyAction}, {11, 0, "fCANCEL", kCancelAction}};

void Draw(PageRun&) { DrawStatusValue(0, 0, "VALUE:", "%d", static_cast<int32_t>(gOption.value), 4); }

void Act(PageRun& run, int action, const PageEvent& event) {
  if (action == kUp || event.kind == EventKind::SelectionChanged) {
    ++gOption.value;
    Draw(run);
  } else if (action == kApplyAction) {
    if (gOption.value == 0) run.Show(kMsgNoData);  // refused: the page stays
    ++gOption.applied;
  }
}

PageEvent Held(PageRun&, const PageEvent& event) { return event.key == kKeyUp ? PageEvent::Selection() : PageEvent{}; }

constexpr Page kOptionPage = {
    .title = "TEST OPTIONS", .number = "6.1.0", .buttons = kButtons, .draw = Draw, .act = Act, .held = Held};

using PageContractTest = PageHarness;

TEST_F(PageContractTest, OptionPagesEndWithDoneOrAborted) {
  gOption = {};
  Press({10, 0});               // fAPPLY refused: NO DATA, still running
  ScriptKeyPress(kKeyUp, 60);   // the held-key hook
  Press({5, 10});               // no button at 5
  PageRun run;
  EXPECT_EQ(RunPage(kOptionPage, run), kMsgDone);
  EXPECT_EQ(std::pair(gOption.value, gOption.applied), std::pair(2, 2));
  EXPECT_TRUE(DrawnAll({"*** TEST OPTIONS ***", "6.1.0", "MESSAGE: NO DATA", "2"}));

  PressUpper(0);
  ClickButton(11, 0);
  EXPECT_EQ(RunPage(kOptionPage, run), kMsgAborted);
  EXPECT_EQ(gOption.applied, 2);
}

TEST_F(PageContractTest, PageNumberSitsInsideItsBox) {
  DrawPageHeader("TABLE EDITING FUNCTIONS", "6.0.0", true);
  const auto number = TextsContaining("6.0.0");
  ASSERT_EQ(number.size(), 1u);
  const int right = number[0].x + MeasureText("6.0.0").width;
  EXPECT_LE(right, 1023);
  // Inverted around the whole number, a margin on both sides.
  ExpectPixels({{number[0].x - 2, 10, Palette(kText)}, {right + 1, 10, Palette(kText)}});
  SaveArtefact("page_number_box");
}

// The engine's progress hooks: the label as given, DONE at the end, and once F12
// stopped the work every later report says stop.
TEST_F(PageContractTest, CalcProgressHooksPassTheLabelAndStayStopped) {
  uint8_t result = 0;
  ProgressHooks hooks = CalcProgressHooks(result);
  for (int done : {0, 50}) EXPECT_FALSE(ProgressCancelled(hooks, "ANALYSIS PROGRESS: ", done, 100));
  EXPECT_TRUE(Drawn("ANALYSIS PROGRESS: "));
  ProgressFinished(hooks, "ANALYSIS PROGRESS: ", 100);
  EXPECT_EQ(result, kMsgDone);

  hooks = CalcProgressHooks(result);
  ProgressCancelled(hooks, nullptr, 0, 10);
  PressUpper(11);
  SleepMillis(10);
  int steps = 1;
  while (!ProgressCancelled(hooks, nullptr, steps, 10) && steps < 9) ++steps;
  EXPECT_LT(steps, 9);
  EXPECT_EQ(result, kMsgAborted);
  EXPECT_TRUE(ProgressCancelled(hooks, nullptr, steps + 1, 10));
}

}  // namespace
