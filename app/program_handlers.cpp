// From the form's handler names to the search, the result actions and the shell.
#include "program_handlers.h"

#include "result_actions.h"

namespace qz {

void run_handler(Handler handler, const EventArgs& args, HandlerPorts& ports)
{
    HandlerWindow& window = ports.window;
    SearchContext search{window.account(), window.results(), ports.transport, ports.page_text};
    switch (handler) {
    case Handler::none: break;
    case Handler::created:
        ports.skin_step(kInitialSkin);
        ports.shell_open(kPublisherHomePage);
        window.focus(Control::search);
        break;
    case Handler::destroying: ports.shell_open(kPublisherHomePage); break;
    case Handler::search:
        run_search(search);
        window.end_fill();
        break;
    case Handler::account_key:
        on_account_key(search, args.key_code, args.modifiers);
        window.end_fill();
        break;
    case Handler::account_focus: on_account_focus(window.account()); break;
    case Handler::context_menu: {
        ActionControls controls = window.action_controls();
        pop_up_context_menu(controls);
        break;
    }
    case Handler::preview: {
        ActionControls controls = window.action_controls();
        preview_selected(controls);
        break;
    }
    case Handler::copy: {
        ActionControls controls = window.action_controls();
        copy_selected(controls, ports.clipboard, ports.notices);
        break;
    }
    }
}

}  // namespace qz
