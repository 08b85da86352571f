#include "formats/vorta_import.h"

#include "core/message_codes.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_reader.h"
#include "wavetable/payload.h"

bool IsVortaTableCategory(int category) { return category >= kCategoryVortaWav && category <= kCategorySerum; }

bool LoadVortaStream(std::FILE* file, const std::string& fileName, int expectedCategory, PartialTable& table,
                     int32_t& stretch, const ReadRules& rules) {
  if (!file || !IsVortaTableCategory(expectedCategory)) return false;
  SamplerBlock block;
  if (ReadSoundFile(file, fileName, nullptr, nullptr, &block, rules) != expectedCategory) return false;
  return ReadVortaPayload(block.bytes, table, stretch);
}

int LoadVortaFile(AppGlobals& app, const LibraryEntry& entry, PartialTable& table, int32_t& stretch) {
  if (!IsVortaTableCategory(entry.category) || !IsPlainFileName(entry.name)) return kMsgAccessDenied;
  std::FILE* file = std::fopen(CategoryFilePath(app, entry.category, entry.name).c_str(), "rb");
  if (!file) return kMsgAccessDenied;
  const bool loaded = LoadVortaStream(file, entry.name, entry.category, table, stretch, ReadRulesOf(app));
  std::fclose(file);
  return loaded ? kMsgDone : kMsgAccessDenied;
}
