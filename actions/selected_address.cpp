// Reading the module address of the result list's selected row.
#include "selected_address.h"

#include <climits>
#include <cstdlib>

namespace qz {

Text read_selected_address(ResultCells& list)
{
    const int row = list.selected_row();
    if (row < 0)
        return Text();
    int size = kFirstAddressBuffer;
    char* buffer = static_cast<char*>(checked_alloc(static_cast<std::size_t>(size)));
    buffer[0] = '\0';
    for (;;) {
        int length = list.read_cell(row, kAddressColumn, buffer, size);
        // A list that claims more than it could copy is held to what fits.
        if (length < 0)
            length = 0;
        if (length > size - 1)
            length = size - 1;
        if (length < size - 1 || size > INT_MAX / 2) {
            buffer[length] = '\0';
            return Text::adopt(buffer, static_cast<std::size_t>(length));
        }
        size *= 2;
        buffer = static_cast<char*>(checked_realloc(buffer, static_cast<std::size_t>(size)));
        buffer[0] = '\0';
    }
}

}  // namespace qz
