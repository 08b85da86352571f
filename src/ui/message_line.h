#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/message_codes.h"
#include "core/message_texts.h"

inline constexpr const char* kMessagePrefix = "MESSAGE: ";
inline constexpr size_t kMessageLineChars = 159;  // a 160-character buffer

// "MESSAGE: " + text + appended, cut to the line's buffer.
std::string ComposeMessage(int number, std::string_view appended);

// Clears the line; a number above 0 is shown. The number byte is then 0:
// screens use it both as the message to show and as a loop flag.
void ShowMessage(uint8_t& number, std::string_view appended = {});
void ShowMessageText(std::string_view text);
void ClearMessageLine();
