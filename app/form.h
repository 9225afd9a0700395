// The main window's form as data: settings, controls, hint rows, menu, tab cycle, bindings.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qz {

// The publisher's home page, opened through the shell at creation and at
// destruction: a bare host name of the project's own. The shell takes a bare
// name for an address only when it begins with "www." (Windows and Wine
// alike); any other name it looks for as a file and fails.
inline constexpr char kPublisherHomePage[] = "www.qzflash.example";

inline constexpr char kWindowTitle[] = "青禾坊QQ空间FLASH模块提取器";
inline constexpr int kWindowWidth = 645;  // outer size, frame and caption included
inline constexpr int kWindowHeight = 473;
inline constexpr int kInitialSkin = 5;
inline constexpr char kBuildFailedMessage[] = "载入启动窗口失败";

// The six controls, in the order they are created; the index is the control id.
enum class Control { label, account, search, results, frame, preview, count };
enum class ControlKind { label, edit, push_button, list_view, group_box, html_view };

struct ControlForm {
    const char* name;  // the form's name for the control
    ControlKind kind;
    int left, top, width, height;  // in the parent's client area
    Control parent;                // Control::count for the main window
    bool enabled;
    const char* text;  // UTF-8; null for none
};

inline constexpr std::array<ControlForm, static_cast<int>(Control::count)> kControls{{
    {"标签1", ControlKind::label, 8, 8, 48, 24, Control::count, true, "QQ账号："},
    {"编辑框1", ControlKind::edit, 56, 8, 120, 22, Control::count, true, "608317"},
    {"按钮1", ControlKind::push_button, 184, 8, 116, 23, Control::count, true, "搜索模块地址"},
    {"超级列表框1", ControlKind::list_view, 2, 40, 634, 72, Control::count, true, nullptr},
    {"分组框1", ControlKind::group_box, 3, 114, 633, 312, Control::count, true, "效果展示"},
    {"超文本浏览框1", ControlKind::html_view, 6, 14, 620, 293, Control::frame, false, nullptr},
}};

constexpr const ControlForm& form_of(Control control) { return kControls[static_cast<int>(control)]; }

struct ColumnForm {
    const char* title;
    int width;
};
inline constexpr std::array<ColumnForm, 2> kColumns{{{"序列", 30}, {"FLASH地址", 600}}};

// The rows the list shows until the first search: {column 0, column 1}.
inline constexpr std::array<std::array<const char*, 2>, 3> kHintRows{
    {{"", ""}, {"", "在此点击鼠标右键复制地址"}, {"", ""}}};

// The hidden top-level menu "菜单" and its two items, in order.
inline constexpr char kMenuCaption[] = "菜单";
enum class MenuItem { preview = 1, copy = 2 };  // also the items' command ids
struct MenuItemForm {
    MenuItem item;
    const char* text;
};
inline constexpr std::array<MenuItemForm, 2> kMenuItems{
    {{MenuItem::preview, "查看效果"}, {MenuItem::copy, "复制地址"}}};

// The members of the tab cycle, in order.
inline constexpr std::array<Control, 3> kTabCycle{Control::account, Control::search, Control::results};

// The cycle member after (or before) `current`; a control outside the cycle
// moves to the first member (or the last).
Control tab_neighbour(Control current, bool backwards);

// The events the window raises, and the handlers the form binds to them.
enum class Event { created, destroying, clicked, key_pressed, got_focus, right_pressed, double_clicked, selected };
enum class Handler { none, created, destroying, search, account_key, account_focus, context_menu, preview, copy };

struct Binding {
    Control control;  // Control::count for the main window
    int menu_item;    // for Event::selected: the MenuItem; 0 otherwise
    Event event;
    Handler handler;
};

inline constexpr std::array<Binding, 9> kBindings{{
    {Control::count, 0, Event::created, Handler::created},
    {Control::count, 0, Event::destroying, Handler::destroying},
    {Control::search, 0, Event::clicked, Handler::search},
    {Control::account, 0, Event::key_pressed, Handler::account_key},
    {Control::account, 0, Event::got_focus, Handler::account_focus},
    {Control::results, 0, Event::right_pressed, Handler::context_menu},
    {Control::results, 0, Event::double_clicked, Handler::preview},
    {Control::count, static_cast<int>(MenuItem::preview), Event::selected, Handler::preview},
    {Control::count, static_cast<int>(MenuItem::copy), Event::selected, Handler::copy},
}};

// The handler bound to an event of a control (or menu item); Handler::none
// when the form binds nothing.
Handler bound_handler(Control control, Event event, int menu_item = 0);

// Modifier flags of the key and mouse events.
inline constexpr int kCtrl = 1, kShift = 2, kAlt = 4;

// What the window itself does with a key-down before the control sees it.
enum class KeyAction { pass, next_control, previous_control, close };
KeyAction window_key_action(int virtual_key, int modifiers);

// The key code the key-pressed event reports for a virtual key: the keypad's
// digits as 48..57, its minus, decimal point and slash as 189, 190, 191.
int reported_key_code(int virtual_key);

// The window's left (or top) edge, centred on a screen of `screen` pixels;
// signed division that drops the remainder, so a small screen gives a
// negative edge.
constexpr int centred_edge(int screen, int window) { return (screen - window) / 2; }

// The fatal error report's text for a message: both UTF-8.
std::string fatal_report_text(std::string_view message);
inline constexpr char kFatalCaption[] = "错误";

}  // namespace qz
