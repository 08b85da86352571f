#include "files/folder_scan.h"

#include "files/library_fixture.h"

namespace {

using FolderScan = LibraryFixture;

std::string Row(const ListedFile& f) {
  return std::to_string(f.index) + (f.read ? "+" : "-") + f.name + "|" + f.shortName + "|" + f.info.format + "|" +
         f.info.length + "|" + f.info.remark + "|" + std::to_string(f.category) + (f.movingDenied ? "|denied" : "");
}
// What a listing visits, "<index><+ read, - not> <name>" each; then the file count.
std::string Visit(AppGlobals& app, int category, ReadWindow window = {}) {
  std::string visited;
  const FolderListing listing = VisitCategoryFiles(app, category, [&](const ListedFile& file) {
    visited += std::to_string(file.index) + (file.read ? "+" : "-") + file.name + " ";
    return true;
  }, {}, window);
  return visited + (listing.opened ? std::to_string(listing.fileCount) : "closed");
}

TEST_F(FolderScan, ListingMovesStraysAndNamesTheRest) {
  for (const auto& [name, bytes] : {std::pair{"b sample.wav", SampleBytes(1)}, {"A.WAV", SampleBytes(2)},
                                    {"C.WAV", SampleBytes(6)}, {"CYCLE.WAV", CycleBytes(3)},
                                    {"BAD.WAV", RejectBytes(4)}})
    Put(kCategorySample, name, bytes);
  fs::create_directory(CategoryFolderPath(app, kCategorySample) + "folder.wav");
  // Listed without regard to case; strays are visited unlisted (index -1) after their move.
  EXPECT_EQ(Visit(app, kCategorySample), "0+A.WAV 1+b sample.wav -1+BAD.WAV 2+C.WAV -1+CYCLE.WAV 3");
  EXPECT_TRUE(Has(kCategorySingleCycle, "CYCLE.WAV"));
  EXPECT_TRUE(Has(kCategoryUnrecognized, "BAD.WAV"));
  const std::vector<ListedFile> files = ListCategoryFiles(app, kCategorySample);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(Row(files[1]), "1+b sample.wav|BSAMPL~1.WAV|16 PCM|0.11 SEC||1");

  // The recycle bin keeps a valid file it cannot move, and says so.
  Put(kCategoryUnrecognized, "GOOD.WAV", SampleBytes(5));
  ReadOnlyFolder guard(CategoryFolderPath(app, kCategorySample));
  if (!guard.active) return;
  const std::vector<ListedFile> bin = ListCategoryFiles(app, kCategoryUnrecognized);
  ASSERT_EQ(bin.size(), 2u);
  EXPECT_EQ(Row(bin[0]), "0+BAD.WAV|BAD.WAV|||WRONG SAMPLE RATE <MUST BE 44.1 KHZ>|0");
  EXPECT_EQ(Row(bin[1]), "1+GOOD.WAV|GOOD.WAV|16 PCM|0.11 SEC|FILE IS VALID, BUT MOVING DENIED|1|denied");
}

TEST_F(FolderScan, AReadWindowLeavesTheFilesOutsideItUnread) {
  for (const char* name : {"A.WAV", "C.WAV", "E.WAV"}) Put(kCategorySample, name, SampleBytes(name[0]));
  Put(kCategorySample, "B.WAV", CycleBytes(2));  // a stray before the window
  Put(kCategorySample, "D.WAV", CycleBytes(4));  // a stray inside it
  EXPECT_EQ(Visit(app, kCategorySample, ReadWindow{2, 3}), "0-A.WAV 1-B.WAV 2+C.WAV -1+D.WAV 3+E.WAV 4");
  EXPECT_TRUE(Has(kCategorySample, "B.WAV"));
  EXPECT_TRUE(Has(kCategorySingleCycle, "D.WAV"));
}

// Search by the start of the short or the long name (not the extension), with a note and a pause,
// giving the page of the find; exact mode: the real name only, silently, reporting a damaged file moved.
TEST_F(FolderScan, SearchByStartOfANameOrExactly) {
  for (int i = 0; i < 20; ++i) Put(kCategorySample, "S" + std::to_string(100 + i) + ".WAV", SampleBytes(i));
  Put(kCategorySample, "Tape loop long name.wav", SampleBytes(50));
  Put(kCategorySample, "Tape loop long other.wav", SampleBytes(51));
  Put(kCategorySample, "DAMAGED.WAV", RejectBytes(3));
  const auto found = [&](const char* text, bool exact = false) {
    const FindResult r = FindInCategory(app, kCategorySample, text, exact, Shown());
    return std::to_string(r.code) + " " + std::to_string(r.foundIndex) + " p" + std::to_string(r.page) + " " +
           r.foundName;
  };
  const std::string none = std::to_string(kMsgFileNotFound) + " -1 p1 ";
  // The damaged file goes to the recycle bin on the way, before the find.
  EXPECT_EQ(found("Tape loop long other.wav", true), "0 21 p2 Tape loop long other.wav");
  EXPECT_EQ(shown, "");
  EXPECT_EQ(found("s117"), "0 17 p2 S117.WAV");
  EXPECT_EQ(shown, "nSCANNING FOR MATCHES... p250 ");
  EXPECT_EQ(found("TAPE LOOP LONG O"), "0 21 p2 Tape loop long other.wav");
  EXPECT_EQ(found("TAPELO~2"), "0 21 p2 Tape loop long other.wav");
  for (const char* missing : {"S2", "S100.WAV"}) EXPECT_EQ(found(missing), none) << missing;
  EXPECT_EQ(found("TAPELO~2.WAV", true), none);
  Put(kCategorySample, "DAMAGED2.WAV", RejectBytes(4));
  EXPECT_EQ(FindInCategory(app, kCategorySample, "DAMAGED2.WAV", true).code, kMsgFileDamagedMoved);
  EXPECT_TRUE(Has(kCategoryUnrecognized, "DAMAGED2.WAV"));
  // In the recycle bin itself the damaged file is simply found.
  EXPECT_EQ(FindInCategory(app, kCategoryUnrecognized, "DAMAGED.WAV", true).code, 0);
}

TEST_F(FolderScan, ListingStopsAt16383Files) {
  const std::string bin = CategoryFolderPath(app, kCategoryUnrecognized);
  for (int i = 0; i < 16384; ++i) WriteAllBytes(bin + "N" + std::to_string(10000 + i) + ".TXT", {});
  EXPECT_TRUE(Visit(app, kCategoryUnrecognized).ends_with("16382+N26382.TXT 16383"));
  EXPECT_EQ(FindInCategory(app, kCategoryUnrecognized, "N26382", false).foundIndex, 16382);
  EXPECT_EQ(FindInCategory(app, kCategoryUnrecognized, "N26383", false).code, kMsgFileNotFound);
}

TEST_F(FolderScan, AFolderThatCannotBeOpened) {
  fs::remove_all(CategoryFolderPath(app, kCategoryEfe));
  WriteAllBytes(folder.path + "/data/" + kFolderTable[kCategoryEfe].folderName, {1});
  EXPECT_EQ(Visit(app, kCategoryEfe), "closed");
  EXPECT_TRUE(ListFolder(folder / "does-not-exist").empty());
  const FindResult r = FindInCategory(app, kCategoryEfe, "A", false);
  EXPECT_EQ(std::tuple(r.code, r.page), std::tuple(kMsgFileNotFound, 1));
  EXPECT_EQ(ClearLibraryFolder(app, kCategoryEfe, Answer(true)), kMsgNoFilesInDirectory);
}

TEST_F(FolderScan, DeleteAsksAndReports) {
  for (const auto& [name, bytes] : {std::pair{"ONE.WAV", SampleBytes(1)}, {"Long sample name one.wav", SampleBytes(2)},
                                    {"Long sample name two.wav", SampleBytes(3)}, {"CYCLE.WAV", CycleBytes(3)}})
    Put(kCategorySample, name, bytes);
  std::vector<int> asked;
  EXPECT_EQ(DeleteLibraryFile(app, kCategorySample, "", Answer(true, &asked)), kMsgNoFileSelected);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(DeleteLibraryFile(app, kCategorySample, "ONE.WAV", Answer(false, &asked)), kMsgAborted);
  EXPECT_EQ(asked, std::vector<int>{kMsgDeleteFiles});
  EXPECT_TRUE(Has(kCategorySample, "ONE.WAV"));
  // Deleting by real name removes exactly that file, never a look-alike.
  EXPECT_EQ(DeleteLibraryFile(app, kCategorySample, "ONE.WAV", Answer(true)), kMsgDone);
  EXPECT_EQ(DeleteLibraryFile(app, kCategorySample, "Long sample name two.wav", Answer(true)), kMsgDone);
  EXPECT_EQ(Names(kCategorySample), (std::vector<std::string>{"CYCLE.WAV", "Long sample name one.wav"}));
  EXPECT_EQ(DeleteLibraryFile(app, kCategorySample, "ONE.WAV", Answer(true)), kMsgAccessDenied);
  EXPECT_EQ(DeleteLibraryFile(app, kCategorySample, "../../x", Answer(true)), kMsgAccessDenied);

  EXPECT_EQ(ClearLibraryFolder(app, kCategorySample, Answer(false)), kMsgAborted);
  EXPECT_TRUE(Has(kCategorySample, "Long sample name one.wav"));
  // Clearing removes what the folder lists; the stray cycle went home first.
  EXPECT_EQ(ClearLibraryFolder(app, kCategorySample, Answer(true)), kMsgDone);
  EXPECT_TRUE(Names(kCategorySample).empty());
  EXPECT_TRUE(Has(kCategorySingleCycle, "CYCLE.WAV"));
  EXPECT_EQ(ClearLibraryFolder(app, kCategorySample, Answer(true)), kMsgNoFilesInDirectory);

  Put(kCategorySample, "KEPT.WAV", SampleBytes(4));
  ReadOnlyFolder guard(CategoryFolderPath(app, kCategorySample));
  if (!guard.active) return;
  EXPECT_EQ(DeleteLibraryFile(app, kCategorySample, "KEPT.WAV", Answer(true)), kMsgAccessDenied);
  EXPECT_TRUE(Has(kCategorySample, "KEPT.WAV"));
}

TEST_F(FolderScan, RenameChecksItsOwnResult) {
  Put(kCategorySample, "OLD.WAV", SampleBytes(1));
  const std::tuple<const char*, std::optional<std::string>, int> refused[] = {
      {"", "X.WAV", kMsgNoFileSelected},       {"OLD.WAV", std::nullopt, kMsgAborted},
      {"OLD.WAV", "", kMsgEmptyString},        {"OLD.WAV", "a/b.WAV", kMsgAccessDenied},
      {"GONE.WAV", "NEW.WAV", kMsgAccessDenied},  // a file that vanished is not "DONE"
  };
  for (const auto& [from, to, code] : refused)
    EXPECT_EQ(RenameLibraryFile(app, kCategorySample, from, Typed(to)).code, code) << from << " " << to.value_or("-");
  EXPECT_EQ(Get(kCategorySample, "OLD.WAV"), SampleBytes(1));

  const RenameResult r = RenameLibraryFile(app, kCategorySample, "OLD.WAV", Typed("NEW.WAV"));
  EXPECT_EQ(std::tuple(r.code, r.newName, r.foundIndex, r.page), std::tuple(kMsgDone, "NEW.WAV", 0, 1));
  EXPECT_EQ(Get(kCategorySample, "NEW.WAV"), SampleBytes(1));
  EXPECT_FALSE(Has(kCategorySample, "OLD.WAV"));
  EXPECT_EQ(RenameLibraryFile(app, kCategorySample, "NEW.WAV", Typed("NEW.WAV")).code, kMsgDone);

  // Renamed into a kind that belongs elsewhere, the file moves on and is not found here.
  Put(kCategoryUnrecognized, "TABLE.BIN", SampleBytes(3));
  EXPECT_EQ(RenameLibraryFile(app, kCategoryUnrecognized, "TABLE.BIN", Typed("TABLE.WAV")).code, kMsgAccessDenied);
  EXPECT_EQ(Get(kCategorySample, "TABLE.WAV"), SampleBytes(3));
  // In the WaveGenerator folder the new name always ends in ".wts".
  Put(kCategoryWaveGenerator, "W.WTS", {0, 0, 1});
  RenameLibraryFile(app, kCategoryWaveGenerator, "W.WTS", Typed("NEWNAME.WAV"));
  EXPECT_TRUE(Has(kCategoryWaveGenerator, "NEWNAME.wts") || Has(kCategoryUnrecognized, "NEWNAME.wts"));
  EXPECT_FALSE(Has(kCategoryWaveGenerator, "W.WTS"));

  ReadOnlyFolder guard(CategoryFolderPath(app, kCategorySample));
  if (!guard.active) return;
  EXPECT_EQ(RenameLibraryFile(app, kCategorySample, "NEW.WAV", Typed("LOCKED.WAV")).code, kMsgAccessDenied);
  EXPECT_TRUE(Has(kCategorySample, "NEW.WAV"));
}

}  // namespace
