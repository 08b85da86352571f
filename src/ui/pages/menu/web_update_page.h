#pragma once

// "WEB UPDATE", page 0.1.0: the interactive update with its log, then a
// 4-second pause before the main menu returns (and restarts the program
// when an update was installed).
void RunWebUpdatePage();
