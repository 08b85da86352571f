#pragma once
#include <array>
#include <string>
#include <string_view>

#include "platform/frame_buffer.h"

// The two rows of twelve buttons at the bottom of every page.
inline constexpr int kButtonColumns = 12;
inline constexpr int kButtonRows = 2;
inline constexpr std::array<int, kButtonColumns> kButtonLeft = {1, 86, 171, 256, 343, 428,
                                                                513, 598, 685, 770, 855, 940};
inline constexpr std::array<int, kButtonRows> kButtonTop = {708, 738};
inline constexpr size_t kButtonLabelChars = 15;

// Stores and draws a label, or clears the button when the label is empty.
// The first character is the kind letter, not shown: "f" function, "i"
// framed navigation, "p" play (inverted), "s" shaded; a label starting with
// any other character is shown whole as plain text.
void SetButton(int column, int row, std::string_view label);

// All 24 buttons empty, pushed once.
void ClearButtons();

const std::string& ButtonLabel(int column, int row);

// 'f', 'i', 'p', 's', or 0 for a plain-text label (or none).
char ButtonKind(const std::string& label);

// The shown part of a label.
std::string_view ButtonText(const std::string& label);

// Redraws a stored label on its face in the given ink (press feedback,
// play marking); leaves the colours of the button's kind selected.
void DrawButtonLabel(int column, int row, Colour ink);
