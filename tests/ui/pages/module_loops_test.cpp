#include "ui/pages/page_harness.h"
#include "ui/pages/shared/system_settings_page.h"

namespace {

using ModuleTest = PageHarness;

TEST_F(ModuleTest, VolumeStopsAtItsLimitsAndShowsOneToSixtyFour) {
  gApp.settings.playbackVolume = 1.0f / 64.0f;
  PressUpper(0);      // -VOLUME at 1/64
  PressTimes(1, 7);   // the last at 1.0
  gApp.programState = STATE_XFORM;
  RunWith(RunXformModule);
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_TRUE(ShownAll({"MIN VALUE", "MAX VALUE"}));
  EXPECT_TRUE(DrawnAll({"1", "2", "4", "8", "16", "32"}));
  EXPECT_FLOAT_EQ(gApp.settings.playbackVolume, 1.0f);
  EXPECT_EQ(StatusValue(0, 3), "64");
  EXPECT_EQ(DrawnCount("64"), 1);  // the refused step drew nothing
}

TEST_F(ModuleTest, SpeedLimitsFlushAndAFreshTableOnEveryEntry) {
  PressTimes(8, 17);  // -SPEED: R 16 -> 32, then refused
  PressUpper(11);     // FLUSH
  PressTimes(9, 16);  // +SPEED: R 16 -> 1, then refused
  PressLower(11);
  {
    ModuleRun vorta(STATE_VORTA);
    EXPECT_EQ(vorta.RunScreen(0), kPageNavigated);
    EXPECT_EQ(vorta.session->selector, kLeaveModule);
    EXPECT_EQ(vorta.session->vorta->ram.playbackStretch, 1);
    vorta.session->vorta->ram.ramName = "PAD";
  }
  EXPECT_TRUE(DrawnAll({"01", "32"}));
  EXPECT_TRUE(ShownAll({"MIN VALUE", "MAX VALUE", "DONE"}));
  EXPECT_EQ(DrawnCount("17"), 2);  // on entry and after FLUSH
  ModuleRun again(STATE_VORTA);
  EXPECT_EQ(again.session->vorta->ram.playbackStretch, 16);
  EXPECT_TRUE(again.session->vorta->ram.ramName.empty());
}

TEST_F(ModuleTest, VortaScreensNavigateByTheLowerRow) {
  // fVIEWER<>; its own button is not on its bar, nor "iMENU<>" on 2.0.0;
  // fTEF<>, fSYSTEM<>, pRAM_WT without a sound device, iMENU<>.
  RunWith(RunVortaModule, {Lower(2), Lower(2), Lower(11), Lower(6), Lower(0), Lower(9)});
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_TRUE(DrawnAll({"*** TABLE VIEWER ***", "*** TABLE EDITING FUNCTIONS ***"}));
  EXPECT_TRUE(Shown("SOUND DEVICE NOT AVAILABLE"));
  EXPECT_EQ(DrawnCount("*** SYSTEM SETTINGS ***"), 2);
  SaveArtefact("vorta_system_settings");
}

TEST_F(ModuleTest, RamWavetablePlaysThroughTheDeviceWhileHeld) {
  UseSoundDevices({"Card A"});
  PressTimes(8, 2);  // R = 18
  ScriptKeyPressWith(kKeyControl, FunctionKey(10), 300);  // pRAM_WT
  RunWith(RunVortaModule);
  EXPECT_GE(Headless().sound.starts, 1);
  EXPECT_EQ(Headless().sound.totalFrames, 18 * 8192 + 256);
  EXPECT_TRUE(TextsContaining("SOUND DEVICE NOT AVAILABLE").empty());
  EXPECT_TRUE(Drawn("CARD A"));
}

TEST_F(ModuleTest, NavigationRowsLeaveOutTheOpenScreenAndMenuOnlyOnZero) {
  struct Case { ProgramState state; uint16_t current; std::vector<int> columns; };
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
  Press({8, 11, Lower(11)});  // no -SPEED here; FLUSH
  ModuleRun xmrph(STATE_XMRPH);
  xmrph.session->xmrph->ramNameA = "A.WAV";
  EXPECT_EQ(xmrph.RunScreen(0), kPageNavigated);
  EXPECT_TRUE(Drawn("A.WAV"));
  EXPECT_TRUE(Shown("DONE"));
  EXPECT_TRUE(xmrph.session->xmrph->ramNameA.empty());
  EXPECT_TRUE(TextsContaining("SPEED").empty());
  EXPECT_EQ(ButtonLabel(9, 1), "");  // no pRAM_WT
}

}  // namespace
