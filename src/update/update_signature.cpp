#include "update/update_signature.h"

#include <sodium.h>

#include <cctype>

#include "update/update_build_settings.h"  // generated: the key and addresses the build names

namespace {

bool SodiumReady() {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<std::vector<uint8_t>> ParseHexKey(const std::string& text, size_t bytes) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  if (last - first != bytes * 2) return std::nullopt;
  std::vector<uint8_t> key(bytes);
  for (size_t i = 0; i < bytes; ++i) {
    const int high = HexDigit(text[first + 2 * i]);
    const int low = HexDigit(text[first + 2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    key[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return key;
}

std::string HexText(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

const UpdatePublicKey& BuiltInUpdateKey() {
  static const UpdatePublicKey key = [] {
    UpdatePublicKey bytes{};
    const auto parsed = ParseHexKey(kBuiltInUpdateKeyHex, kUpdatePublicKeyBytes);
    if (parsed) std::copy(parsed->begin(), parsed->end(), bytes.begin());
    return bytes;  // all zero when the build's key file was unusable: nothing verifies
  }();
  return key;
}

bool VerifyUpdateSignature(std::span<const uint8_t> file, std::span<const uint8_t> signature,
                           const UpdatePublicKey& key) {
  static_assert(kUpdateSignatureBytes == crypto_sign_BYTES && kUpdatePublicKeyBytes == crypto_sign_PUBLICKEYBYTES);
  if (!SodiumReady() || signature.size() != kUpdateSignatureBytes) return false;
  return crypto_sign_verify_detached(signature.data(), file.data(), file.size(), key.data()) == 0;
}

std::vector<uint8_t> SignUpdate(std::span<const uint8_t> file, std::span<const uint8_t> secretKey) {
  static_assert(kUpdateSecretKeyBytes == crypto_sign_SECRETKEYBYTES);
  if (!SodiumReady() || secretKey.size() != kUpdateSecretKeyBytes) return {};
  std::vector<uint8_t> signature(kUpdateSignatureBytes);
  crypto_sign_detached(signature.data(), nullptr, file.data(), file.size(), secretKey.data());
  return signature;
}
