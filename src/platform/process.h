#pragma once
#include <string>

// Ends the process at once with the given result, after flushing the
// standard streams.
[[noreturn]] void EndProcess(int result);

enum class PowerCommand { Reboot, PowerOff };

// Fire and forget: the result is ignored.
void RunPowerCommand(PowerCommand command);

// Replaces this process with a fresh start of the program file.
void RestartProgram(const std::string& programPath);
