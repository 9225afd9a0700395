// Where the skin library goes: the run directory and the library path.
#include "skin_paths.h"

namespace qz {

Text run_directory(std::string_view program_path)
{
    std::size_t cut = 0;
    bool found = false;
    for (std::size_t i = 0; i < program_path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(program_path[i]);
        if (byte >= 0x80) {
            ++i;  // the second half of a two-byte character, whatever it is
        } else if (byte == '\\') {
            cut = i;
            found = true;
        }
    }
    return found ? Text(program_path.substr(0, cut)) : Text(std::string_view());
}

Text library_path(std::string_view run_dir) { return text_concat({run_dir, "\\", kSkinLibraryName}); }

Text library_part_path(std::string_view run_dir) { return text_concat({run_dir, "\\", kSkinLibraryName, ".part"}); }

}  // namespace qz
