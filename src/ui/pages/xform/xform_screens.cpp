#include "ui/pages/xform/xform_screens.h"

#include <array>

#include "ui/pages/shared/system_settings_page.h"
#include "ui/pages/xform/xform_pages.h"

namespace {

// Screens whose own content is still to come: title, number and the
// navigation row.
constexpr Page kFileOperationsPage = PlaceholderPage("FILE OPERATIONS", "1.0.0");

constexpr std::array<ModuleScreen, 3> kXformScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", &kSystemSettingsPage},
    {"fDISK<>", "DISK", "FILE OPERATIONS", &kFileOperationsPage},
    {"fTEF<>", "TEF", "TABLE EDITING FUNCTIONS", &kXformTableEditingPage},
}};

}  // namespace

std::span<const ModuleScreen> XformScreens() { return kXformScreens; }
