// The handlers the form binds, run for the main window's events.
#pragma once

#include "main_window_win.h"
#include "program_handlers.h"
#include "win32_clipboard.h"
#include "win32_notices.h"

namespace qz {

class ProgramHandlers final : public EventSink {
public:
    // The skin step of the created handler: the program's own is
    // run_skin_step; tests may put a recorder in its place.
    using SkinStep = void (*)(int skin_number);
    // Borrows the transport and the page text, which live for the whole run.
    ProgramHandlers(PageTransport& transport, Text& page_text, SkinStep skin_step)
        : transport_(transport), page_text_(page_text), skin_step_(skin_step)
    {}
    // The window the handlers act on; set before it is built.
    void attach(MainWindow& window) { window_ = &window; }
    void run(Handler handler, const EventArgs& args) override;

private:
    PageTransport& transport_;
    Text& page_text_;
    SkinStep skin_step_;
    MainWindow* window_ = nullptr;  // not owned
    Win32Clipboard clipboard_;
    MessageBoxNotices notices_;
};

}  // namespace qz
