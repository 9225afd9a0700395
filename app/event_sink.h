// What the main window hands to the handlers for each event the form binds.
#pragma once

#include "form.h"

namespace qz {

struct EventArgs {
    int key_code = 0;
    int x = 0, y = 0;   // in the control's client area
    int modifiers = 0;  // kCtrl | kShift | kAlt
};

// Runs the handler the form bound to an event.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void run(Handler handler, const EventArgs& args) = 0;
};

}  // namespace qz
