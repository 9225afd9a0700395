// The main window built from its form, and the delivery of its events.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "event_sink.h"
#include "form.h"
#include "handles_win.h"
#include "list_view_win.h"
#include "preview_view_win.h"
#include "program_handlers.h"
#include "list_view_cells.h"
#include "win32_context_menu.h"

namespace qz {

class MainWindow final : public HandlerWindow {
public:
    explicit MainWindow(EventSink& sink) : sink_(sink) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    // Builds the window hidden with all its controls, then raises created.
    // False when any part cannot be made: what was made is destroyed again
    // and nothing is raised.
    bool build(HINSTANCE instance);
    // The ordinary show command, which makes the window active.
    void show();

    // The window's keys and the controls' input events for one message just
    // taken from the queue; true when the key went no further.
    bool pre_translate(const MSG& message);
    // Puts the focus on a control, also as the one to hand it back to when
    // the window is activated again.
    void focus(Control control) override;

    HWND window() const { return window_.get(); }
    HWND control(Control control) const { return controls_[static_cast<int>(control)]; }
    HICON big_icon() const { return big_icon_.get(); }
    HICON small_icon() const { return small_icon_.get(); }
    EditAccountBox& account() override { return account_; }
    ListViewRows& results() override { return results_; }
    void end_fill() override { results_.end_fill(); }
    WebPreview& preview() { return preview_; }
    // Valid once build() has succeeded.
    ActionControls action_controls() override { return {*cells_, preview_, *menu_}; }

private:
    static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool create_controls(HINSTANCE instance);
    void fill_list();
    void raise(Control control, Event event, const EventArgs& args = {}, int menu_item = 0);
    void move_focus(bool backwards);

    EventSink& sink_;
    OwnedIcon big_icon_;
    OwnedIcon small_icon_;
    WebPreview preview_;  // before window_: its interface goes after the windows
    OwnedWindow window_;  // the controls are its children and go with it
    std::array<HWND, static_cast<int>(Control::count)> controls_{};
    HWND raw_window_ = nullptr;  // set from WM_NCCREATE, before window_ holds it
    HWND focus_to_restore_ = nullptr;
    bool built_ = false;  // the destroy handler runs only for a built window
    EditAccountBox account_;
    ListViewRows results_;
    std::array<PopupItem, kMenuItems.size()> menu_items_{};
    std::optional<ListViewCells> cells_;
    std::optional<Win32ContextMenu> menu_;
};

// The current state of Ctrl, Shift and Alt as the events' flags.
int current_modifiers();

// Takes messages until the quit message; each goes through the window's
// pre_translate first.
void run_message_loop(MainWindow& window);

}  // namespace qz
