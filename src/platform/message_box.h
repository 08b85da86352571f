#pragma once
#include <string>

// Boxes shown before (or instead of) the program's own screen. They work
// without a window; the text also goes to standard error.
void ShowErrorBox(const std::string& caption, const std::string& text, int colourMode);

// OK / Cancel question; true for OK. Without a display the question is asked
// on the terminal when one is attached, otherwise it counts as cancelled.
bool AskOkCancel(const std::string& caption, const std::string& text);
