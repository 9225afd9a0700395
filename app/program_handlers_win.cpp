// The Win32 side of the handlers: the clipboard, the message boxes and the shell.
#include "program_handlers_win.h"

#include "shell_open_win.h"

namespace qz {

void ProgramHandlers::run(Handler handler, const EventArgs& args)
{
    HandlerPorts ports{*window_, transport_, page_text_, clipboard_, notices_, skin_step_, shell_open};
    run_handler(handler, args, ports);
}

}  // namespace qz
