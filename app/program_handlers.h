// The dispatch from the form's handler names to the search, the result
// actions, the skin step and the shell, shared by both toolkits.
#pragma once

#include "action_ports.h"
#include "controls.h"
#include "event_sink.h"
#include "form.h"
#include "search_handlers.h"

namespace qz {

// The main window as the handlers see it.
class HandlerWindow {
public:
    virtual ~HandlerWindow() = default;
    virtual AccountBox& account() = 0;
    virtual ResultList& results() = 0;
    // Ends the fill a search starts by emptying the list.
    virtual void end_fill() = 0;
    // Called only for the actions' handlers, which run once the window is built.
    virtual ActionControls action_controls() = 0;
    virtual void focus(Control control) = 0;
};

// Everything one handler may touch; all borrowed.
struct HandlerPorts {
    HandlerWindow& window;
    PageTransport& transport;
    Text& page_text;  // the program's one page text
    Clipboard& clipboard;
    Notices& notices;
    void (*skin_step)(int skin_number);
    void (*shell_open)(const char* address);
};

// Runs the handler the form bound to an event.
void run_handler(Handler handler, const EventArgs& args, HandlerPorts& ports);

}  // namespace qz
