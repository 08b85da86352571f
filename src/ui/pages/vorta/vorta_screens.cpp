#include "ui/pages/vorta/vorta_screens.h"

#include <array>

#include "ui/pages/shared/system_settings_page.h"
#include "ui/pages/vorta/vorta_editing_pages.h"

namespace {

// Screens whose own content is still to come: title, number and the
// navigation row.
constexpr Page kFileOperationsPage = PlaceholderPage("FILE OPERATIONS", "1.0.0");
constexpr Page kTableViewerPage = PlaceholderPage("TABLE VIEWER", "2.0.0");

constexpr std::array<ModuleScreen, 7> kVortaScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", &kSystemSettingsPage},
    {"fDISK<>", "DISK", "FILE OPERATIONS", &kFileOperationsPage},
    {"fVIEWER<>", "VIEWER", "TABLE VIEWER", &kTableViewerPage},
    {"fSLICE<>", "SLICE", "SLICE EDITOR", &kSliceEditorPage},
    {"fASSEM<>", "ASSEM", "TABLE ASSEMBLER", &kTableAssemblingPage},
    {"fENV<>", "ENV", "ENVELOPE EDITOR", &kPartialEnvelopesPage},
    {"fTEF<>", "TEF", "TABLE EDITING FUNCTIONS", &kTableEditingFunctionsPage},
}};

}  // namespace

std::span<const ModuleScreen> VortaScreens() { return kVortaScreens; }
