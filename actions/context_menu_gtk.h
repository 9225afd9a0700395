// The context menu as a GTK popover menu, built afresh for every press.
#pragma once

#include <gtk/gtk.h>

#include "controls.h"

namespace qz {

// The name of the window's action that a chosen item activates, with the
// item's number (MenuItem) as its int32 parameter: "qz.selected".
inline constexpr char kMenuActionGroup[] = "qz";
inline constexpr char kMenuAction[] = "selected";

// Pops the form's menu items up over the result list. Places are in the
// list's own coordinates: GTK has no screen coordinates to offer on every
// desktop, and the menu is anchored to the list anyway.
class PopoverContextMenu final : public ContextMenu {
public:
    explicit PopoverContextMenu(GtkWidget* anchor) : anchor_(anchor) {}
    PopoverContextMenu(const PopoverContextMenu&) = delete;
    PopoverContextMenu& operator=(const PopoverContextMenu&) = delete;
    ~PopoverContextMenu() override { close(); }

    // Where the pointer was pressed, as the window saw it.
    void set_pointer(double x, double y)
    {
        pointer_x_ = static_cast<int>(x);
        pointer_y_ = static_cast<int>(y);
    }
    void cursor(int& x, int& y) override
    {
        x = pointer_x_;
        y = pointer_y_;
    }
    // Shows the two items with the menu's top-left corner at (x, y). It
    // returns at once: a chosen item comes back as the window's action.
    void popup_at(int x, int y) override;
    // Takes an open menu down and off the list.
    void close();
    // The menu on screen, or null.
    GtkWidget* popover() const { return popover_; }

private:
    static void on_closed(GtkPopover* popover, gpointer self);

    GtkWidget* anchor_;             // the list's view; borrowed
    GtkWidget* popover_ = nullptr;  // a child of anchor_ while it exists; ours to unparent
    int pointer_x_ = 0, pointer_y_ = 0;
};

}  // namespace qz
