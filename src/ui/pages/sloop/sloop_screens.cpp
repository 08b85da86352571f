#include "ui/pages/sloop/sloop_screens.h"

#include <array>

#include "ui/pages/shared/file_operations_page.h"
#include "ui/pages/shared/system_settings_page.h"
#include "ui/pages/sloop/loop_synthesis_page.h"

namespace {

constexpr std::array<ModuleScreen, 3> kSloopScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", &kSystemSettingsPage},
    {"fDISK<>", "DISK", "FILE OPERATIONS", &kSloopFileOperationsPage},
    {"fSYNTH<>", "SYNTH", "LOOP SYNTHESIZER", &kLoopSynthesisPage},
}};

}  // namespace

std::span<const ModuleScreen> SloopScreens() { return kSloopScreens; }
