// qzflash for Linux: start-up, the main loop, the exit routine and the fatal error report.
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "curl_transport.h"
#include "exit_routine.h"
#include "form.h"
#include "main_window_gtk.h"
#include "notices_gtk.h"
#include "program_handlers_gtk.h"
#include "skin_gtk.h"

namespace {

// The program-wide state: the page text and the internet handle (inside the
// transport). The skin is a style sheet GTK keeps; nothing to release.
qz::Text g_page_text;
std::optional<qz::CurlTransport> g_transport;  // made in main, ended by end_of_program

void end_of_program() { g_transport.reset(); }

void exit_routine() { qz::release_page_text(g_page_text); }

void report_fatal(const char* message)
{
    const std::string text = qz::fatal_report_text(message);
    qz::run_message_dialog(nullptr, GTK_MESSAGE_ERROR, qz::kFatalCaption, text.c_str());
    // Neither the exit routine nor the destroy handler: the process ends here,
    // with the status -1 gives on Windows.
    std::_Exit(255);
}

}  // namespace

int main()
{
    if (!gtk_init_check()) {
        std::fputs("qzflash: cannot open the display\n", stderr);
        return 255;
    }
    qz::set_fatal_handler(report_fatal);
    g_transport.emplace();
    // Registered in this order so that the exit routine runs first at the
    // end, then the transport's handles go.
    std::atexit(end_of_program);
    std::atexit(exit_routine);

    qz::ProgramHandlers handlers(*g_transport, g_page_text, qz::apply_skin);
    qz::MainWindow window(handlers);
    handlers.attach(window);
    if (!window.build())
        qz::fatal(qz::kBuildFailedMessage);
    window.show();
    window.run();
    return 0;
}
