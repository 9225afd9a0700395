// The part of the output folder's rules that is the same on every system.
#include "output_folder.h"

namespace qz::cli {

std::string beside_name(const std::string& name, const std::string& sha256)
{
    std::size_t slash = name.rfind('/');
    std::size_t leaf = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot <= leaf || name.size() - dot > 16)
        dot = name.size();
    return name.substr(0, dot) + "%-" + sha256.substr(0, 12) + name.substr(dot);
}

}  // namespace qz::cli
