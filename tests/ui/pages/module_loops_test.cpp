#include "ui/pages/page_harness.h"
#include "ui/pages/shared/system_settings_page.h"

namespace {

using ModuleTest = PageHarness;

TEST_F(ModuleTest, VolumeStopsAtItsLimitsAndShowsOneToSixtyFour) {
  gApp.settings.playbackVolume = 1.0f / 64.0f;
  PressUpper(0);  // -VOLUME at 1/64
  for (int i = 0; i < 7; ++i) PressUpper(1);  // the last at 1.0
  PressLower(11);
  gApp.programState = STATE_XFORM;
  RunXformModule();
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_TRUE(DrawnAll({"MESSAGE: MIN VALUE", "MESSAGE: MAX VALUE", "1", "2", "4", "8", "16", "32"}));
  EXPECT_FLOAT_EQ(gApp.settings.playbackVolume, 1.0f);
  EXPECT_EQ(StatusValue(0, 3), "64");
  EXPECT_EQ(DrawnCount("64"), 1);  // the refused step drew nothing
}

TEST_F(ModuleTest, SpeedLimitsFlushAndAFreshTableOnEveryEntry) {
  for (int i = 0; i < 17; ++i) PressUpper(8);  // -SPEED: R 16 -> 32, then refused
  PressUpper(11);                              // FLUSH
  for (int i = 0; i < 16; ++i) PressUpper(9);  // +SPEED: R 16 -> 1, then refused
  PressLower(11);
  {
    ModuleRun vorta(STATE_VORTA);
    EXPECT_EQ(vorta.RunScreen(0), kPageNavigated);
    EXPECT_EQ(vorta.session->selector, kLeaveModule);
    EXPECT_EQ(vorta.session->vorta->ram.playbackStretch, 1);
    vorta.session->vorta->ram.ramName = "PAD";
  }
  EXPECT_TRUE(DrawnAll({"01", "32", "MESSAGE: MIN VALUE", "MESSAGE: MAX VALUE", "MESSAGE: DONE"}));
  EXPECT_EQ(DrawnCount("17"), 2);  // on entry and after FLUSH
  ModuleRun again(STATE_VORTA);
  EXPECT_EQ(again.session->vorta->ram.playbackStretch, 16);
  EXPECT_TRUE(again.session->vorta->ram.ramName.empty());
}

TEST_F(ModuleTest, VortaSettingsPageLayoutAndNavigation) {
  PressLower(2);   // fVIEWER<>
  PressLower(2);   // its own button is not on its bar: nothing
  PressLower(11);  // no "iMENU<>" on 2.0.0
  PressLower(6);   // fTEF<>
  PressLower(0);   // fSYSTEM<>
  PressLower(9);   // pRAM_WT without a sound device
  PressLower(11);  // iMENU<>
  RunVortaModule();
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_TRUE(DrawnAll({"SCREEN INDEX", "SYSTEM <CURRENT>", "TABLE EDITING FUNCTIONS", "*** TABLE VIEWER ***",
                        "2.0.0", "6.0.0", "SPEED <RAM WT PLAYBACK>:", "MESSAGE: SOUND DEVICE NOT AVAILABLE"}));
  EXPECT_EQ(DrawnCount("*** SYSTEM SETTINGS ***"), 2);
  EXPECT_EQ(Labels(0)[11], "FLUSH");
  EXPECT_EQ(Labels(1)[0], "");  // the open screen's own button
  SaveArtefact("vorta_system_settings");
}

TEST_F(ModuleTest, RamWavetablePlaysThroughTheDeviceWhileHeld) {
  UseSoundDevices({"Card A"});
  for (int i = 0; i < 2; ++i) PressUpper(8);  // R = 18
  ScriptKeyPressWith(kKeyControl, FunctionKey(10), 300);  // pRAM_WT
  PressLower(11);
  RunVortaModule();
  EXPECT_GE(Headless().sound.starts, 1);
  EXPECT_EQ(Headless().sound.totalFrames, 18 * 8192 + 256);
  EXPECT_TRUE(TextsContaining("SOUND DEVICE NOT AVAILABLE").empty());
  EXPECT_TRUE(Drawn("CARD A"));
}

TEST_F(ModuleTest, NavigationRowsLeaveOutTheOpenScreenAndMenuOnlyOnZero) {
  struct Case {
    ProgramState state;
    uint16_t current;
    std::vector<int> columns;
  };
  const Case cases[] = {{STATE_VORTA, 3, {0, 1, 2, 4, 5, 6}},
                        {STATE_XFORM, 1, {0, 2}},
                        {STATE_SLOOP, 0, {1, 2, kMenuColumn}},
                        {STATE_XMRPH, 2, {0, 1}}};
  for (const Case& c : cases) {
    std::vector<int> columns;
    for (const NavigationButton& button : NavigationRow(ModuleScreens(c.state), c.current)) {
      columns.push_back(button.column);
      EXPECT_EQ(button.target, button.column == kMenuColumn ? kLeaveModule : button.column);
    }
    EXPECT_EQ(columns, c.columns) << c.state;
  }
}

TEST_F(ModuleTest, CrossSynthesisShowsBothRamsAndNoSpeed) {
  PressUpper(8);  // no -SPEED here
  PressUpper(11);
  PressLower(11);
  ModuleRun xmrph(STATE_XMRPH);
  xmrph.session->xmrph->ramNameA = "A.WAV";
  EXPECT_EQ(xmrph.RunScreen(0), kPageNavigated);
  EXPECT_TRUE(DrawnAll({"RAM A:", "RAM B:", "A.WAV", "CROSS SYNTHESIZER", "MESSAGE: DONE"}));
  EXPECT_TRUE(xmrph.session->xmrph->ramNameA.empty());
  EXPECT_TRUE(TextsContaining("SPEED").empty());
  EXPECT_EQ(Labels(0)[8], "");
  EXPECT_EQ(Labels(1)[9], "");
}

}  // namespace
