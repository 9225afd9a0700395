// The skin library image and the skins held among the program's resources.
#pragma once

#include <string_view>

#include "skin_table.h"

namespace qz {

// The padded library image; empty when the program holds none.
std::string_view held_skin_library();

// Skin file n among the resources (the lookup select_skin takes).
HeldBytes held_skin(int number);

}  // namespace qz
