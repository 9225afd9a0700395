// The desktop clipboard through GDK.
#include "clipboard_gtk.h"

#include <gtk/gtk.h>

#include <string>

#include "gbk.h"

namespace qz {

CopyOutcome GdkClipboardPort::put_text(std::string_view text)
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return CopyOutcome::clipboard_busy;
    GdkClipboard* clipboard = gdk_display_get_clipboard(display);
    const std::string utf8 = clipboard_text_from_gbk(text);
    gdk_clipboard_set_text(clipboard, utf8.c_str());
    // The clipboard is ours once the display took the claim; the text is
    // served from here for as long as nobody replaces it.
    return gdk_clipboard_is_local(clipboard) ? CopyOutcome::copied : CopyOutcome::rejected;
}

}  // namespace qz
