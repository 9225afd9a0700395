// The GTK side of the handlers: the clipboard, the dialogs and the opener.
#include "program_handlers_gtk.h"

#include "shell_open_gtk.h"

namespace qz {

void ProgramHandlers::run(Handler handler, const EventArgs& args)
{
    // The copy's boxes are modal over the window, which exists only once built.
    if (handler == Handler::copy)
        notices_.attach(window_->window());
    HandlerPorts ports{*window_, transport_, page_text_, clipboard_, notices_, skin_step_, shell_open};
    run_handler(handler, args, ports);
}

}  // namespace qz
