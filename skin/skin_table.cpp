// The skin table: skin numbers 1 to 33 and the copy handed to the library.
#include "skin_table.h"

namespace qz {

ByteSet select_skin(int number, SkinLookup lookup)
{
    ByteSet copy;
    if (number < 1 || number > kSkinCount)
        return copy;
    const HeldBytes held = lookup(number);
    copy.append(held.data, held.size);
    return copy;
}

}  // namespace qz
