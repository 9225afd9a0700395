// The account box over a GtkEntry: typed UTF-8 in, the service's GBK bytes out.
#include "account_box_gtk.h"

#include <string>

#include "gbk.h"

namespace qz {

Text GtkAccountBox::text()
{
    const char* typed = gtk_editable_get_text(GTK_EDITABLE(entry_));
    return Text(account_bytes_from_utf8(typed ? typed : ""));
}

void GtkAccountBox::set_text(const char* text)
{
    const std::string shown = display_text_from_gbk(text ? text : "");
    gtk_editable_set_text(GTK_EDITABLE(entry_), shown.c_str());
}

}  // namespace qz
