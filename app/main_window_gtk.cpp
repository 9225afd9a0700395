// Builds the main window from the form with GTK 4 and raises the form's events.
#include "main_window_gtk.h"

#include <string>

#include "gbk.h"
#include "skin_css.h"

namespace qz {
namespace {

// The form's client area: the Windows window's 645 x 473 less its frame and caption.
constexpr int kClientWidth = 639;
constexpr int kClientHeight = 448;

void name_for_readers(GtkWidget* widget, const char* name)
{
    gtk_accessible_update_property(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_PROPERTY_LABEL, name, -1);
}

// Where a control sits in the window's client area: the preview view is
// placed inside its frame by the frame's own offset.
void client_place(const ControlForm& form, int& left, int& top)
{
    left = form.left;
    top = form.top;
    if (form.parent != Control::count) {
        left += form_of(form.parent).left;
        top += form_of(form.parent).top;
    }
}

}  // namespace

int virtual_key_of(guint keyval)
{
    switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: return 0x0D;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
    case GDK_KEY_KP_Tab: return 0x09;
    case GDK_KEY_Escape: return 0x1B;
    case GDK_KEY_space: return 0x20;
    case GDK_KEY_KP_Subtract: return 0x6D;
    case GDK_KEY_KP_Decimal: return 0x6E;
    case GDK_KEY_KP_Divide: return 0x6F;
    default: break;
    }
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9)
        return 0x60 + static_cast<int>(keyval - GDK_KEY_KP_0);
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12)
        return 0x70 + static_cast<int>(keyval - GDK_KEY_F1);
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9)
        return static_cast<int>(keyval);
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z)
        return static_cast<int>(keyval - GDK_KEY_a + 'A');
    if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z)
        return static_cast<int>(keyval);
    return 0;
}

int modifiers_of(GdkModifierType state)
{
    int flags = 0;
    if (state & GDK_CONTROL_MASK)
        flags |= kCtrl;
    if (state & GDK_SHIFT_MASK)
        flags |= kShift;
    if (state & GDK_ALT_MASK)
        flags |= kAlt;
    return flags;
}

MainWindow::~MainWindow()
{
    if (menu_)
        menu_->close();
    built_ = false;
    window_.reset();
}

GtkWidget* MainWindow::make_caption()
{
    // A caption of our own, so the skin draws it as the Windows one does:
    // title on the left, minimise and close on the right, no maximise.
    GtkWidget* handle = gtk_window_handle_new();
    GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_widget_add_css_class(handle, "qz-caption");
    GtkWidget* title = gtk_label_new(kWindowTitle);
    gtk_widget_add_css_class(title, "qz-title");
    gtk_label_set_xalign(GTK_LABEL(title), 0);
    gtk_label_set_ellipsize(GTK_LABEL(title), PANGO_ELLIPSIZE_END);
    gtk_widget_set_hexpand(title, TRUE);
    GtkWidget* buttons = gtk_window_controls_new(GTK_PACK_END);
    gtk_window_controls_set_decoration_layout(GTK_WINDOW_CONTROLS(buttons), ":minimize,close");
    gtk_box_append(GTK_BOX(bar), title);
    gtk_box_append(GTK_BOX(bar), buttons);
    gtk_window_handle_set_child(GTK_WINDOW_HANDLE(handle), bar);
    return handle;
}

bool MainWindow::make_controls(GtkWidget* fixed)
{
    if (!preview_.create())
        return false;
    for (int i = 0; i < static_cast<int>(Control::count); ++i) {
        const ControlForm& form = kControls[i];
        GtkWidget* made = nullptr;
        switch (form.kind) {
        case ControlKind::label:
            made = gtk_label_new(form.text);
            gtk_label_set_xalign(GTK_LABEL(made), 0);
            gtk_label_set_yalign(GTK_LABEL(made), 0.5f);
            break;
        case ControlKind::edit:
            made = gtk_entry_new();
            gtk_editable_set_text(GTK_EDITABLE(made), form.text);
            gtk_editable_set_alignment(GTK_EDITABLE(made), 0.5f);
            gtk_editable_set_width_chars(GTK_EDITABLE(made), 1);
            gtk_entry_set_max_length(GTK_ENTRY(made), 0);
            name_for_readers(made, form_of(Control::label).text);
            break;
        case ControlKind::push_button: {
            made = gtk_button_new_with_label(form.text);
            GtkWidget* text = gtk_button_get_child(GTK_BUTTON(made));
            gtk_label_set_wrap(GTK_LABEL(text), TRUE);
            gtk_label_set_justify(GTK_LABEL(text), GTK_JUSTIFY_CENTER);
            break;
        }
        case ControlKind::list_view:
            made = gtk_scrolled_window_new();
            gtk_widget_add_css_class(made, "qz-list");
            gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(made), FALSE);
            gtk_scrolled_window_set_child(GTK_SCROLLED_WINDOW(made), results_.view());
            name_for_readers(results_.view(), kColumns[1].title);
            break;
        case ControlKind::group_box:
            made = gtk_frame_new(form.text);
            gtk_frame_set_label_align(GTK_FRAME(made), 0);
            name_for_readers(made, form.text);
            break;
        case ControlKind::html_view:
            made = preview_.widget();
            gtk_widget_add_css_class(made, "qz-preview");
            name_for_readers(made, form_of(Control::frame).text);
            break;
        }
        if (!made)
            return false;
        gtk_widget_set_size_request(made, form.width, form.height);
        int left = 0, top = 0;
        client_place(form, left, top);
        gtk_fixed_put(GTK_FIXED(fixed), made, left, top);
        controls_[i] = made;
    }
    account_.attach(control(Control::account));
    menu_.emplace(results_.view());
    return true;
}

void MainWindow::fill_list()
{
    results_.remove_all();
    // The form's texts are UTF-8; a row holds the service's GBK bytes, as a
    // found address does, so the actions treat the hint rows alike.
    for (const auto& hint : kHintRows) {
        const int row = results_.insert_row(results_.row_count(), account_bytes_from_utf8(hint[0]).c_str());
        results_.set_cell(row, 1, account_bytes_from_utf8(hint[1]).c_str());
    }
    results_.end_fill();
}

bool MainWindow::build()
{
    window_.reset(GTK_WINDOW(gtk_window_new()));
    if (!window_)
        return false;
    GtkWindow* window = window_.get();
    gtk_window_set_title(window, kWindowTitle);
    gtk_window_set_resizable(window, FALSE);
    gtk_widget_add_css_class(GTK_WIDGET(window), kSkinnedWindowClass);
    gtk_window_set_titlebar(window, make_caption());
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, kClientWidth, kClientHeight);
    // The frame's sides and bottom around the client area, for the skin.
    GtkWidget* edge = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_add_css_class(edge, "qz-edge");
    gtk_box_append(GTK_BOX(edge), fixed);
    gtk_window_set_child(window, edge);
    if (!make_controls(fixed)) {
        window_.reset();  // takes every control made so far with it
        controls_ = {};
        return false;
    }
    fill_list();
    connect_events();
    loop_.reset(g_main_loop_new(nullptr, FALSE));
    built_ = true;
    raise(Control::count, Event::created);
    return true;
}

void MainWindow::connect_events()
{
    GtkWindow* window = window_.get();
    g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), this);

    // The window's keys come first, before the focused control sees them.
    GtkEventController* keys = gtk_event_controller_key_new();
    gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
    g_signal_connect(keys, "key-pressed", G_CALLBACK(on_key), this);
    gtk_widget_add_controller(GTK_WIDGET(window), keys);

    g_signal_connect(control(Control::search), "clicked", G_CALLBACK(on_clicked), this);

    GtkEventController* focus = gtk_event_controller_focus_new();
    g_signal_connect(focus, "enter", G_CALLBACK(on_account_focus), this);
    gtk_widget_add_controller(control(Control::account), focus);

    // Presses on the list's rows area, seen before the list handles them;
    // the scroll bars are outside the view and raise nothing.
    GtkGesture* press = gtk_gesture_click_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(press), 0);
    gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(press), GTK_PHASE_CAPTURE);
    g_signal_connect(press, "pressed", G_CALLBACK(on_list_press), this);
    gtk_widget_add_controller(results_.view(), GTK_EVENT_CONTROLLER(press));

    Owned<GSimpleActionGroup*, g_object_unref> actions(g_simple_action_group_new());
    Owned<GSimpleAction*, g_object_unref> selected(g_simple_action_new(kMenuAction, G_VARIANT_TYPE_INT32));
    g_signal_connect(selected.get(), "activate", G_CALLBACK(on_menu_item), this);
    g_action_map_add_action(G_ACTION_MAP(actions.get()), G_ACTION(selected.get()));
    gtk_widget_insert_action_group(GTK_WIDGET(window), kMenuActionGroup, G_ACTION_GROUP(actions.get()));
}

void MainWindow::show() { gtk_window_present(window_.get()); }

void MainWindow::run()
{
    if (window_)
        g_main_loop_run(loop_.get());
}

void MainWindow::focus(Control target)
{
    GtkWidget* widget = target == Control::results ? results_.view() : control(target);
    gtk_widget_grab_focus(widget);
}

void MainWindow::raise(Control control, Event event, const EventArgs& args, int menu_item)
{
    Handler handler = bound_handler(control, event, menu_item);
    if (handler != Handler::none)
        sink_.run(handler, args);
}

Control MainWindow::focused_control() const
{
    GtkWidget* focused = gtk_root_get_focus(GTK_ROOT(window_.get()));
    for (int i = 0; focused && i < static_cast<int>(Control::count); ++i) {
        if (controls_[i] && (focused == controls_[i] || gtk_widget_is_ancestor(focused, controls_[i])))
            return static_cast<Control>(i);
    }
    return Control::count;
}

void MainWindow::move_focus(bool backwards) { focus(tab_neighbour(focused_control(), backwards)); }

gboolean MainWindow::on_key(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state, gpointer self)
{
    auto* window = static_cast<MainWindow*>(self);
    const int key = virtual_key_of(keyval);
    const int modifiers = modifiers_of(state);
    switch (window_key_action(key, modifiers)) {
    case KeyAction::next_control: window->move_focus(false); return TRUE;
    case KeyAction::previous_control: window->move_focus(true); return TRUE;
    case KeyAction::close: gtk_window_close(window->window_.get()); return TRUE;
    case KeyAction::pass: break;
    }
    const Control focused = window->focused_control();
    if (focused == Control::account) {
        EventArgs args;
        args.key_code = reported_key_code(key);
        args.modifiers = modifiers;
        window->raise(Control::account, Event::key_pressed, args);
    }
    // The form has no default button, and Enter on the search button does
    // nothing, though a GTK button would take it as a click.
    if (focused == Control::search && key == 0x0D)
        return TRUE;
    return FALSE;
}

void MainWindow::on_list_press(GtkGestureClick* gesture, int presses, double x, double y, gpointer self)
{
    auto* window = static_cast<MainWindow*>(self);
    GtkResultList& list = window->results_;
    // The column titles raise nothing, as the header is apart on Windows.
    if (list.on_header(x, y))
        return;
    const guint button = gtk_gesture_single_get_current_button(GTK_GESTURE_SINGLE(gesture));
    EventArgs args;
    args.x = static_cast<int>(x);
    args.y = static_cast<int>(y);
    if (GdkEvent* event = gtk_event_controller_get_current_event(GTK_EVENT_CONTROLLER(gesture)))
        args.modifiers = modifiers_of(gdk_event_get_modifier_state(event));
    if (button == GDK_BUTTON_SECONDARY) {
        // As in GTK's own lists, the row under a right press becomes the
        // one the menu acts on; below the rows the selection stays.
        const int row = list.row_at(x, y);
        if (row >= 0)
            list.select_row(row);
        window->menu_->set_pointer(x, y);
        window->raise(Control::results, Event::right_pressed, args);
    } else if (button == GDK_BUTTON_PRIMARY && presses == 2) {
        window->raise(Control::results, Event::double_clicked, args);
    }
}

void MainWindow::on_clicked(GtkButton*, gpointer self)
{
    static_cast<MainWindow*>(self)->raise(Control::search, Event::clicked);
}

void MainWindow::on_account_focus(GtkEventControllerFocus*, gpointer self)
{
    static_cast<MainWindow*>(self)->raise(Control::account, Event::got_focus);
}

void MainWindow::on_menu_item(GSimpleAction*, GVariant* parameter, gpointer self)
{
    static_cast<MainWindow*>(self)->raise(Control::count, Event::selected, {}, g_variant_get_int32(parameter));
}

void MainWindow::on_destroy(GtkWidget*, gpointer self)
{
    auto* window = static_cast<MainWindow*>(self);
    if (window->menu_)
        window->menu_->close();
    if (window->built_) {
        window->built_ = false;
        window->raise(Control::count, Event::destroying);
    }
    window->window_.release();  // GTK is destroying it already
    window->controls_ = {};
    if (window->loop_)
        g_main_loop_quit(window->loop_.get());
}

}  // namespace qz
