// The result list and the account box as the search sees them, over their controls.
#pragma once

#include <windows.h>

#include "search_handlers.h"

namespace qz {

// Borrows the list's window, which the main window owns.
class ListViewRows final : public ResultList {
public:
    void attach(HWND list) { list_ = list; }
    HWND window() const { return list_; }

    int row_count() override;
    int insert_row(int index, const char* text) override;
    void set_cell(int row, int column, const char* text) override;
    // Emptying starts a fill: the list stops redrawing until end_fill().
    void remove_all() override;
    // Redraws once after a fill; does nothing when no fill began.
    void end_fill();

private:
    HWND list_ = nullptr;
    bool filling_ = false;
};

// The account box over an EDIT; borrows its window.
class EditAccountBox final : public AccountBox {
public:
    void attach(HWND edit) { edit_ = edit; }
    Text text() override;
    void set_text(const char* text) override;

private:
    HWND edit_ = nullptr;
};

}  // namespace qz
