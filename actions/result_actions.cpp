// The result actions: the context menu popup, the preview and the copy.
#include "result_actions.h"

#include "selected_address.h"

namespace qz {

void pop_up_context_menu(ActionControls& controls)
{
    int x = 0;
    int y = 0;
    controls.menu.cursor(x, y);
    controls.menu.popup_at(x + kMenuOffset, y + kMenuOffset);
}

void preview_selected(ActionControls& controls)
{
    const Text address = read_selected_address(controls.list);
    controls.preview.set_address(address.c_str());
}

void copy_selected(ActionControls& controls, Clipboard& clipboard, Notices& notices)
{
    Text address = read_selected_address(controls.list);
    // Emptying the user's clipboard for nothing would lose what they had.
    if (address.size() == 0)
        return;
    const CopyOutcome outcome = clipboard.put_text(address.view());
    address.reset();
    notices.show(outcome == CopyOutcome::copied ? Notice::copied : Notice::copy_failed);
}

}  // namespace qz
