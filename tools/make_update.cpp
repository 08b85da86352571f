// Packs a release into the update file the program downloads, and signs it.
//
//   make_update --new-key KEYFILE
//       makes a key pair: KEYFILE holds the secret key, KEYFILE.pub the
//       public key the program is built with (both as hexadecimal text).
//   make_update VERSION EXECUTABLE SECRET_KEYFILE OUTPUT [MANUAL.pdf]
//       writes OUTPUT (parameter block, executable, manual) and OUTPUT.sig.
#include <sodium.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "update/update_file.h"
#include "update/update_signature.h"

namespace {

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path);
  out << text << '\n';
  return static_cast<bool>(out.flush());
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "make_update: %s\n", text.c_str());
  return 1;
}

int MakeKeyPair(const std::string& path) {
  if (sodium_init() < 0) return Fail("libsodium does not start");
  std::vector<uint8_t> publicKey(crypto_sign_PUBLICKEYBYTES);
  std::vector<uint8_t> secretKey(crypto_sign_SECRETKEYBYTES);
  crypto_sign_keypair(publicKey.data(), secretKey.data());
  if (!WriteText(path, HexText(secretKey)) || !WriteText(path + ".pub", HexText(publicKey))) {
    return Fail("cannot write " + path);
  }
  return 0;
}

int MakeUpdate(int argc, char** argv) {
  char* end = nullptr;
  const float version = std::strtof(argv[1], &end);
  if (end == argv[1] || *end != '\0') return Fail(std::string("not a version: ") + argv[1]);
  std::vector<uint8_t> executable;
  std::vector<uint8_t> manual;
  std::vector<uint8_t> keyFile;
  if (!ReadFile(argv[2], executable) || executable.empty()) return Fail(std::string("cannot read ") + argv[2]);
  if (argc > 5 && !ReadFile(argv[5], manual)) return Fail(std::string("cannot read ") + argv[5]);
  if (executable.size() + manual.size() > kMaxUpdateContentBytes) return Fail("the update would be too large");
  if (!ReadFile(argv[3], keyFile)) return Fail(std::string("cannot read ") + argv[3]);
  const auto key = ParseHexKey(std::string(keyFile.begin(), keyFile.end()), kUpdateSecretKeyBytes);
  if (!key) return Fail(std::string("not a secret key file: ") + argv[3]);
  const std::vector<uint8_t> file = PackUpdate(version, executable, manual);
  const std::vector<uint8_t> signature = SignUpdate(file, *key);
  if (signature.empty()) return Fail("signing failed");
  const std::string output = argv[4];
  if (!WriteFile(output, file) || !WriteFile(output + kSignatureSuffix, signature)) return Fail("cannot write " + output);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--new-key") return MakeKeyPair(argv[2]);
  if (argc == 5 || argc == 6) return MakeUpdate(argc, argv);
  std::fprintf(stderr,
               "usage: make_update --new-key KEYFILE\n"
               "       make_update VERSION EXECUTABLE SECRET_KEYFILE OUTPUT [MANUAL.pdf]\n");
  return 2;
}
