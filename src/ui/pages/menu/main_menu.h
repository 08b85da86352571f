#pragma once
#include <cstdint>

// The main menu (state 5): system information, the module buttons, resize,
// web update and the leave buttons. Runs until the state word changes.
void RunMainMenu();

// "LOCAL TIME:" in field (1, 0): drawn when forced or when the stamp
// (seconds x 1000 + milliseconds) moved by more than 400 since the last
// drawing. The first call seeds the random generator.
void ShowLocalTime(bool force);

// The update notice of the menu's first drawing: "UPDATE COMPLETE" once
// after an installed update, "UPDATE AVAILABLE" while one is available and
// updates are looked up on boot. Returns the message to show (0 = none).
uint8_t PendingUpdateNotice();
