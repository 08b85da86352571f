#include "ui/pages/page_harness.h"
#include "ui/pages/shared/browser_page.h"

namespace {

constexpr int kDelete = 4, kClear = 6, kExplore = 11;

class RecycleBinTest : public PageHarness {
 protected:
  static std::string BinFile(const std::string& name) { return LibraryPath(kCategoryUnrecognized, name); }
  static void PutJunk(int count) {
    for (int i = 0; i < count; ++i) {
      WriteAllBytes(BinFile((i < 10 ? "NOTE0" : "NOTE") + std::to_string(i) + ".TXT"), {static_cast<uint8_t>(i), 1, 2});
    }
  }
  static void RunWith(std::initializer_list<int> presses) { PageHarness::RunWith(RunRecycleBinModule, presses); }
};

TEST_F(RecycleBinTest, PagesRemembersItsPageAndShowsTheReadouts) {
  PutJunk(17);
  RunWith({1});  // PAGE>>
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_EQ(StatusValues({{0, 2}, {1, 2}, {0, 3}, {1, 3}}), (std::vector<std::string>{"17", "2", "16 - 16", "1"}));
  EXPECT_TRUE(DrawnAll({"00016", "NOTE16.TXT"}));
  EXPECT_EQ(gKept.recycleBinPage, 2);

  // The next visit opens on page 2; with files gone it falls back.
  fs::remove(BinFile("NOTE16.TXT"));
  RunWith({0});  // <<PAGE on the only page
  EXPECT_EQ(StatusValues({{0, 3}, {1, 3}}), (std::vector<std::string>{"0 - 15", "0"}));
  EXPECT_TRUE(Shown("SINGLE PAGE"));
  EXPECT_EQ(gKept.recycleBinPage, 1);
}

TEST_F(RecycleBinTest, DeleteUsesTheRealNameOfTheClickedRow) {
  const std::string longName = "a long file name (x).txt";
  WriteAllBytes(BinFile(longName), {9, 9});
  WriteAllBytes(BinFile("ZZZ.TXT"), {8});
  PressUpper(kDelete);  // without selection
  ScriptClick(300, kFileRowTop + 6);
  RunWith({kDelete, kNo, kDelete, kYes});
  EXPECT_TRUE(ShownAll({"NO FILE SELECTED", "DELETE FILE<S>?", "ABORTED", "DONE"}));
  EXPECT_FALSE(fs::exists(BinFile(longName)));
  EXPECT_TRUE(fs::exists(BinFile("ZZZ.TXT")));
  // The row showed the short name only.
  EXPECT_TRUE(TextsContaining("a long").empty());
  EXPECT_FALSE(TextsContaining("~").empty());
}

TEST_F(RecycleBinTest, ArrowKeysSelectAndClearEmptiesTheFolder) {
  PutJunk(3);
  RunWith({kArrowDown, kArrowDown, kClear, kYes, kClear, kExplore});  // the second: empty now
  EXPECT_EQ(StatusValue(2, 0), "");  // the selection went with the files
  EXPECT_TRUE(Drawn("NOTE01.TXT"));
  EXPECT_TRUE(Shown("NO FILES IN DIRECTORY"));
  EXPECT_EQ(StatusValue(0, 3), "NONE");
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(fs::exists(BinFile("NOTE0" + std::to_string(i) + ".TXT")));
  ASSERT_EQ(HeadlessShellRecord().explored.size(), 1u);
  EXPECT_EQ(HeadlessShellRecord().minimised, 1);
  EXPECT_EQ(MarkedRows(), (std::vector{0, 1}));
}

TEST_F(RecycleBinTest, FindJumpsToTheMatchingFile) {
  PutJunk(20);
  // fFIND<>: the search pauses; keys pressed meanwhile are not seen.
  for (const char* name : {"NOTE18", "QQQ"}) {
    PressUpper(2);
    ScriptType(name);
    ScriptKeyPress(kKeyReturn);
    ScriptWait(1000);
  }
  PressUpper(2);
  ScriptKeyPress(kKeyEscape);
  RunWith({});
  ASSERT_FALSE(MarkedRows().empty());
  EXPECT_EQ(MarkedRows().front(), 2);
  EXPECT_TRUE(Drawn("NOTE18.TXT"));
  EXPECT_TRUE(ShownAll({"FILE NOT FOUND", "ABORTED"}));
  EXPECT_EQ(gKept.recycleBinPage, 2);
}

TEST_F(RecycleBinTest, HeldDownStepsOnAndAFailedExploreSaysSo) {
  PutJunk(10);
  ScriptKeyDown(kKeyDown, 10);
  ScriptKeyUp(kKeyDown, 640);  // reported at once and every 150 ms after
  HeadlessShellRecord().openerWorks = false;
  RunWith({kExplore});
  EXPECT_EQ(MarkedRows(), (std::vector{0, 1, 2, 3, 4}));
  EXPECT_TRUE(Shown("ACCESS DENIED"));
  EXPECT_EQ(HeadlessShellRecord().minimised, 0);
  SaveArtefact("recycle_bin");
}

TEST(DiskLine, FreeSpaceAndShortenedPaths) {
  EXPECT_EQ(ShortenedPath("/data/Samples", 13), "/data/Samples");
  EXPECT_EQ(ShortenedPath("/home/Ann/Sonic-Loom/data/01 Samples (WAV)", 20), ".../01 Samples (WAV)");
  const std::pair<int64_t, const char*> space[] = {
      {64LL << 20, "64 <LOW!>"}, {65LL << 20, "65"}, {4194304LL << 20, "4194304"}, {4194305LL << 20, ">4194304"}};
  for (const auto& [bytes, shown] : space) EXPECT_EQ(FreeSpaceText(bytes, true), shown);
  EXPECT_EQ(FreeSpaceText(0, false), "-N.A.-");
}

}  // namespace
