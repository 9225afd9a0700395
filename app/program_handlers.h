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

// The handlers the form binds, run for the main window's events. Window is
// the toolkit's main window; Platform holds the toolkit's clipboard and notices,
// names its shell open and readies its ports for a handler in prepare().
template <class Window, class Platform>
class BasicProgramHandlers final : public EventSink {
public:
    // The skin step of the created handler; tests and benchmarks may put
    // something else in the program's own place.
    using SkinStep = void (*)(int skin_number);
    // Borrows the transport and the page text, which live for the whole run.
    BasicProgramHandlers(PageTransport& transport, Text& page_text, SkinStep skin_step)
        : transport_(transport), page_text_(page_text), skin_step_(skin_step)
    {}
    // The window the handlers act on; set before it is built.
    void attach(Window& window) { window_ = &window; }
    void run(Handler handler, const EventArgs& args) override
    {
        platform_.prepare(handler, *window_);
        HandlerPorts ports{*window_,          transport_, page_text_,          platform_.clipboard,
                           platform_.notices, skin_step_, Platform::shell_open};
        run_handler(handler, args, ports);
    }

private:
    PageTransport& transport_;
    Text& page_text_;
    SkinStep skin_step_;
    Window* window_ = nullptr;  // not owned
    Platform platform_;
};

}  // namespace qz
