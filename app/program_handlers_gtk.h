// The handlers the form binds, with the GTK clipboard, dialogs and opener.
#pragma once

#include "clipboard_gtk.h"
#include "main_window_gtk.h"
#include "notices_gtk.h"
#include "program_handlers.h"
#include "shell_open_gtk.h"

namespace qz {

struct GtkHandlerPorts {
    static constexpr auto shell_open = qz::shell_open;
    GdkClipboardPort clipboard;
    DialogNotices notices;
    // The copy's boxes are modal over the window, which exists only once built.
    void prepare(Handler handler, MainWindow& window)
    {
        if (handler == Handler::copy)
            notices.attach(window.window());
    }
};

// The program's own skin step is apply_skin.
using ProgramHandlers = BasicProgramHandlers<MainWindow, GtkHandlerPorts>;

}  // namespace qz
