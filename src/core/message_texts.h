#pragma once
#include <string_view>

#include "core/message_codes.h"

// The text of a message number; empty for 0, 38, 46 and numbers above 58.
// The message line shows them; the command-line tool prints them.
std::string_view MessageText(int number);
