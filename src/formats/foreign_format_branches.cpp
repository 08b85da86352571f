#include "formats/foreign_format_branches.h"

#include <array>

#include "formats/blofeld_sysex.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "files/file_classification.h"
#include "formats/foreign_table_common.h"
#include "formats/komplexer_wt.h"
#include "formats/surge_wt.h"
#include "formats/wavegenerator_wts.h"

namespace {

// Surge, Dune2 and Komplexer share ".WT"; the first 352 bytes (a Dune2
// header) tell them apart.
constexpr size_t kWtHeadBytes = kDune2HeaderBytes;

}  // namespace

int16_t ReadBlofeldSysexBranch(std::FILE* file, const std::string&, FileInfo* info, SamplerBlock* block) {
  return ReadBlofeldDump(file, info, block);
}

int16_t ReadWtBranch(std::FILE* file, const std::string& fileName, FileInfo* info, SamplerBlock* block) {
  if (block) *block = SamplerBlock{};
  std::array<uint8_t, kWtHeadBytes> head{};
  if (!ReadExactly(file, head)) return RejectFile(info, "FILE IS TOO SMALL, NO WAVETABLE DATA");
  if (IsSurgeHead(head)) return ReadSurgeFile(file, head, info, block);
  if (IsDune2Head(head)) return ReadDune2File(file, head, info, block);
  return ReadKomplexerFile(file, fileName, head, info, block);
}

int16_t ReadEfeBranch(std::FILE* file, const std::string&, FileInfo* info, SamplerBlock* block) {
  return ReadEfeFile(file, info, block);
}

int16_t ReadWtsBranch(std::FILE* file, const std::string&, FileInfo* info, SamplerBlock* block) {
  return ReadWtsFile(file, info, block);
}
