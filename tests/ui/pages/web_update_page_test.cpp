#include "core/main_loop.h"
#include "core/settings.h"
#include "ui/pages/page_harness.h"
#include "update/update_fixture.h"

namespace {

using WebUpdatePageTest = WithUpdateServer<PageTest>;

TEST_F(WebUpdatePageTest, MenuUpdateInstallsRestartsIntoTheNewProgramAndReportsCompletion) {
  InstallProgram(folder);
  PublishSigned("page.update", PackUpdate(3.0f, MarkerProgram("new"), Bytes("%PDF new")));
  setenv("SONICLOOM_UPDATE_URL", server->Url("redirect", "page.update").c_str(), 1);
  PressUpper(10);  // "s UPDATE "
  RunMainMenu();
  unsetenv("SONICLOOM_UPDATE_URL");
  ASSERT_EQ(gApp.programState, STATE_RESTART);
  EXPECT_FALSE(TextsContaining("WEB UPDATE").empty());
  EXPECT_TRUE(Drawn("UPDATE LOG"));
  const struct {
    const char* text;
    int y;
  } rows[] = {{">TESTING CONNECTIVITY", 160}, {">REPLACING PDF FILE", 340}, {">RESTARTING APPLICATION...", 380}};
  for (const auto& row : rows) {
    const auto drawn = TextsContaining(row.text);
    ASSERT_EQ(drawn.size(), 1u) << row.text;
    EXPECT_EQ(drawn[0].x, 50) << row.text;
    EXPECT_EQ(drawn[0].y, row.y) << row.text;
  }
  EXPECT_TRUE(Drawn(Message("INSTALLING UPDATE, PLEASE WAIT")));

  // The main loop writes the settings and starts the program file anew.
  ASSERT_TRUE(WriteSettings(gApp));
  ActOnFinalState(gApp, STATE_RESTART);
  ASSERT_EQ(Headless().restarts.size(), 1u);
  ASSERT_EQ(std::system(Headless().restarts[0].c_str()), 0);
  EXPECT_EQ(ReadAllBytes(folder / "marker"), Bytes("new\n"));

  gApp.settings = SettingsBlock{};
  ASSERT_TRUE(ReadSettings(gApp));
  Headless().texts.clear();
  PressLower(11);  // iEXIT
  RunMainMenu();
  EXPECT_TRUE(Drawn(Message("UPDATE COMPLETE")));
  EXPECT_EQ(gApp.settings.updateInstalled, 0);
}

}  // namespace
