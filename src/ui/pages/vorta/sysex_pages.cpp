#include <filesystem>

#include "core/app_globals.h"
#include "core/message_codes.h"
#include "formats/blofeld_sysex.h"
#include "ui/info_panels.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/vorta/rendering_pages.h"
#include "ui/value_entry.h"

namespace {

constexpr int kValueColumn = 1;
constexpr int kDeviceRow = 0;
constexpr int kSlotRow = 1;
constexpr int kValueDigits = 3;
constexpr const char* kDeviceLabel = "BLOFELD DEVICE ID:";
constexpr const char* kSlotLabel = "BLOFELD WAVETABLE SLOT:";

VortaModule& Module(const PageRun& run) { return *run.session->vorta; }

void ShowParameters(const BlofeldParameters& parameters) {
  DrawStatusValue(kValueColumn, kDeviceRow, kDeviceLabel, "%ld", static_cast<int32_t>(parameters.deviceId),
                  kValueDigits + 1);
  DrawStatusValue(kValueColumn, kSlotRow, kSlotLabel, "%ld", static_cast<int32_t>(parameters.slot),
                  kValueDigits + 1);
}

// The two questions, each within the instrument's range; false when either
// was cancelled.
bool AskParameters(BlofeldParameters& parameters) {
  ShowParameters(parameters);
  int32_t deviceId = parameters.deviceId;
  int32_t slot = parameters.slot;
  const bool confirmed =
      ValueEntry(deviceId, kValueDigits, kBlofeldMaxDeviceId, 0, kValueColumn, kDeviceRow, kDeviceLabel) &&
      ValueEntry(slot, kValueDigits, kBlofeldMaxSlot, kBlofeldMinSlot, kValueColumn, kSlotRow, kSlotLabel);
  if (confirmed) parameters = {deviceId, slot};
  ShowParameters(parameters);  // a cancelled entry leaves its field as the value stands
  return confirmed;
}

void ShowNames(const PageRun& run) {
  ShowNameReadout(0, 0, "DISK:", ScreenName(Module(run).renderFileName));
  ShowNameReadout(0, 1, "RAM:", Module(run).ram.ramName);
}

// These pages are their questions: drawing them asks for device id and
// slot and then writes, so they end before the first input of the loop.
void RenderDump(PageRun& run) {
  ShowNames(run);
  const VortaModule& module = Module(run);
  BlofeldParameters parameters;
  const int offered = OfferedBlofeldParameters(gApp, module.renderFileName, module.renderNewFile, parameters);
  if (offered != kMsgDone) {
    run.Finish(offered);
    return;
  }
  if (!AskParameters(parameters)) {
    run.Finish(kMsgAborted);
    return;
  }
  run.Finish(WriteBlofeldTable(gApp, TableForOutput(module.ram.table), module.ram.playbackStretch,
                               module.renderFileName, parameters, module.renderNewFile));
}

void ModifyDump(PageRun& run) {
  ShowNames(run);
  const std::string& fileName = Module(run).renderFileName;
  BlofeldParameters parameters;
  const int read = ReadBlofeldFileParameters(gApp, fileName, parameters);
  if (read != kMsgDone) {
    run.Finish(read);
    return;
  }
  if (!AskParameters(parameters)) {
    run.Finish(kMsgAborted);
    return;
  }
  run.Finish(RewriteBlofeldFileParameters(gApp, fileName, parameters));
}

}  // namespace

int RunVortaSysexModify(PageRun& run, const std::string& path) {
  const std::string fileName = std::filesystem::path(path).filename().string();
  return RunRenderingPage(run, kSysexModificationPage, fileName, false);
}

const Page kSysexRenderingPage = {.title = "WAVETABLE RENDERING <SYX>", .number = "1.5.0", .buttons = {}, .draw = RenderDump};
const Page kSysexModificationPage = {
    .title = "SYSEX PARAMETER MODIFICATION <SYX>", .number = "1.6.0", .buttons = {}, .draw = ModifyDump};
