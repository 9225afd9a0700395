// The main window built from its form with GTK 4, and the delivery of its events.
#pragma once

#include <gtk/gtk.h>

#include <array>
#include <optional>

#include "account_box_gtk.h"
#include "context_menu_gtk.h"
#include "event_sink.h"
#include "form.h"
#include "owned.h"
#include "preview_view_gtk.h"
#include "program_handlers.h"
#include "result_list_gtk.h"

namespace qz {

class MainWindow final : public HandlerWindow {
public:
    explicit MainWindow(EventSink& sink) : sink_(sink) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    // Builds the window hidden with all its controls, then raises created.
    // False when any part cannot be made: what was made goes again and
    // nothing is raised.
    bool build();
    // Presents the window, which makes it active.
    void show();
    // Runs the main loop until the window has been destroyed.
    void run();
    // Puts the focus on a control.
    void focus(Control control) override;

    GtkWindow* window() const { return window_.get(); }
    GtkWidget* control(Control control) const { return controls_[static_cast<int>(control)]; }
    GtkAccountBox& account() override { return account_; }
    GtkResultList& results() override { return results_; }
    void end_fill() override { results_.end_fill(); }
    WebPreview& preview() { return preview_; }
    // Valid once build() has succeeded.
    ActionControls action_controls() override { return {results_, preview_, *menu_}; }

private:
    static void destroy_window(GtkWindow* window) { gtk_window_destroy(window); }
    using OwnedWindow = Owned<GtkWindow*, destroy_window>;

    GtkWidget* make_caption();
    bool make_controls(GtkWidget* fixed);
    void fill_list();
    void connect_events();
    void raise(Control control, Event event, const EventArgs& args = {}, int menu_item = 0);
    Control focused_control() const;
    void move_focus(bool backwards);

    static gboolean on_key(GtkEventControllerKey*, guint keyval, guint keycode, GdkModifierType state, gpointer self);
    static void on_list_press(GtkGestureClick* gesture, int presses, double x, double y, gpointer self);
    static void on_clicked(GtkButton*, gpointer self);
    static void on_account_focus(GtkEventControllerFocus*, gpointer self);
    static void on_menu_item(GSimpleAction*, GVariant* parameter, gpointer self);
    static void on_destroy(GtkWidget*, gpointer self);

    EventSink& sink_;
    WebPreview preview_;  // before window_: the view goes with the window first
    GtkResultList results_;
    std::optional<PopoverContextMenu> menu_;
    GtkAccountBox account_;
    std::array<GtkWidget*, static_cast<int>(Control::count)> controls_{};  // the window's children
    Owned<GMainLoop*, g_main_loop_unref> loop_;
    bool built_ = false;  // the destroy handler runs only for a built window
    OwnedWindow window_;  // last: goes first, taking its controls with it
};

// GDK's key value as the Windows virtual-key code the form's key rules use:
// Enter 13, Tab 9, Esc 27, letters and digits as their capitals and digits,
// the keypad's digits 0x60..0x69 and its minus, point and slash 0x6D..0x6F.
// 0 for a key the form has no rule for.
int virtual_key_of(guint keyval);

// GDK's modifier state as the form's flags.
int modifiers_of(GdkModifierType state);

}  // namespace qz
