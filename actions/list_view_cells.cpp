// The result list's selection and cells, read from a SysListView32 by its LVM_ messages.
#include "list_view_cells.h"

#include <commctrl.h>

namespace qz {

int ListViewCells::selected_row()
{
    return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int ListViewCells::read_cell(int row, int column, char* buffer, int size)
{
    if (row < 0)
        return 0;
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = size;
    // The ANSI message keeps the address in bytes of the ANSI code page.
    return static_cast<int>(
        SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
}

}  // namespace qz
