#pragma once
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "update/update_file.h"
#include "update/update_signature.h"
#include "update/web_update.h"

extern char** environ;

// The HTTPS server of tests/support/https_test_server.py, started once for
// a whole suite: its own CA, a certificate for 127.0.0.1, one for another
// host, and a port that never answers.
struct UpdateTestServer {
  TempFolder folder;
  pid_t pid = -1;
  int input = -1;
  int port = 0;
  int wrongHostPort = 0;
  int silentPort = 0;

  UpdateTestServer() {
    int toServer[2];
    int fromServer[2];
    if (pipe(toServer) != 0 || pipe(fromServer) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toServer[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromServer[1], 1);
    posix_spawn_file_actions_addclose(&actions, toServer[1]);
    posix_spawn_file_actions_addclose(&actions, fromServer[0]);
    const std::string script = SONICLOOM_SOURCE_DIR "/tests/support/https_test_server.py";
    char* argv[] = {const_cast<char*>("python3"), const_cast<char*>(script.c_str()), folder.path.data(), nullptr};
    if (posix_spawnp(&pid, "python3", &actions, nullptr, argv, environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(toServer[0]);
    close(fromServer[1]);
    input = toServer[1];
    std::FILE* answer = fdopen(fromServer[0], "r");
    if (!answer || std::fscanf(answer, "READY %d %d %d", &port, &wrongHostPort, &silentPort) != 3) port = 0;
    if (answer) std::fclose(answer);
    // The CA is handed to libcurl, and everyone may read what is served.
    chmod(folder.path.c_str(), 0755);
    setenv("SONICLOOM_UPDATE_CA", (folder / "ca.pem").c_str(), 1);
    for (const char* proxy : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(proxy);
  }
  ~UpdateTestServer() {
    unsetenv("SONICLOOM_UPDATE_CA");
    if (input >= 0) close(input);
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
  bool Ready() const { return port > 0; }

  std::string Url(const std::string& kind, const std::string& name, int onPort = 0) const {
    return "https://127.0.0.1:" + std::to_string(onPort ? onPort : port) + "/" + kind + "/" + name;
  }
  void Publish(const std::string& name, const std::vector<uint8_t>& bytes) const {
    WriteAllBytes(folder / ("files/" + name), bytes);
  }
};

// Every file and folder under a folder with its bytes and mode.
using FolderImage = std::map<std::string, std::pair<std::vector<uint8_t>, unsigned>>;

inline FolderImage ImageOf(const std::string& root) {
  FolderImage image;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    struct stat info {};
    stat(entry.path().c_str(), &info);
    image[entry.path().string()] = {entry.is_regular_file() ? ReadAllBytes(entry.path()) : std::vector<uint8_t>{},
                                    static_cast<unsigned>(info.st_mode)};
  }
  return image;
}

inline std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A program that tells which version it is by the marker it writes.
inline std::vector<uint8_t> MarkerProgram(const std::string& version) {
  return Bytes("#!/bin/sh\necho " + version + " > \"$(dirname \"$0\")/marker\"\n");
}

inline std::vector<uint8_t> DevelopmentSecretKey() {
  const std::vector<uint8_t> text = ReadAllBytes(SONICLOOM_SOURCE_DIR "/keys/update_dev.key");
  return ParseHexKey(std::string(text.begin(), text.end()), kUpdateSecretKeyBytes).value_or(std::vector<uint8_t>{});
}

// A test suite sharing one server; its tests are skipped without one.
template <class Base>
class WithUpdateServer : public Base {
 protected:
  static void SetUpTestSuite() { server = new UpdateTestServer; }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    Base::SetUp();
    if (!server->Ready()) GTEST_SKIP() << "no HTTPS test server (python3 or openssl missing)";
  }
  // Publishes a file and its signature under the name.
  static void PublishSigned(const std::string& name, const std::vector<uint8_t>& file) {
    server->Publish(name, file);
    server->Publish(name + ".sig", SignUpdate(file, DevelopmentSecretKey()));
  }
  static inline UpdateTestServer* server = nullptr;
};

// A program folder as installed: the program, its manual and the folders
// of backups and pending files.
inline void InstallProgram(const TempFolder& install) {
  WriteAllBytes(install / "Sonic-Loom", MarkerProgram("old"));
  chmod((install / "Sonic-Loom").c_str(), 0755);
  WriteAllBytes(install / "Sonic-Loom.pdf", Bytes("%PDF old manual"));
  std::filesystem::create_directories(install / "system/backup");
  std::filesystem::create_directories(install / "system/update");
}
