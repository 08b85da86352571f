#include "update/update_file.h"

#include <algorithm>

#include "core/byte_order.h"

UpdateHeader ReadUpdateHeader(std::span<const uint8_t, kUpdateHeaderBytes> bytes) {
  UpdateHeader header;
  std::copy_n(bytes.begin(), kUpdateTagBytes, header.tag.begin());
  header.version = ReadF32LE(&bytes[kUpdateVersionOffset]);
  header.executableSize = ReadU32LE(&bytes[kUpdateExecutableSizeOffset]);
  header.manualSize = ReadU32LE(&bytes[kUpdateManualSizeOffset]);
  header.contentSize = ReadU32LE(&bytes[kUpdateContentSizeOffset]);
  return header;
}

std::array<uint8_t, kUpdateHeaderBytes> WriteUpdateHeader(const UpdateHeader& header) {
  std::array<uint8_t, kUpdateHeaderBytes> bytes{};
  std::copy(header.tag.begin(), header.tag.end(), bytes.begin());
  WriteF32LE(&bytes[kUpdateVersionOffset], header.version);
  WriteU32LE(&bytes[kUpdateExecutableSizeOffset], header.executableSize);
  WriteU32LE(&bytes[kUpdateManualSizeOffset], header.manualSize);
  WriteU32LE(&bytes[kUpdateContentSizeOffset], header.contentSize);
  return bytes;
}

bool IsValidUpdateHeader(const UpdateHeader& header) {
  return header.tag == kUpdateTag && header.contentSize == header.ContentBytes() && header.executableSize > 0;
}

std::vector<uint8_t> PackUpdate(float version, std::span<const uint8_t> executable, std::span<const uint8_t> manual) {
  UpdateHeader header;
  header.tag = kUpdateTag;
  header.version = version;
  header.executableSize = static_cast<uint32_t>(executable.size());
  header.manualSize = static_cast<uint32_t>(manual.size());
  header.contentSize = static_cast<uint32_t>(header.ContentBytes());
  const auto head = WriteUpdateHeader(header);
  // Sized once and filled in place: the header, the program, the manual.
  std::vector<uint8_t> file(head.size() + executable.size() + manual.size());
  auto next = std::copy(head.begin(), head.end(), file.begin());
  next = std::copy(executable.begin(), executable.end(), next);
  std::copy(manual.begin(), manual.end(), next);
  return file;
}
