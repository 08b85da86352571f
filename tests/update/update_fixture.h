#pragma once
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_folder.h"
#include "update/update_file.h"
#include "update/update_signature.h"
#include "update/web_update.h"

// tests/support/https_test_server.py for a suite: own CA, certificates for 127.0.0.1 and another host, a mute port.
struct UpdateTestServer {
  TempFolder folder;
  std::FILE* output = nullptr;
  int input = -1;
  int port = 0, wrongHostPort = 0, silentPort = 0;

  UpdateTestServer() {
    int toServer[2];
    if (pipe(toServer) != 0) return;
    fcntl(toServer[1], F_SETFD, FD_CLOEXEC);  // the server must not hold its own input open
    input = toServer[1];
    output = popen(("exec python3 " SONICLOOM_SOURCE_DIR "/tests/support/https_test_server.py " + folder.path +
                    " <&" + std::to_string(toServer[0])).c_str(), "re");
    close(toServer[0]);
    if (!output || std::fscanf(output, "READY %d %d %d", &port, &wrongHostPort, &silentPort) != 3) port = 0;
    // The CA is handed to libcurl, and everyone may read what is served.
    chmod(folder.path.c_str(), 0755);
    setenv("SONICLOOM_UPDATE_CA", (folder / "ca.pem").c_str(), 1);
    for (const char* proxy : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(proxy);
  }
  ~UpdateTestServer() {
    unsetenv("SONICLOOM_UPDATE_CA");
    if (input >= 0) close(input);
    if (output) pclose(output);
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
    image[entry.path().string()] = {entry.is_regular_file() ? ReadAllBytes(entry.path()) : std::vector<uint8_t>{},
                                    static_cast<unsigned>(entry.status().permissions())};
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
  static void TearDownTestSuite() { delete std::exchange(server, nullptr); }
  void SetUp() override {
    Base::SetUp();
    if (!server->Ready()) GTEST_SKIP() << "no HTTPS test server (python3 or openssl missing)";
  }
  static void PublishSigned(const std::string& name, const std::vector<uint8_t>& file) {
    server->Publish(name, file);
    server->Publish(name + ".sig", SignUpdate(file, DevelopmentSecretKey()));
  }
  static inline UpdateTestServer* server = nullptr;
};

// A program folder as installed: the program, its manual and the folders of backups and pending files.
inline void InstallProgram(const TempFolder& install) {
  WriteAllBytes(install / "Sonic-Loom", MarkerProgram("old"));
  chmod((install / "Sonic-Loom").c_str(), 0755);
  WriteAllBytes(install / "Sonic-Loom.pdf", Bytes("%PDF old manual"));
  std::filesystem::create_directories(install / "system/backup");
  std::filesystem::create_directories(install / "system/update");
}
