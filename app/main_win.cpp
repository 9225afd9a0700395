// qzflash: start-up, the message loop, the exit routine and the fatal error report.
#include <windows.h>
#include <ole2.h>

#include <cstdlib>

#include "exit_routine.h"
#include "form.h"
#include "main_window_win.h"
#include "program_handlers_win.h"
#include "skin_step_win.h"
#include "wininet_transport.h"

namespace {

// The program-wide state: the page text and the internet handle (inside the
// transport); the skin library's binding lives in the skin step.
qz::Text g_page_text;
qz::WinInetTransport g_transport;

void release_libraries_and_ole()
{
    qz::release_skin_library();
    OleUninitialize();
}

void end_of_program()
{
    g_transport.close_session();
    release_libraries_and_ole();
}

void exit_routine() { qz::release_page_text(g_page_text); }

void report_fatal(const char* message)
{
    std::wstring text = qz::widen(qz::fatal_report_text(message).c_str());
    MessageBoxW(nullptr, text.c_str(), qz::widen(qz::kFatalCaption).c_str(), MB_ICONERROR);
    release_libraries_and_ole();
    // Neither the exit routine nor the destroy handler: the process ends here.
    ExitProcess(static_cast<UINT>(-1));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    qz::set_fatal_handler(report_fatal);
    OleInitialize(nullptr);
    // Registered in this order so that the exit routine runs first at the
    // end, then the handles, libraries and OLE go.
    std::atexit(end_of_program);
    std::atexit(exit_routine);

    qz::ProgramHandlers handlers(g_transport, g_page_text, qz::run_skin_step);
    qz::MainWindow window(handlers);
    handlers.attach(window);
    if (!window.build(instance))
        qz::fatal(qz::kBuildFailedMessage);
    window.show();
    qz::run_message_loop(window);
    return 0;
}
