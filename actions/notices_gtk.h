// The copy action's boxes, and the fatal report's, as GTK message dialogs.
#pragma once

#include <gtk/gtk.h>

#include "action_ports.h"

namespace qz {

// Shows a modal message dialog with a caption and a text and returns when it
// has been dismissed. With a parent it blocks that window, as a task-modal
// box does on Windows; without one it stands alone.
void run_message_dialog(GtkWindow* parent, GtkMessageType type, const char* caption, const char* text);

// The copy confirmations, modal over the main window.
class DialogNotices final : public Notices {
public:
    // Borrows the window, which outlives the notices' use.
    void attach(GtkWindow* window) { window_ = window; }
    void show(Notice notice) override;

private:
    GtkWindow* window_ = nullptr;
};

}  // namespace qz
