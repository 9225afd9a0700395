// Writing the skin library beside the program when nothing of its name is there.
#pragma once

#include <string_view>

namespace qz {

// The file system as installation uses it.
class InstallFiles {
public:
    virtual ~InstallFiles() = default;
    // Whether anything (file or directory) has this name.
    virtual bool exists(const char* path) = 0;
    // Creates or replaces the file and writes all of bytes; false when any
    // part of that failed (the file may then hold some of them).
    virtual bool write_whole(const char* path, std::string_view bytes) = 0;
    // Renames from to to, never over something already named to.
    virtual bool move_new(const char* from, const char* to) = 0;
    virtual void remove(const char* path) = 0;
    virtual void set_hidden_only(const char* path) = 0;
};

// When nothing is at the library path: writes the image to a part file in the
// run directory, moves it into place only when every byte is written, and
// makes it hidden. A failed write leaves nothing of the library's name, so
// the next start tries again instead of finding a truncated library.
void install_skin_library(std::string_view run_dir, std::string_view image, InstallFiles& files);

}  // namespace qz
