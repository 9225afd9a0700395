// The result list's selection and cells, read from a SysListView32 by its LVM_ messages.
#pragma once

#include <windows.h>

#include "controls.h"

namespace qz {

class ListViewCells final : public ResultCells {
public:
    explicit ListViewCells(HWND list) : list_(list) {}
    int selected_row() override;
    int read_cell(int row, int column, char* buffer, int size) override;

private:
    HWND list_;  // not owned: the main window's list
};

}  // namespace qz
