#include "ui/pages/module_loops.h"
#include "ui/pages/page_fixture.h"
#include "ui/pages/system_settings_page.h"
#include "wavetable/vorta_workspace.h"

namespace {

class ModuleTest : public PageTest {};

TEST_F(ModuleTest, VolumeStopsAtItsLimitsAndShowsOneToSixtyFour) {
  gApp.settings.playbackVolume = 1.0f / 64.0f;
  PressUpper(0);  // -VOLUME at 1/64
  for (int i = 0; i < 6; ++i) PressUpper(1);
  PressUpper(1);  // +VOLUME at 1.0
  PressLower(11);
  gApp.programState = STATE_XFORM;
  RunXformModule();
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_TRUE(Drawn(Message("MIN VALUE")));
  EXPECT_TRUE(Drawn(Message("MAX VALUE")));
  EXPECT_FLOAT_EQ(gApp.settings.playbackVolume, 1.0f);
  EXPECT_EQ(StatusValue(0, 3), "64");
  for (const char* shown : {"1", "2", "4", "8", "16", "32", "64"}) EXPECT_TRUE(Drawn(shown)) << shown;
  EXPECT_EQ(DrawnCount("64"), 1);  // the refused step drew nothing
}

TEST_F(ModuleTest, SpeedLimitsAndFlushBackToSeventeen) {
  for (int i = 0; i < 16; ++i) PressUpper(8);  // -SPEED: R 16 -> 32
  PressUpper(8);                               // at 32
  PressUpper(11);                              // FLUSH
  for (int i = 0; i < 15; ++i) PressUpper(9);  // +SPEED: R 16 -> 1
  PressUpper(9);                               // at 1
  PressLower(11);
  RunVortaModule();
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_TRUE(Drawn("01"));
  EXPECT_TRUE(Drawn("32"));
  EXPECT_TRUE(Drawn(Message("MIN VALUE")));
  EXPECT_TRUE(Drawn(Message("MAX VALUE")));
  EXPECT_TRUE(Drawn(Message("DONE")));
  EXPECT_EQ(DrawnCount("17"), 2);  // on entry and after FLUSH
  EXPECT_EQ(StatusValue(2, 2), "32");
}

TEST_F(ModuleTest, LeavingVortaReleasesTheTableAndReenteringStartsEmpty) {
  for (int i = 0; i < 4; ++i) PressUpper(8);  // R 20, shown 13
  PressLower(11);
  RunVortaModule();
  EXPECT_EQ(StatusValue(2, 2), "13");
  Headless().texts.clear();
  PressLower(11);
  RunVortaModule();
  EXPECT_EQ(StatusValue(2, 2), "17");
  EXPECT_EQ(StatusValue(0, 0), "");

  // The same at the workspace level: a named, changed table is gone after
  // leave and entry.
  VortaWorkspace workspace;
  EnterVorta(workspace);
  workspace.table.at(0, 0) = 90;
  workspace.ramName = "PAD";
  workspace.playbackStretch = 3;
  LeaveVorta(workspace);
  EnterVorta(workspace);
  EXPECT_EQ(workspace.table.at(0, 0), 0);
  EXPECT_TRUE(workspace.ramName.empty());
  EXPECT_EQ(workspace.playbackStretch, 16);
  LeaveVorta(workspace);
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
  EXPECT_TRUE(Drawn("SCREEN INDEX"));
  EXPECT_TRUE(Drawn("SYSTEM <CURRENT>"));
  for (const char* row : {"DISK", "VIEWER", "SLICE", "ASSEM", "ENV", "TEF", "FILE OPERATIONS", "TABLE VIEWER",
                          "SLICE EDITOR", "TABLE ASSEMBLER", "ENVELOPE EDITOR", "TABLE EDITING FUNCTIONS"}) {
    EXPECT_TRUE(Drawn(row)) << row;
  }
  EXPECT_FALSE(TextsContaining("TABLE VIEWER ***").empty());
  EXPECT_FALSE(TextsContaining("2.0.0").empty());
  EXPECT_FALSE(TextsContaining("6.0.0").empty());
  EXPECT_EQ(TextsContaining("SYSTEM SETTINGS ***").size(), 2u);
  EXPECT_TRUE(Drawn(Message("SOUND DEVICE NOT AVAILABLE")));
  EXPECT_TRUE(Drawn("RAM:"));
  EXPECT_TRUE(Drawn("PLAYBACK VOLUME:"));
  EXPECT_TRUE(Drawn("SPEED <RAM WT PLAYBACK>:"));
  // The bar of 0.0.0 as it was left.
  EXPECT_EQ(ButtonLabel(0, 0), "-VOLUME");
  EXPECT_EQ(ButtonLabel(1, 0), "+VOLUME");
  EXPECT_EQ(ButtonLabel(8, 0), "-SPEED");
  EXPECT_EQ(ButtonLabel(9, 0), "+SPEED");
  EXPECT_EQ(ButtonLabel(11, 0), "FLUSH");
  EXPECT_EQ(ButtonLabel(0, 1), "");
  EXPECT_EQ(ButtonLabel(1, 1), "fDISK<>");
  EXPECT_EQ(ButtonLabel(6, 1), "fTEF<>");
  EXPECT_EQ(ButtonLabel(9, 1), "pRAM_WT");
  EXPECT_EQ(ButtonLabel(11, 1), "iMENU<>");
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

TEST_F(ModuleTest, NavigationRowsOfEveryModule) {
  SetNavigationRow(STATE_VORTA, 3);
  EXPECT_EQ(ButtonLabel(0, 1), "fSYSTEM<>");
  EXPECT_EQ(ButtonLabel(2, 1), "fVIEWER<>");
  EXPECT_EQ(ButtonLabel(3, 1), "");
  EXPECT_EQ(ButtonLabel(4, 1), "fASSEM<>");
  EXPECT_EQ(ButtonLabel(5, 1), "fENV<>");
  EXPECT_EQ(ButtonLabel(11, 1), "");
  SetNavigationRow(STATE_XFORM, 1);
  EXPECT_EQ(ButtonLabel(0, 1), "fSYSTEM<>");
  EXPECT_EQ(ButtonLabel(1, 1), "");
  EXPECT_EQ(ButtonLabel(2, 1), "fTEF<>");
  EXPECT_EQ(ButtonLabel(3, 1), "");
  SetNavigationRow(STATE_SLOOP, 0);
  EXPECT_EQ(ButtonLabel(2, 1), "fSYNTH<>");
  EXPECT_EQ(ButtonLabel(11, 1), "iMENU<>");
  uint16_t selector = 0;
  EXPECT_FALSE(FollowNavigation(STATE_XMRPH, 0, ButtonCode(0, 1), selector));
  EXPECT_TRUE(FollowNavigation(STATE_XMRPH, 0, ButtonCode(2, 1), selector));
  EXPECT_EQ(selector, 2);
  EXPECT_FALSE(FollowNavigation(STATE_XMRPH, 2, ButtonCode(11, 1), selector));
  EXPECT_FALSE(FollowNavigation(STATE_XMRPH, 2, ButtonCode(5, 1), selector));
  EXPECT_TRUE(FollowNavigation(STATE_XMRPH, 0, ButtonCode(11, 1), selector));
  EXPECT_EQ(selector, kLeaveModule);
}

TEST_F(ModuleTest, CrossSynthesisShowsBothRamsAndNoSpeed) {
  PressLower(2);   // fSYNTH<>
  PressLower(0);
  PressUpper(8);   // no -SPEED here
  PressLower(11);
  RunXmrphModule();
  EXPECT_TRUE(Drawn("RAM A:"));
  EXPECT_TRUE(Drawn("RAM B:"));
  EXPECT_TRUE(Drawn("CROSS SYNTHESIZER"));
  EXPECT_FALSE(TextsContaining("CROSS SYNTHESIS ***").empty());
  EXPECT_TRUE(TextsContaining("SPEED").empty());
  EXPECT_EQ(ButtonLabel(8, 0), "");
  EXPECT_EQ(ButtonLabel(9, 1), "");
  PressLower(11);
  Headless().texts.clear();
  RunSloopModule();
  EXPECT_TRUE(Drawn("LOOP SYNTHESIZER"));
  EXPECT_TRUE(Drawn("RAM:"));
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
}

}  // namespace
