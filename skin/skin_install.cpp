// Writing the skin library beside the program when nothing of its name is there.
#include "skin_install.h"

#include "skin_paths.h"

namespace qz {

void install_skin_library(std::string_view run_dir, std::string_view image, InstallFiles& files)
{
    const Text path = library_path(run_dir);
    if (files.exists(path.c_str()))
        return;  // whatever it is, it is the user's: never replaced or repaired
    const Text part = library_part_path(run_dir);
    if (!files.write_whole(part.c_str(), image) || !files.move_new(part.c_str(), path.c_str())) {
        files.remove(part.c_str());
        return;
    }
    files.set_hidden_only(path.c_str());
}

}  // namespace qz
