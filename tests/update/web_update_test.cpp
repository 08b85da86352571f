#include <sys/wait.h>

#include <functional>
#include <tuple>

#include "core/byte_order.h"
#include "platform/clock.h"
#include "update/safe_replace.h"
#include "update/update_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST(UpdateFile, ParameterBlockFieldsAndValidity) {
  const auto file = PackUpdate(2.5f, Bytes("EXE"), Bytes("PDF!"));
  // Tag, six zeros, version, executable, manual and content sizes, then the content.
  EXPECT_EQ(file, (std::vector<uint8_t>{'S', 'O', 'N', 'I', 'C', '-', 'L', 'O', 'O', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0x40,
                                        3, 0, 0, 0, 4, 0, 0, 0, 7, 0, 0, 0, 'E', 'X', 'E', 'P', 'D', 'F', '!'}));
  const std::tuple<const char*, std::function<void(UpdateHeader&)>, bool> cases[] = {
      {"as packed", [](UpdateHeader&) {}, true},
      {"tag", [](UpdateHeader& h) { h.tag[9] = 'N'; }, false},
      {"content size", [](UpdateHeader& h) { h.contentSize = 8; }, false},
      {"no executable", [](UpdateHeader& h) { h.executableSize = 0, h.contentSize = 4; }, false},
      {"sizes wrap round", [](UpdateHeader& h) { h.executableSize = 0xFFFFFFFFu, h.manualSize = 8, h.contentSize = 7; }, false},
  };
  for (const auto& [what, change, valid] : cases) {
    UpdateHeader header = ReadUpdateHeader(std::span<const uint8_t, 32>(file.data(), 32));
    change(header);
    EXPECT_EQ(IsValidUpdateHeader(header), valid) << what;
  }
}

// One program folder, the signed release "good.update" on the suite's server, and one run of the procedure.
class WebUpdateTest : public WithUpdateServer<::testing::Test> {
 protected:
  void SetUp() override {
    WithUpdateServer::SetUp();
    if (IsSkipped()) return;
    InstallProgram(install);
    PublishSigned("good.update", NewRelease());
    run.settings = &settings;
    run.files = {install.path, "Sonic-Loom", "Sonic-Loom.pdf", ".pending"};
    run.site.timeoutMillis = 1000;  // the silent port gives up after this
    run.site.key = BuiltInUpdateKey();
    run.report.logLine = [this](const std::string& line) { log.push_back(line); };
  }

  std::string Check(const std::string& url, bool boot = false) {
    run.site.primaryUrl = run.site.fallbackUrl = url;
    return CheckForUpdate(run, boot);
  }

  static std::vector<uint8_t> NewRelease(const std::string& manual = "%PDF new manual") {
    return PackUpdate(3.0f, MarkerProgram("new"), Bytes(manual));
  }

  TempFolder install;
  SettingsBlock settings;
  UpdateRun run;
  std::vector<std::string> log;
};

TEST_F(WebUpdateTest, RefusalsChangeNothingOnDisk) {
  const auto release = NewRelease();
  PublishSigned("same.update", PackUpdate(2.27f, MarkerProgram("new"), {}));
  auto badSize = NewRelease();
  WriteU32LE(&badSize[28], 5);
  PublishSigned("badsize.update", badSize);
  server->Publish("badsig.update", release);
  server->Publish("badsig.update.sig", std::vector<uint8_t>(64, 7));
  server->Publish("othersig.update", release);
  server->Publish("othersig.update.sig", SignUpdate(NewRelease("%PDF other"), DevelopmentSecretKey()));
  server->Publish("nosig.update", release);
  auto flood = PackUpdate(3.0f, std::vector<uint8_t>(1000, 'x'), std::vector<uint8_t>(24, 'y'));
  flood.resize(10u << 20, 'z');  // announces 1 KB, sends 10 MB
  PublishSigned("flood.update", flood);
  const std::pair<std::string, const char*> cases[] = {
      {server->Url("files", "same.update"), ">NO UPDATE AVAILABLE"},
      {server->Url("files", "badsize.update"), ">REMOTE FILE NOT VALID"},
      {server->Url("files", "badsig.update"), ">REMOTE FILE NOT VALID"},
      {server->Url("files", "othersig.update"), ">REMOTE FILE NOT VALID"},
      {server->Url("files", "nosig.update"), ">REMOTE FILE NOT VALID"},
      {"http://127.0.0.1:" + std::to_string(server->port) + "/files/good.update", ">ERROR OPENING URL"},
      {server->Url("redirect-http", "good.update"), ">ERROR OPENING URL"},
      {server->Url("files", "good.update", server->wrongHostPort), ">ERROR OPENING URL"},
      {server->Url("files", "missing.update"), ">ERROR OPENING URL"},
      {server->Url("files", "flood.update"), ">DOWNLOAD INTERRUPTED"},
      {server->Url("halfway", "good.update"), ">DOWNLOAD INTERRUPTED"},
      {server->Url("files", "good.update", server->silentPort), ">CONNECTION FAILED"},
      {"https://127.0.0.1:1/files/good.update", ">CONNECTION FAILED"},
  };
  const FolderImage before = ImageOf(install.path);
  for (const auto& [url, result] : cases) {
    settings.updateAvailable = 1;
    EXPECT_EQ(Check(url), result) << url;
    EXPECT_EQ(settings.updateAvailable + settings.updateInstalled, 0) << url;
    EXPECT_TRUE(ImageOf(install.path) == before) << url;
  }
}

TEST_F(WebUpdateTest, SignedUpdateReplacesProgramAndManualAfterBackingThemUp) {
  // Through the short link: the signature lies beside the file it leads to.
  EXPECT_EQ(Check(server->Url("redirect", "good.update")), ">RESTARTING APPLICATION...");
  EXPECT_EQ(log, (std::vector<std::string>{">TESTING CONNECTIVITY", ">OPENING INTERNET CONNECTION",
      ">OPENING URL <DIRECT CONNECTION>", ">DOWNLOADING PARAMETERS", ">VALIDATING PARAMETERS", ">COMPARING VERSIONS",
      ">DOWNLOADING UPDATE CONTENT", ">CREATING BACKUP FILES", ">REPLACING EXECUTABLE FILE", ">REPLACING PDF FILE"}));
  EXPECT_EQ(settings.updateInstalled, 1);
  EXPECT_EQ(ReadAllBytes(install / "Sonic-Loom.pdf"), Bytes("%PDF new manual"));  // the program: the page test
  EXPECT_EQ(ReadAllBytes(install / "system/backup/Sonic-Loom"), MarkerProgram("old"));
  EXPECT_EQ(ReadAllBytes(install / "system/backup/Sonic-Loom.pdf"), Bytes("%PDF old manual"));
  EXPECT_EQ(fs::directory_iterator(install / "system/update"), fs::directory_iterator());
  // An update without a manual replaces the program only: the manual and its backup stay as they are.
  PublishSigned("nomanual.update", PackUpdate(3.0f, MarkerProgram("newer"), {}));
  log.clear();
  EXPECT_EQ(Check(server->Url("files", "nomanual.update")), ">RESTARTING APPLICATION...");
  EXPECT_EQ(log.back(), ">REPLACING EXECUTABLE FILE");
  EXPECT_EQ(ReadAllBytes(install / "Sonic-Loom"), MarkerProgram("newer"));
  EXPECT_EQ(ReadAllBytes(install / "Sonic-Loom.pdf"), Bytes("%PDF new manual"));
  EXPECT_EQ(ReadAllBytes(install / "system/backup/Sonic-Loom.pdf"), Bytes("%PDF old manual"));
}

TEST_F(WebUpdateTest, FailureBeforeTheRenameLeavesTheOldProgramStartable) {
  for (ReplaceStage failing : {ReplaceStage::kTemporaryWritten, ReplaceStage::kBeforeRename}) {
    run.report.fault = [failing](ReplaceStage stage) { return stage == failing; };
    EXPECT_EQ(Check(server->Url("files", "good.update")), ">ERROR UPDATING EXECUTABLE");
    EXPECT_EQ(settings.updateInstalled, 0);
    EXPECT_EQ(ReadAllBytes(install / "system/backup/Sonic-Loom"), MarkerProgram("old"));
    ASSERT_EQ(std::system((install / "Sonic-Loom").c_str()), 0);
    EXPECT_EQ(ReadAllBytes(install / "marker"), Bytes("old\n"));
    fs::remove(install / "marker");
    EXPECT_EQ(std::distance(fs::directory_iterator(install.path), fs::directory_iterator()), 3);  // no temporary left
  }
}

TEST_F(WebUpdateTest, ReadOnlyProgramFolderRefusesBeforeAnyChange) {
  const FolderImage before = ImageOf(install.path);
  ASSERT_EQ(std::system(("chmod -R a-w " + install.path).c_str()), 0);
  // The superuser writes anywhere: the procedure runs as nobody in a child, which tells the result it got.
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && setuid(65534) != 0) _exit(2);
    const std::string result = Check(server->Url("files", "good.update"));
    std::fprintf(stderr, "result: %s\n", result.c_str());
    _exit(result == ">ERROR CREATING BACKUP" ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  ASSERT_EQ(std::system(("chmod -R u+w " + install.path).c_str()), 0);
  EXPECT_EQ(status, 0) << "expected >ERROR CREATING BACKUP";
  const FolderImage after = ImageOf(install.path);
  ASSERT_EQ(after.size(), before.size());
  for (const auto& [path, file] : before) EXPECT_EQ(after.at(path).first, file.first) << path;
}

TEST_F(WebUpdateTest, BootCheckOnlyReportsAndLooksOncePerHour) {
  const std::string good = server->Url("files", "good.update");
  EXPECT_EQ(Check(good, true), "UPDATE AVAILABLE");
  EXPECT_EQ(std::tuple(log.empty(), settings.updateAvailable), std::tuple(true, 1));
  EXPECT_EQ(ReadAllBytes(install / "Sonic-Loom"), MarkerProgram("old"));
  const LocalTime now = QueryLocalTime();
  EXPECT_EQ(settings.updateTimeStamp, static_cast<uint32_t>(now.dayOfMonth * 100 + now.hour));
  const std::tuple<uint8_t, uint8_t, uint32_t, std::string, const char*> cases[] = {
      {1, 0, 0, good, "POSTPONED"},  // available, no lookup, time stamp
      {0, 0, settings.updateTimeStamp, good, "POSTPONED"},
      {0, 1, 0, good, "DISABLED BY USER"},
      {0, 0, 0, "https://127.0.0.1:1/SonicLoom.update", "CONNECTION FAILED"},
      {0, 0, 0, server->Url("files", "good.update", server->silentPort), "CONNECTION FAILED"},
  };
  for (const auto& [available, noLookup, stamp, url, result] : cases) {
    settings.updateAvailable = available;
    settings.noUpdateLookup = noLookup;
    settings.updateTimeStamp = stamp;
    EXPECT_EQ(Check(url, true), result) << url;
  }
}

TEST_F(WebUpdateTest, PendingManualReplacesTheManualOrWaits) {
  EXPECT_EQ(ReplacePendingManual(run.files), "NO FILES TO REPLACE");
  WriteAllBytes(install / "system/update/.pending", Bytes("%PDF pending"));
  fs::rename(install / "Sonic-Loom.pdf", install / "kept.pdf");
  fs::create_directory(install / "Sonic-Loom.pdf");  // a manual that cannot be replaced now
  EXPECT_EQ(ReplacePendingManual(run.files), "PDF LOCKED BY VIEWER");
  EXPECT_TRUE(fs::exists(install / "system/update/.pending"));
  fs::remove(install / "Sonic-Loom.pdf");
  EXPECT_EQ(ReplacePendingManual(run.files), "PDF REPLACED");
  EXPECT_EQ(ReadAllBytes(install / "Sonic-Loom.pdf"), Bytes("%PDF pending"));
  EXPECT_FALSE(fs::exists(install / "system/update/.pending"));
}

TEST_F(WebUpdateTest, MakeUpdateToolPacksAndSigns) {
  WriteAllBytes(install / "new-program", MarkerProgram("new"));
  WriteAllBytes(install / "new.pdf", Bytes("%PDF tool"));
  const std::string command = std::string(SONICLOOM_MAKE_UPDATE_PATH) + " 3.5 " + (install / "new-program") + " " +
                              SONICLOOM_SOURCE_DIR "/keys/update_dev.key " + (install / "out.update") + " " +
                              (install / "new.pdf");
  ASSERT_EQ(std::system(command.c_str()), 0);
  const auto file = ReadAllBytes(install / "out.update");
  EXPECT_EQ(file, PackUpdate(3.5f, MarkerProgram("new"), Bytes("%PDF tool")));
  EXPECT_TRUE(VerifyUpdateSignature(file, ReadAllBytes(install / "out.update.sig"), BuiltInUpdateKey()));
  EXPECT_NE(std::system((std::string(SONICLOOM_MAKE_UPDATE_PATH) + " 3.5 /nonexistent k o 2>/dev/null").c_str()), 0);
}

}  // namespace
