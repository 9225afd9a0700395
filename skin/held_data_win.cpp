// The skin library image and the skins held among the program's resources.
#include "held_data_win.h"

#include <windows.h>

#include "skin_resources.h"

namespace qz {
namespace {

// Resources of the program's own file live as long as the process.
HeldBytes held_resource(int id)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return {};
    return {static_cast<const unsigned char*>(bytes), SizeofResource(nullptr, found)};
}

}  // namespace

std::string_view held_skin_library()
{
    const HeldBytes image = held_resource(QZ_RES_SKIN_LIBRARY);
    return {reinterpret_cast<const char*>(image.data), image.size};
}

HeldBytes held_skin(int number) { return held_resource(QZ_RES_SKIN_BASE + number); }

}  // namespace qz
