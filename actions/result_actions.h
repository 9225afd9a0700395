// The result actions: the context menu popup, the preview and the copy.
//
// For the main window: bind the result list's right-button-pressed event to
// pop_up_context_menu, its double-click and the selected event of "查看效果"
// to preview_selected, and that of "复制地址" to copy_selected. With
// TPM_RIGHTBUTTON alone the chosen item reaches the owner window as
// WM_COMMAND (lParam 0) after the popup has closed; that is its selected event.
#pragma once

#include "action_ports.h"
#include "controls.h"

namespace qz {

// Where the context menu opens: 3 pixels right of and below the pointer.
inline constexpr int kMenuOffset = 3;

// Right button pressed over the list's rows: pops up the context menu at the
// pointer plus 3 pixels each way. Selects nothing and reads nothing.
void pop_up_context_menu(ActionControls& controls);

// "查看效果" and a double-click on the list: the selected row's address (the
// empty text for none) goes to the preview view.
void preview_selected(ActionControls& controls);

// "复制地址": the selected row's address goes on the clipboard, then a box says
// whether it got there. With nothing to copy (no row selected, or an empty
// address) the clipboard is left alone and no box is shown.
void copy_selected(ActionControls& controls, Clipboard& clipboard, Notices& notices);

}  // namespace qz
