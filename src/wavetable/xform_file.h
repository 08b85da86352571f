#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/progress_hooks.h"
#include "files/sample_loader.h"
#include "core/message_codes.h"
#include "wavetable/xform_workspace.h"

// XFORM tables as files: 32-bit float stereo WAV files of whole slices in
// the XFORM folder (category 13), whose "smpl" chunk carries "XFORM___" and
// the band profile.

// Writes the slices up to the last one that holds noise. Done, AccessDenied
// when the file could not be written (an existing file then stays as it
// was), NoData for an empty table.
MessageCode WriteXformWave(AppGlobals& app, const std::string& fileName, const XformTable& table);

// The file WriteXformWave writes, as bytes; empty for an empty table.
std::vector<uint8_t> EncodeXformWave(const XformTable& table);

// Loads an XFORM file of the library into the noise buffer and reconstructs
// the table from it (name from the file, undo ring afresh, the file's speed
// when it holds a valid one). AccessDenied when the file is not a readable
// XFORM table (the RAM table then stays as it was), Aborted when the
// reconstruction was cancelled (empty table), else Done.
MessageCode LoadXformWave(AppGlobals& app, const LibraryEntry& entry, XformWorkspace& workspace,
                           const ProgressHooks& hooks);
