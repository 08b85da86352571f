#pragma once
#include <cstdint>
#include <string_view>

// Yes/no question on F11 (yes) and F12 (no) with a message; every other key
// and click is ignored because its button is empty.
bool Confirm(std::string_view yesLabel, std::string_view noLabel, uint8_t message);
