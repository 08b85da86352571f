#include "files/foreign_format_branches.h"

#include "files/blofeld_sysex.h"
#include "files/file_classification.h"

namespace {

int16_t RefuseForNow(FileInfo* info, SamplerBlock* block) {
  if (block) *block = SamplerBlock{};
  return RejectFile(info, kForeignFormatPendingRemark);
}

}  // namespace

int16_t ReadBlofeldSysexBranch(std::FILE* file, const std::string&, FileInfo* info, SamplerBlock* block) {
  return ReadBlofeldDump(file, info, block);
}

int16_t ReadWtBranch(std::FILE*, const std::string&, FileInfo* info, SamplerBlock* block) {
  return RefuseForNow(info, block);
}

int16_t ReadEfeBranch(std::FILE*, const std::string&, FileInfo* info, SamplerBlock* block) {
  return RefuseForNow(info, block);
}

int16_t ReadWtsBranch(std::FILE*, const std::string&, FileInfo* info, SamplerBlock* block) {
  return RefuseForNow(info, block);
}
