// Reading the module address of the result list's selected row.
#pragma once

#include "controls.h"
#include "text.h"

namespace qz {

// The column of the result list that holds the module address.
inline constexpr int kAddressColumn = 1;

// The first read's buffer size; it doubles while the text may not have fit.
inline constexpr int kFirstAddressBuffer = 512;

// Column 1 of the selected row, read whole however long; the empty text when
// no row is selected.
Text read_selected_address(ResultCells& list);

}  // namespace qz
