// From the form's handler names to the search, the result actions and the opener.
#include "program_handlers_gtk.h"

#include "result_actions.h"
#include "shell_open_gtk.h"

namespace qz {

void ProgramHandlers::created()
{
    skin_step_(kInitialSkin);
    shell_open(kPublisherHomePage);
    window_->focus(Control::search);
}

void ProgramHandlers::run(Handler handler, const EventArgs& args)
{
    SearchContext search{window_->account(), window_->results(), transport_, page_text_};
    switch (handler) {
    case Handler::none: break;
    case Handler::created: created(); break;
    case Handler::destroying: shell_open(kPublisherHomePage); break;
    case Handler::search:
        run_search(search);
        window_->results().end_fill();
        break;
    case Handler::account_key:
        on_account_key(search, args.key_code, args.modifiers);
        window_->results().end_fill();
        break;
    case Handler::account_focus: on_account_focus(window_->account()); break;
    case Handler::context_menu: {
        ActionControls controls = window_->action_controls();
        pop_up_context_menu(controls);
        break;
    }
    case Handler::preview: {
        ActionControls controls = window_->action_controls();
        preview_selected(controls);
        break;
    }
    case Handler::copy: {
        ActionControls controls = window_->action_controls();
        notices_.attach(window_->window());
        copy_selected(controls, clipboard_, notices_);
        break;
    }
    }
}

}  // namespace qz
