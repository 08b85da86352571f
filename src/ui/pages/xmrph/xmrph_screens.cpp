#include "ui/pages/xmrph/xmrph_screens.h"

#include <array>

#include "ui/pages/shared/file_operations_page.h"
#include "ui/pages/shared/system_settings_page.h"
#include "ui/pages/xmrph/cross_synthesis_page.h"

namespace {

constexpr std::array<ModuleScreen, 3> kXmrphScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", &kSystemSettingsPage},
    {"fDISK<>", "DISK", "FILE OPERATIONS", &kXmrphFileOperationsPage},
    {"fSYNTH<>", "SYNTH", "CROSS SYNTHESIZER", &kCrossSynthesisPage},
}};

}  // namespace

std::span<const ModuleScreen> XmrphScreens() { return kXmrphScreens; }
