// The skin table: skin numbers 1 to 33 and the copy handed to the library.
#pragma once

#include <cstddef>

#include "text.h"

namespace qz {

inline constexpr int kSkinCount = 33;

// The bytes of one held skin file; borrowed from the program's data.
struct HeldBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// Finds skin file n (1..kSkinCount) among the program's data.
using SkinLookup = HeldBytes (*)(int number);

// Skin n as a fresh buffer for n from 1 to kSkinCount, else the empty byte
// set (no buffer). The copy comes from checked memory: none ends the program.
ByteSet select_skin(int number, SkinLookup lookup);

}  // namespace qz
