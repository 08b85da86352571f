#include <cstdio>
#include <filesystem>

#include "files/folder_table.h"
#include "files/library_paths.h"
#include "ui/pages/shared/browser_page.h"
#include "ui/pages/shared/module_loops.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/shared/page_support.h"

namespace {

namespace fs = std::filesystem;

class RecycleBinTest : public PageHarness {
 protected:
  std::string BinFile(const std::string& name) { return CategoryFilePath(gApp, kCategoryUnrecognized, name); }
  void PutJunk(int count) {
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "NOTE%02d.TXT", i);
      WriteAllBytes(BinFile(name), {static_cast<uint8_t>(i), 1, 2});
    }
  }
  static int RowY(int row) { return 151 + 32 * row; }
};

TEST_F(RecycleBinTest, PagesRemembersItsPageAndShowsTheReadouts) {
  PutJunk(17);
  PressUpper(1);  // PAGE>>
  PressLower(11);
  RunRecycleBinModule();
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  const std::array<std::string, 4> readouts = {StatusValue(0, 2), StatusValue(1, 2), StatusValue(0, 3),
                                                StatusValue(1, 3)};
  EXPECT_EQ(readouts, (std::array<std::string, 4>{"17", "2", "16 - 16", "1"}));
  EXPECT_TRUE(DrawnAll({"00 CURRENTLY UNRECOGNIZED FILES", "00016", "NOTE16.TXT", "DEFAULT PATH"}));
  EXPECT_EQ(gKept.recycleBinPage, 2);

  // The next visit opens on page 2; with files gone it falls back.
  fs::remove(BinFile("NOTE16.TXT"));
  Headless().texts.clear();
  PressUpper(0);  // <<PAGE on the only page
  PressLower(11);
  RunRecycleBinModule();
  EXPECT_EQ(StatusValue(0, 3), "0 - 15");
  EXPECT_EQ(StatusValue(1, 3), "0");
  EXPECT_TRUE(Drawn(Message("SINGLE PAGE")));
  EXPECT_EQ(gKept.recycleBinPage, 1);
}

TEST_F(RecycleBinTest, DeleteUsesTheRealNameOfTheClickedRow) {
  const std::string longName = "a long file name (x).txt";
  WriteAllBytes(BinFile(longName), {9, 9});
  WriteAllBytes(BinFile("ZZZ.TXT"), {8});
  PressUpper(4);               // fDELETE<> without selection
  ScriptClick(300, RowY(0) + 6);
  PressUpper(4);
  PressUpper(11);              // fNO
  PressUpper(4);
  PressUpper(10);              // fYES
  PressLower(11);
  RunRecycleBinModule();
  EXPECT_TRUE(DrawnAll({"MESSAGE: NO FILE SELECTED", "MESSAGE: DELETE FILE<S>?", "MESSAGE: ABORTED", "MESSAGE: DONE"}));
  EXPECT_FALSE(fs::exists(BinFile(longName)));
  EXPECT_TRUE(fs::exists(BinFile("ZZZ.TXT")));
  // The row showed the short name only.
  EXPECT_TRUE(TextsContaining("a long").empty());
  EXPECT_FALSE(TextsContaining("~").empty());
}

TEST_F(RecycleBinTest, ArrowKeysSelectAndClearEmptiesTheFolder) {
  PutJunk(3);
  ScriptKeyPress(kKeyDown, kHoldMillis);
  ScriptKeyPress(kKeyDown, kHoldMillis);
  PressUpper(6);   // fCLR_DIR<>
  PressUpper(10);  // fYES
  PressUpper(6);   // empty now
  PressUpper(11);  // EXPLORE
  PressLower(11);
  RunRecycleBinModule();
  EXPECT_EQ(StatusValue(2, 0), "");  // the selection went with the files
  EXPECT_TRUE(DrawnAll({"NOTE01.TXT", "MESSAGE: NO FILES IN DIRECTORY", "EMPTY DIRECTORY"}));
  EXPECT_EQ(StatusValue(0, 3), "NONE");
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(fs::exists(BinFile("NOTE0" + std::to_string(i) + ".TXT")));
  ASSERT_EQ(HeadlessShellRecord().explored.size(), 1u);
  EXPECT_EQ(HeadlessShellRecord().minimised, 1);
  const auto marks = TextsContaining(">>>>>>");
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].y, RowY(0));
  EXPECT_EQ(marks[1].y, RowY(1));
}

TEST_F(RecycleBinTest, FindJumpsToTheMatchingFile) {
  PutJunk(20);
  PressUpper(2);  // fFIND<>
  ScriptType("NOTE18");
  ScriptKeyPress(kKeyReturn);
  ScriptWait(1000);  // the search pauses; keys pressed meanwhile are not seen
  PressUpper(2);
  ScriptType("QQQ");
  ScriptKeyPress(kKeyReturn);
  ScriptWait(1000);
  PressUpper(2);
  ScriptKeyPress(kKeyEscape);
  PressLower(11);
  RunRecycleBinModule();
  const auto marks = TextsContaining(">>>>>>");
  ASSERT_FALSE(marks.empty());
  EXPECT_EQ(marks.front().y, RowY(2));
  EXPECT_TRUE(DrawnAll({"NOTE18.TXT", "MESSAGE: FILE NOT FOUND", "MESSAGE: ABORTED"}));
  EXPECT_EQ(gKept.recycleBinPage, 2);
}

TEST_F(RecycleBinTest, HeldDownStepsOnAndAFailedExploreSaysSo) {
  PutJunk(10);
  ScriptKeyDown(kKeyDown, 10);
  ScriptKeyUp(kKeyDown, 640);  // reported at once and every 150 ms after
  HeadlessShellRecord().openerWorks = false;
  PressUpper(11);  // EXPLORE
  PressLower(11);
  RunRecycleBinModule();
  const auto marks = TextsContaining(">>>>>>");
  ASSERT_EQ(marks.size(), 5u);
  EXPECT_EQ(marks.back().y, RowY(4));
  EXPECT_TRUE(Drawn(Message("ACCESS DENIED")));
  EXPECT_EQ(HeadlessShellRecord().minimised, 0);
  SaveArtefact("recycle_bin");
}

TEST(DiskLine, FreeSpaceAndShortenedPaths) {
  EXPECT_EQ(ShortenedPath("/data/Samples", 13), "/data/Samples");
  EXPECT_EQ(ShortenedPath("/home/Ann/Sonic-Loom/data/01 Samples (WAV)", 20), ".../01 Samples (WAV)");
  EXPECT_EQ(FreeSpaceText(64LL << 20, true), "64 <LOW!>");
  EXPECT_EQ(FreeSpaceText(65LL << 20, true), "65");
  EXPECT_EQ(FreeSpaceText(4194304LL << 20, true), "4194304");
  EXPECT_EQ(FreeSpaceText(4194305LL << 20, true), ">4194304");
  EXPECT_EQ(FreeSpaceText(0, false), "-N.A.-");
}

}  // namespace
