#pragma once
#include <string>

#include "ui/page.h"

// The utility module: "SYSTEM PARAMETER SETTINGS" (0.0.0) and "USER PATH
// SETTINGS" (1.0.0), navigated by "fPARAM<>" and "fPATHS<>"; it opens on
// the page that was open when it was last left. Returns on "iMENU<>".
void RunUtilityPages();

extern const Page kSystemParametersPage;
extern const Page kUserPathsPage;

inline constexpr int kParameterLines = 8;

// What line k of the parameter page shows: the value text, and the range.
std::string ParameterValueText(int line);
std::string ParameterRangeText(int line);
