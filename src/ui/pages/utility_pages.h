#pragma once
#include <cstdint>
#include <string>

// The utility module's two pages. Each runs until the user leaves it and
// returns the next selector: the other page, or 65535 for "iMENU<>".
inline constexpr uint16_t kParametersSelector = 0;
inline constexpr uint16_t kUserPathsSelector = 1;

// The page that was open when the utility was last left (0 after start).
extern uint16_t gUtilitySelector;
// The selected line of each page, kept for the run.
extern int gParameterLine;
extern int gUserPathLine;

inline constexpr int kParameterLines = 8;

// "SYSTEM PARAMETER SETTINGS", page 0.0.0.
uint16_t RunSystemParametersPage();

// "USER PATH SETTINGS", page 1.0.0.
uint16_t RunUserPathsPage();

// What line k of the parameter page shows: the value text, and the range.
std::string ParameterValueText(int line);
std::string ParameterRangeText(int line);

// The navigation row of both pages, the open page's button left out.
void SetUtilityNavigation(uint16_t current);
// A navigation press: the next selector, or current when it was none.
uint16_t FollowUtilityNavigation(uint16_t current, uint8_t code);
