#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Updates are signed: a detached Ed25519 signature over the whole update
// file, kept beside it under the same address with ".sig" appended. The
// program holds the public key of the release key pair; key files hold the
// key as hexadecimal text.
inline constexpr size_t kUpdatePublicKeyBytes = 32;
inline constexpr size_t kUpdateSecretKeyBytes = 64;
inline constexpr size_t kUpdateSignatureBytes = 64;
inline constexpr const char* kSignatureSuffix = ".sig";

using UpdatePublicKey = std::array<uint8_t, kUpdatePublicKeyBytes>;

// The key the program was built with.
const UpdatePublicKey& BuiltInUpdateKey();

bool VerifyUpdateSignature(std::span<const uint8_t> file, std::span<const uint8_t> signature,
                           const UpdatePublicKey& key);

// The signature of a file with a secret key (64 bytes: seed and public key).
std::vector<uint8_t> SignUpdate(std::span<const uint8_t> file, std::span<const uint8_t> secretKey);

// Hexadecimal text (white space around it ignored) into bytes of the given
// count; nullopt when it is not exactly that.
std::optional<std::vector<uint8_t>> ParseHexKey(const std::string& text, size_t bytes);
std::string HexText(std::span<const uint8_t> bytes);
