#pragma once
#include <span>
#include <string>

// The commands of the command-line tool; each takes the arguments after its
// name and returns the process's exit code.
int RunInfo(std::span<const std::string> args);
int RunSort(std::span<const std::string> args);
int RunConvert(std::span<const std::string> args);
int RunAnalyse(std::span<const std::string> args);
int RunSloop(std::span<const std::string> args);
int RunXmrph(std::span<const std::string> args);
int RunXform(std::span<const std::string> args);
int RunImport(std::span<const std::string> args);
