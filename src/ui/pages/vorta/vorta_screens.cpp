#include "ui/pages/vorta/vorta_screens.h"

#include <array>

#include "ui/pages/shared/file_operations_page.h"
#include "ui/pages/shared/system_settings_page.h"
#include "ui/pages/vorta/table_viewer_page.h"
#include "ui/pages/vorta/vorta_editing_pages.h"

namespace {

constexpr std::array<ModuleScreen, 7> kVortaScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", &kSystemSettingsPage},
    {"fDISK<>", "DISK", "FILE OPERATIONS", &kVortaFileOperationsPage},
    {"fVIEWER<>", "VIEWER", "TABLE VIEWER", &kTableViewerPage},
    {"fSLICE<>", "SLICE", "SLICE EDITOR", &kSliceEditorPage},
    {"fASSEM<>", "ASSEM", "TABLE ASSEMBLER", &kTableAssemblingPage},
    {"fENV<>", "ENV", "ENVELOPE EDITOR", &kPartialEnvelopesPage},
    {"fTEF<>", "TEF", "TABLE EDITING FUNCTIONS", &kTableEditingFunctionsPage},
}};

}  // namespace

std::span<const ModuleScreen> VortaScreens() { return kVortaScreens; }
