#include "ui/pages/xmrph/xmrph_screens.h"

#include <array>

#include "ui/pages/shared/system_settings_page.h"
#include "ui/pages/xmrph/cross_synthesis_page.h"

namespace {

// Screens whose own content is still to come: title, number and the
// navigation row.
constexpr Page kFileOperationsPage = PlaceholderPage("FILE OPERATIONS", "1.0.0");

constexpr std::array<ModuleScreen, 3> kXmrphScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", &kSystemSettingsPage},
    {"fDISK<>", "DISK", "FILE OPERATIONS", &kFileOperationsPage},
    {"fSYNTH<>", "SYNTH", "CROSS SYNTHESIZER", &kCrossSynthesisPage},
}};

}  // namespace

std::span<const ModuleScreen> XmrphScreens() { return kXmrphScreens; }
