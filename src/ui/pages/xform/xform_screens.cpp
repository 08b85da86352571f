#include "ui/pages/xform/xform_screens.h"

#include <array>

#include "ui/pages/shared/file_operations_page.h"
#include "ui/pages/shared/system_settings_page.h"
#include "ui/pages/xform/xform_pages.h"

namespace {


constexpr std::array<ModuleScreen, 3> kXformScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", &kSystemSettingsPage},
    {"fDISK<>", "DISK", "FILE OPERATIONS", &kXformFileOperationsPage},
    {"fTEF<>", "TEF", "TABLE EDITING FUNCTIONS", &kXformTableEditingPage},
}};

}  // namespace

std::span<const ModuleScreen> XformScreens() { return kXformScreens; }
