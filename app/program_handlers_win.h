// The handlers the form binds, run for the main window's events.
#pragma once

#include "main_window_win.h"
#include "search_handlers.h"
#include "win32_clipboard.h"
#include "win32_notices.h"

namespace qz {

class ProgramHandlers final : public EventSink {
public:
    // Borrows the transport and the page text, which live for the whole run.
    ProgramHandlers(PageTransport& transport, Text& page_text) : transport_(transport), page_text_(page_text) {}
    // The window the handlers act on; set before it is built.
    void attach(MainWindow& window) { window_ = &window; }
    void run(Handler handler, const EventArgs& args) override;

private:
    void created();

    PageTransport& transport_;
    Text& page_text_;
    MainWindow* window_ = nullptr;  // not owned
    Win32Clipboard clipboard_;
    MessageBoxNotices notices_;
};

}  // namespace qz
