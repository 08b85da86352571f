#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The update file: a 32-byte little-endian parameter block, the new
// executable (E bytes) and optionally the new manual (M bytes).
inline constexpr size_t kUpdateHeaderBytes = 32;
inline constexpr size_t kUpdateTagBytes = 10;
inline constexpr std::array<uint8_t, kUpdateTagBytes> kUpdateTag = {'S', 'O', 'N', 'I', 'C', '-', 'L', 'O', 'O', 'M'};
inline constexpr size_t kUpdateVersionOffset = 16;
inline constexpr size_t kUpdateExecutableSizeOffset = 20;
inline constexpr size_t kUpdateManualSizeOffset = 24;
inline constexpr size_t kUpdateContentSizeOffset = 28;
// The most an update may hold: anything beyond is refused before it is
// stored in memory.
inline constexpr uint64_t kMaxUpdateContentBytes = 256ULL << 20;

struct UpdateHeader {
  std::array<uint8_t, kUpdateTagBytes> tag{};
  float version = 0.0f;
  uint32_t executableSize = 0;  // E
  uint32_t manualSize = 0;      // M, 0 = no manual
  uint32_t contentSize = 0;     // must equal E + M

  uint64_t ContentBytes() const { return static_cast<uint64_t>(executableSize) + manualSize; }
};

UpdateHeader ReadUpdateHeader(std::span<const uint8_t, kUpdateHeaderBytes> bytes);
std::array<uint8_t, kUpdateHeaderBytes> WriteUpdateHeader(const UpdateHeader& header);

// The tag is "SONIC-LOOM", the content size is E + M (without wrapping
// round), and there is an executable to install.
bool IsValidUpdateHeader(const UpdateHeader& header);

// The whole update file for an executable and an optional manual.
std::vector<uint8_t> PackUpdate(float version, std::span<const uint8_t> executable, std::span<const uint8_t> manual);
