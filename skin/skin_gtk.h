// Skin n as the look of the program's windows: its CSS given to GTK.
#pragma once

#include <string>

namespace qz {

// The style sheet of held skin n (1..33): the skin's palette, and its face
// texture as a PNG inside a data: URL, so nothing goes to disk. Empty for any
// other number or a skin that does not parse.
std::string skin_style_sheet(int number);

// Gives the sheet to the default display for every window carrying
// kSkinnedWindowClass; returns the number of parse errors GTK reported.
int install_style_sheet(const std::string& css);

// The skin step of the Linux edition: skin n's sheet installed, nothing
// written anywhere. No skin leaves the desktop's own look.
void apply_skin(int number);

}  // namespace qz
