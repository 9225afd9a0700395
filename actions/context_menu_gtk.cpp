// The context menu as a GTK popover menu, built afresh for every press.
#include "context_menu_gtk.h"

#include <string>

#include "form.h"
#include "owned.h"

namespace qz {
namespace {

// Unparents a closed menu once the item's action has run: the action is
// found through the menu's place among the window's widgets.
gboolean drop_menu(gpointer popover)
{
    gtk_widget_unparent(GTK_WIDGET(popover));
    g_object_unref(popover);
    return G_SOURCE_REMOVE;
}

}  // namespace

void PopoverContextMenu::popup_at(int x, int y)
{
    close();
    Owned<GMenu*, g_object_unref> menu(g_menu_new());
    for (const MenuItemForm& item : kMenuItems) {
        const std::string action =
            std::string(kMenuActionGroup) + "." + kMenuAction + "(" + std::to_string(static_cast<int>(item.item)) + ")";
        g_menu_append(menu.get(), item.text, action.c_str());
    }
    popover_ = gtk_popover_menu_new_from_model(G_MENU_MODEL(menu.get()));
    gtk_widget_set_parent(popover_, anchor_);
    GtkPopover* popover = GTK_POPOVER(popover_);
    gtk_popover_set_has_arrow(popover, FALSE);
    gtk_popover_set_position(popover, GTK_POS_BOTTOM);
    // Start alignment puts the menu's left edge, not its middle, at the point.
    gtk_widget_set_halign(popover_, GTK_ALIGN_START);
    const GdkRectangle point{x, y, 1, 1};
    gtk_popover_set_pointing_to(popover, &point);
    gtk_popover_set_offset(popover, 0, -1);
    g_signal_connect(popover_, "closed", G_CALLBACK(on_closed), this);
    gtk_popover_popup(popover);
}

void PopoverContextMenu::on_closed(GtkPopover* popover, gpointer self)
{
    auto* menu = static_cast<PopoverContextMenu*>(self);
    if (menu->popover_ != GTK_WIDGET(popover))
        return;
    g_signal_handlers_disconnect_by_data(popover, self);
    menu->popover_ = nullptr;
    g_idle_add(drop_menu, g_object_ref(popover));
}

void PopoverContextMenu::close()
{
    if (!popover_)
        return;
    GtkWidget* popover = popover_;
    popover_ = nullptr;
    g_signal_handlers_disconnect_by_data(popover, this);
    gtk_widget_unparent(popover);
}

}  // namespace qz
