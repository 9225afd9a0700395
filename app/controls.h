// What the result actions may ask of the main window's controls; no Win32 here.
#pragma once

#include "text.h"

namespace qz {

// The result list's selection and cells, as the actions read them.
class ResultCells {
public:
    virtual ~ResultCells() = default;
    // The first selected row, searching from before row 0; -1 when none
    // (LVM_GETNEXTITEM, start -1, LVNI_SELECTED).
    virtual int selected_row() = 0;
    // Copies at most `size` - 1 bytes of the cell's text and a zero into
    // `buffer` and returns the length the list reports (LVM_GETITEMTEXTA).
    // The caller grows its buffer and asks again while the answer is at least
    // `size` - 1. Row -1 leaves the buffer untouched and returns 0.
    virtual int read_cell(int row, int column, char* buffer, int size) = 0;
};

// The preview view: an embedded browser whose address property navigates.
class PreviewView {
public:
    virtual ~PreviewView() = default;
    // Stores `address` (bytes of the ANSI code page) and navigates to it at
    // once, with no flags, target frame, post data or headers; the same
    // address again navigates again, and the empty address is passed on.
    virtual void set_address(const char* address) = 0;
    // A copy of the last address set, owned by the caller; absent before the
    // first. Lets tests see what the actions handed over.
    virtual Text address() = 0;
};

// The popup of the form's menu "菜单", owned by the main window.
class ContextMenu {
public:
    virtual ~ContextMenu() = default;
    // The mouse pointer in screen coordinates (GetCursorPos).
    virtual void cursor(int& x, int& y) = 0;
    // Builds the popup afresh from the form ("查看效果", then "复制地址"),
    // shows it with its top-left corner at the screen point (TrackPopupMenu
    // with TPM_RIGHTBUTTON only) and destroys it when it closes. A chosen item
    // comes back through the window as that item's selected event, which the
    // window's bindings deliver after this returns; a dismissed menu raises
    // nothing.
    virtual void popup_at(int x, int y) = 0;
};

// The window's controls that the result actions use; the window owns them
// and they live as long as it does.
struct ActionControls {
    ResultCells& list;
    PreviewView& preview;
    ContextMenu& menu;
};

}  // namespace qz
