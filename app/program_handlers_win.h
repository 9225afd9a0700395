// The handlers the form binds, with the Win32 clipboard, message boxes and shell.
#pragma once

#include "main_window_win.h"
#include "program_handlers.h"
#include "shell_open_win.h"
#include "win32_clipboard.h"
#include "win32_notices.h"

namespace qz {

struct Win32HandlerPorts {
    static constexpr auto shell_open = qz::shell_open;
    Win32Clipboard clipboard;
    MessageBoxNotices notices;
    void prepare(Handler, MainWindow&) {}
};

// The program's own skin step is run_skin_step.
using ProgramHandlers = BasicProgramHandlers<MainWindow, Win32HandlerPorts>;

}  // namespace qz
