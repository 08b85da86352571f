#pragma once
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr size_t kNameEntryChars = 8;

// Numeric entry on the keypad page. The value is shown in the status field
// (column, row) with maxDigits + 1 characters. True when a value within
// minimum..maximum was confirmed with RETURN; ESC leaves it unchanged.
bool ValueEntry(int32_t& value, int maxDigits, int32_t maximum, int32_t minimum, int column, int row,
                std::string_view label);

// The extension a saved name of the category gets (".WAV", ".WT", ...).
std::string_view CategoryExtension(int category);

// Name entry for saving: up to 8 keypad characters, shown as "DISK:". With
// the "W" keypad the category's extension is appended and a name that
// exists in the category's folder is refused with "FILE ALREADY EXISTS".
bool NameEntry(std::string& name, int fileKind, char keypadKind);
