#include "ui/pages/xform/xform_screens.h"

#include <array>

#include "ui/pages/shared/file_operations_page.h"
#include "ui/pages/shared/system_settings_page.h"

namespace {

// Screens whose own content is still to come: title, number and the
// navigation row.
constexpr Page kTableEditingFunctionsPage = PlaceholderPage("TABLE EDITING FUNCTIONS", "2.0.0");

constexpr std::array<ModuleScreen, 3> kXformScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", &kSystemSettingsPage},
    {"fDISK<>", "DISK", "FILE OPERATIONS", &kXformFileOperationsPage},
    {"fTEF<>", "TEF", "TABLE EDITING FUNCTIONS", &kTableEditingFunctionsPage},
}};

}  // namespace

std::span<const ModuleScreen> XformScreens() { return kXformScreens; }
