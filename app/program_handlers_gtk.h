// The handlers the form binds, run for the GTK main window's events.
#pragma once

#include "clipboard_gtk.h"
#include "main_window_gtk.h"
#include "notices_gtk.h"
#include "program_handlers.h"

namespace qz {

class ProgramHandlers final : public EventSink {
public:
    // The skin step of the created handler: the program's own is
    // apply_skin; tests and benchmarks may put something else in its place.
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
    GdkClipboardPort clipboard_;
    DialogNotices notices_;
};

}  // namespace qz
