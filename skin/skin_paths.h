// Where the skin library goes: the run directory and the library path.
#pragma once

#include <string_view>

#include "text.h"

namespace qz {

// The library's file name, and the function the program calls in it.
inline constexpr char kSkinLibraryName[] = "SkinH_EL.dll";
inline constexpr char kSkinAttachName[] = "SkinH_AttachRes";

// The program's path cut before its last backslash. A byte of 0x80 or above
// takes the next byte with it, so the trail byte of a two-byte character is
// never taken for a backslash. No backslash: the empty text.
Text run_directory(std::string_view program_path);

// The run directory, a backslash and the library's file name.
Text library_path(std::string_view run_dir);

// Where the library image is written before it is moved into place.
Text library_part_path(std::string_view run_dir);

}  // namespace qz
