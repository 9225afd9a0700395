// The result list and the account box: data texts stay bytes through the ANSI messages.
#include "list_view_win.h"

#include <commctrl.h>

namespace qz {

int ListViewRows::row_count() { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

int ListViewRows::insert_row(int index, const char* text)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);  // the list copies it
    return static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListViewRows::set_cell(int row, int column, const char* text)
{
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListViewRows::remove_all()
{
    // Each insert would otherwise repaint the list: 100 rows a second
    // instead of 100,000.
    if (!filling_) {
        SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
        filling_ = true;
    }
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
}

void ListViewRows::end_fill()
{
    if (!filling_)
        return;
    filling_ = false;
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

Text EditAccountBox::text()
{
    int length = GetWindowTextLengthA(edit_);
    auto* buffer = static_cast<char*>(checked_alloc(static_cast<std::size_t>(length) + 1));
    int got = GetWindowTextA(edit_, buffer, length + 1);
    buffer[got] = '\0';
    return Text::adopt(buffer, static_cast<std::size_t>(got));
}

void EditAccountBox::set_text(const char* text) { SetWindowTextA(edit_, text); }

}  // namespace qz
