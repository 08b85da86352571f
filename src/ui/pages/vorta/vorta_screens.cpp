#include "ui/pages/vorta/vorta_screens.h"

#include <array>

#include "ui/pages/shared/file_operations_page.h"
#include "ui/pages/shared/system_settings_page.h"
#include "ui/pages/vorta/table_viewer_page.h"

namespace {

// Screens whose own content is still to come: title, number and the
// navigation row.
constexpr Page kSliceEditorPage = PlaceholderPage("SLICE EDITOR", "3.0.0");
constexpr Page kTableAssemblingPage = PlaceholderPage("TABLE ASSEMBLING", "4.0.0");
constexpr Page kPartialEnvelopesPage = PlaceholderPage("PARTIAL ENVELOPES", "5.0.0");
constexpr Page kTableEditingFunctionsPage = PlaceholderPage("TABLE EDITING FUNCTIONS", "6.0.0");

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
