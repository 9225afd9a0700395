// The account label: a child window that paints its own text.
#pragma once

#include <windows.h>

namespace qz {

inline constexpr wchar_t kLabelClass[] = L"QzFlashLabel";

// Registers the label's class once per process; false when it cannot.
bool register_label_class(HINSTANCE instance);

}  // namespace qz
