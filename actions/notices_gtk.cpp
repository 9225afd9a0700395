// The copy action's boxes, and the fatal report's, as GTK message dialogs.
#include "notices_gtk.h"

#include "owned.h"
#include "skin_css.h"

namespace qz {
namespace {

constexpr char kInfoCaption[] = "信息：";

void quit_loop(GtkDialog*, int, gpointer loop) { g_main_loop_quit(static_cast<GMainLoop*>(loop)); }

}  // namespace

void run_message_dialog(GtkWindow* parent, GtkMessageType type, const char* caption, const char* text)
{
    // GTK 4.8 has no GtkAlertDialog yet; the message dialog is its box.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* dialog = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", text);
    G_GNUC_END_IGNORE_DEPRECATIONS
    // Ours until the end: Esc or the close button may destroy it inside the loop.
    Owned<GtkWidget*, g_object_unref> held(GTK_WIDGET(g_object_ref(dialog)));
    gtk_window_set_title(GTK_WINDOW(dialog), caption);
    gtk_widget_add_css_class(dialog, kSkinnedWindowClass);
    Owned<GMainLoop*, g_main_loop_unref> loop(g_main_loop_new(nullptr, FALSE));
    // Closing by the window's own close button answers as well.
    g_signal_connect(dialog, "response", G_CALLBACK(quit_loop), loop.get());
    gtk_window_present(GTK_WINDOW(dialog));
    g_main_loop_run(loop.get());
    gtk_window_destroy(GTK_WINDOW(dialog));
}

void DialogNotices::show(Notice notice)
{
    const bool copied = notice == Notice::copied;
    run_message_dialog(window_, copied ? GTK_MESSAGE_INFO : GTK_MESSAGE_WARNING, kInfoCaption,
                       copied ? "复制成功!" : "复制失败!");
}

}  // namespace qz
