// Builds the main window from the form and raises the form's events from its messages.
#include "main_window_win.h"

#include <commctrl.h>

#include "label_win.h"

namespace qz {
namespace {

constexpr wchar_t kWindowClass[] = L"QzFlashMain";
constexpr int kIconResource = 1;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kListExtendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP | LVS_EX_SUBITEMIMAGES;

struct ControlClass {
    const wchar_t* window_class;
    DWORD style;
    DWORD extended_style;
};

ControlClass class_of(ControlKind kind)
{
    switch (kind) {
    case ControlKind::label: return {kLabelClass, 0, 0};
    case ControlKind::edit: return {L"EDIT", WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL, WS_EX_STATICEDGE};
    case ControlKind::push_button: return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
    case ControlKind::list_view:
        return {WC_LISTVIEWW, WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER, WS_EX_STATICEDGE};
    // Clipping keeps the frame from painting over the preview inside it.
    case ControlKind::group_box: return {L"BUTTON", BS_GROUPBOX | BS_LEFT | WS_CLIPCHILDREN, 0};
    case ControlKind::html_view: break;
    }
    return {nullptr, 0, 0};
}

bool register_window_class(HINSTANCE instance, WNDPROC proc, HICON big, HICON small)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = big;
    wc.hIconSm = small;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    // A test process builds many windows: the class stays, the icons of the
    // newest window are set on each window by WM_SETICON anyway.
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HICON load_icon(HINSTANCE instance, int size_metric)
{
    int size = GetSystemMetrics(size_metric);
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, size, size, 0));
}

Control control_of(const std::array<HWND, static_cast<int>(Control::count)>& controls, HWND window)
{
    for (int i = 0; i < static_cast<int>(Control::count); ++i) {
        if (window && controls[i] == window)
            return static_cast<Control>(i);
    }
    return Control::count;
}

}  // namespace

int current_modifiers()
{
    int flags = 0;
    if (GetKeyState(VK_CONTROL) < 0)
        flags |= kCtrl;
    if (GetKeyState(VK_SHIFT) < 0)
        flags |= kShift;
    if (GetKeyState(VK_MENU) < 0)
        flags |= kAlt;
    return flags;
}

MainWindow::~MainWindow()
{
    preview_.release_browser();
    window_.reset();
}

bool MainWindow::build(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX common{sizeof common, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    big_icon_.reset(load_icon(instance, SM_CXICON));
    small_icon_.reset(load_icon(instance, SM_CXSMICON));
    if (!big_icon_ || !small_icon_ || !register_label_class(instance) ||
        !register_window_class(instance, window_proc, big_icon_.get(), small_icon_.get()))
        return false;

    int left = centred_edge(GetSystemMetrics(SM_CXSCREEN), kWindowWidth);
    int top = centred_edge(GetSystemMetrics(SM_CYSCREEN), kWindowHeight);
    CreateWindowExW(0, kWindowClass, widen(kWindowTitle).c_str(), kWindowStyle, left, top, kWindowWidth, kWindowHeight,
                    nullptr, nullptr, instance, this);
    window_.reset(raw_window_);
    if (!window_)
        return false;
    SendMessageW(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
    SendMessageW(window_.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
    if (!create_controls(instance)) {
        preview_.release_browser();
        window_.reset();  // takes every control made so far with it
        controls_ = {};
        return false;
    }
    fill_list();
    // The form's only top-level menu item is hidden, so the menu bar stays
    // empty and none is set; its items live on as the context menu.
    built_ = true;
    raise(Control::count, Event::created);
    return true;
}

bool MainWindow::create_controls(HINSTANCE instance)
{
    auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(window_.get(), WM_SETFONT, font, FALSE);
    for (int i = 0; i < static_cast<int>(Control::count); ++i) {
        const ControlForm& form = kControls[i];
        HWND parent = form.parent == Control::count ? window_.get() : control(form.parent);
        HWND made = nullptr;
        if (form.kind == ControlKind::html_view) {
            if (preview_.create(parent, form.left, form.top, form.width, form.height))
                made = preview_.host();
        } else {
            ControlClass cls = class_of(form.kind);
            DWORD style = WS_CHILD | WS_VISIBLE | cls.style | (form.enabled ? 0 : WS_DISABLED);
            made = CreateWindowExW(cls.extended_style, cls.window_class, widen(form.text).c_str(), style, form.left,
                                   form.top, form.width, form.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), instance, nullptr);
        }
        if (!made)
            return false;
        controls_[i] = made;
        SendMessageW(made, WM_SETFONT, font, FALSE);
    }
    account_.attach(control(Control::account));
    results_.attach(control(Control::results));
    cells_.emplace(control(Control::results));
    for (std::size_t i = 0; i < kMenuItems.size(); ++i)
        menu_items_[i] = {static_cast<UINT>(kMenuItems[i].item), kMenuItems[i].text};
    menu_.emplace(window_.get(), menu_items_);
    SendMessageW(control(Control::account), EM_LIMITTEXT, 0, 0);
    return true;
}

void MainWindow::fill_list()
{
    HWND list = control(Control::results);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, kListExtendedStyle, kListExtendedStyle);
    SendMessageW(list, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageW(list, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
        std::wstring title = widen(kColumns[i].title);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumns[i].width;
        column.pszText = title.data();
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int row = 0; row < static_cast<int>(kHintRows.size()); ++row) {
        std::wstring first = widen(kHintRows[row][0]);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_INDENT;
        item.iItem = row;
        item.pszText = first.data();
        int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        std::wstring second = widen(kHintRows[row][1]);
        LVITEMW cell{};
        cell.iSubItem = 1;
        cell.pszText = second.data();
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&cell));
    }
}

void MainWindow::show()
{
    ShowWindow(window_.get(), SW_SHOWNORMAL);
    UpdateWindow(window_.get());
}

void MainWindow::focus(Control target)
{
    focus_to_restore_ = control(target);
    SetFocus(focus_to_restore_);
}

void MainWindow::raise(Control control, Event event, const EventArgs& args, int menu_item)
{
    Handler handler = bound_handler(control, event, menu_item);
    if (handler != Handler::none)
        sink_.run(handler, args);
}

void MainWindow::move_focus(bool backwards)
{
    Control next = tab_neighbour(control_of(controls_, GetFocus()), backwards);
    SetFocus(control(next));
}

bool MainWindow::pre_translate(const MSG& message)
{
    HWND window = window_.get();
    if (!window || !(message.hwnd == window || IsChild(window, message.hwnd)))
        return false;
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        int modifiers = current_modifiers();
        switch (window_key_action(static_cast<int>(message.wParam), modifiers)) {
        case KeyAction::next_control: move_focus(false); return true;
        case KeyAction::previous_control: move_focus(true); return true;
        case KeyAction::close: SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); return true;
        case KeyAction::pass: break;
        }
        if (message.hwnd == control(Control::account)) {
            EventArgs args;
            args.key_code = reported_key_code(static_cast<int>(message.wParam));
            args.modifiers = modifiers;
            raise(Control::account, Event::key_pressed, args);
        }
        return false;
    }
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The header and the scroll bars are windows or areas of their own:
        // only the list's client area raises these.
        if (message.hwnd == control(Control::results)) {
            EventArgs args;
            args.x = static_cast<short>(LOWORD(message.lParam));
            args.y = static_cast<short>(HIWORD(message.lParam));
            args.modifiers = current_modifiers();
            raise(Control::results, message.message == WM_RBUTTONDOWN ? Event::right_pressed : Event::double_clicked,
                  args);
        }
        return false;
    default: return false;
    }
}

LRESULT CALLBACK MainWindow::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        self->raw_window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wparam, lparam);
    return self->handle(message, wparam, lparam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND window = raw_window_;
    switch (message) {
    case WM_COMMAND: {
        auto from = reinterpret_cast<HWND>(lparam);
        if (!from && HIWORD(wparam) == 0) {
            raise(Control::count, Event::selected, {}, LOWORD(wparam));
            return 0;
        }
        if (from == control(Control::search) && HIWORD(wparam) == BN_CLICKED)
            raise(Control::search, Event::clicked);
        else if (from == control(Control::account) && HIWORD(wparam) == EN_SETFOCUS)
            raise(Control::account, Event::got_focus);
        return 0;
    }
    case WM_NOTIFY:
        // No row carries data of ours: spare the list one LVN_DELETEITEM per
        // row when a search empties it (2.5 s for 131,072 rows under Wine).
        if (reinterpret_cast<NMHDR*>(lparam)->code == LVN_DELETEALLITEMS &&
            reinterpret_cast<NMHDR*>(lparam)->hwndFrom == control(Control::results))
            return TRUE;
        break;
    case WM_ACTIVATE:
        // Hand the focus back to the control that had it, as a dialog does;
        // the account box then gets focus again and empties itself.
        if (LOWORD(wparam) == WA_INACTIVE) {
            HWND focused = GetFocus();
            if (focused && IsChild(window, focused))
                focus_to_restore_ = focused;
        } else if (!HIWORD(wparam) && focus_to_restore_ && IsWindow(focus_to_restore_)) {
            SetFocus(focus_to_restore_);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (focus_to_restore_ && IsWindow(focus_to_restore_)) {
            SetFocus(focus_to_restore_);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        // Alt with a letter or digit: no mnemonic, no menu bar, no beep.
        // Alt+Space still opens the system menu.
        if ((wparam & 0xFFF0) == SC_KEYMENU && lparam != 0 && lparam != ' ')
            return 0;
        break;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
    case WM_DESTROY:
        // A build that failed raises nothing and posts no quit message,
        // which would close the fatal report's box at once.
        if (built_) {
            built_ = false;
            raise(Control::count, Event::destroying);
            PostQuitMessage(0);
        }
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window_.release();
        raw_window_ = nullptr;
        controls_ = {};
        break;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void run_message_loop(MainWindow& window)
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.pre_translate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace qz
