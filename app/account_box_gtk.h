// The account box over a GtkEntry: typed UTF-8 in, the service's GBK bytes out.
#pragma once

#include <gtk/gtk.h>

#include "search_handlers.h"

namespace qz {

// Borrows the entry, which the main window owns.
class GtkAccountBox final : public AccountBox {
public:
    void attach(GtkWidget* entry) { entry_ = entry; }
    // The typed text as GBK bytes; a character GBK lacks goes as %XX of its
    // UTF-8 bytes.
    Text text() override;
    // `text` is bytes of the service's code page, shown as UTF-8.
    void set_text(const char* text) override;

private:
    GtkWidget* entry_ = nullptr;
};

}  // namespace qz
