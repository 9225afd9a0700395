// The real main window in process: its form, its keys, and the events it raises.
#include <windows.h>
#include <ole2.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "main_window_win.h"
#include "program_handlers_win.h"
#include "wininet_transport.h"

namespace qz::test {
namespace {

struct Raised {
    Handler handler;
    EventArgs args;
};

// The skin numbers the created handler asked for, in place of the real step
// (which would dress the test process itself).
std::vector<int> skin_steps;
void record_skin_step(int skin_number) { skin_steps.push_back(skin_number); }

// Records every handler the window runs; hands the search, focus, created
// and destroy handlers on to the program's own when `real` is set.
class RecordingSink final : public EventSink {
public:
    void run(Handler handler, const EventArgs& args) override
    {
        raised.push_back({handler, args});
        if (real && handler != Handler::context_menu && handler != Handler::preview && handler != Handler::copy)
            real->run(handler, args);
    }
    std::vector<Handler> handlers() const
    {
        std::vector<Handler> out;
        for (const Raised& r : raised)
            out.push_back(r.handler);
        return out;
    }
    std::vector<Raised> raised;
    ProgramHandlers* real = nullptr;
};

// The message loop's body, until the queue is empty.
void pump(MainWindow& window)
{
    MSG message;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT || window.pre_translate(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

std::wstring text_of(HWND window)
{
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

std::string ansi_text_of(HWND window)
{
    char buffer[512] = {};
    GetWindowTextA(window, buffer, 512);
    return buffer;
}

std::wstring class_of(HWND window)
{
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return buffer;
}

std::string cell(HWND list, int row, int column)
{
    char buffer[1024] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// Holds the given modifier keys down in this thread's key state.
void hold_keys(std::initializer_list<int> keys)
{
    BYTE state[256] = {};
    for (int key : keys)
        state[key] = 0x80;
    SetKeyboardState(state);
}

void press(HWND target, int key, LPARAM flags = 0, bool system = false)
{
    PostMessageW(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(key), 1 | flags);
    PostMessageW(target, system ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(key), 1 | flags | (3u << 30));
}

// The browser control needs OLE on the thread, as the program starts it.
class OleEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};
[[maybe_unused]] ::testing::Environment* const ole_environment =
    ::testing::AddGlobalTestEnvironment(new OleEnvironment);

class AppWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        hold_keys({});
        skin_steps.clear();
        sink.real = &handlers;
        open();
    }
    void TearDown() override
    {
        hold_keys({});
        if (holder->window())
            DestroyWindow(holder->window());
        pump(*holder);
    }
    // A new window in place of the old one: each is built once.
    void open()
    {
        sink.raised.clear();
        holder.emplace(sink);
        handlers.attach(*holder);
        ASSERT_TRUE(holder->build(GetModuleHandleW(nullptr)));
        holder->show();
        pump(*holder);
    }
    HWND control(Control c) const { return holder->control(c); }

    WinInetTransport transport;
    Text page_text;
    ProgramHandlers handlers{transport, page_text, record_skin_step};
    RecordingSink sink;
    std::optional<MainWindow> holder;
};

TEST_F(AppWindow, WindowSettings)
{
    HWND w = holder->window();
    RECT rect{};
    GetWindowRect(w, &rect);
    EXPECT_EQ(rect.right - rect.left, 645);
    EXPECT_EQ(rect.bottom - rect.top, 473);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 645) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 473) / 2);
    EXPECT_EQ(text_of(w), L"青禾坊QQ空间FLASH模块提取器");
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD | WS_POPUP), 0);
    EXPECT_EQ(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
    EXPECT_EQ(GetMenu(w), nullptr);
    EXPECT_EQ(GetClassLongPtrW(w, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetActiveWindow(), w);
    EXPECT_EQ(GetFocus(), control(Control::search));

    auto big = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_BIG, 0));
    auto small = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_SMALL, 0));
    EXPECT_NE(big, nullptr);
    EXPECT_EQ(big, holder->big_icon());
    EXPECT_EQ(small, holder->small_icon());
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(big, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    const auto font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)), font);
    for (int i = 0; i < static_cast<int>(Control::count); ++i) {
        SCOPED_TRACE(kControls[i].name);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control(static_cast<Control>(i)), WM_GETFONT, 0, 0)), font);
    }
}

struct ControlCase {
    Control control;
    const wchar_t* window_class;
    DWORD style;      // these bits set
    DWORD not_style;  // and these clear
    DWORD ex_style;   // exactly, apart from bits the platform adds
    int left, top, width, height;
    bool enabled;
    const wchar_t* text;
};

TEST_F(AppWindow, ControlsAsTheFormSays)
{
    const ControlCase cases[] = {
        {Control::label, L"QzFlashLabel", WS_VISIBLE, WS_TABSTOP | WS_BORDER, 0, 8, 8, 48, 24, true, L"QQ账号："},
        {Control::account, L"Edit", WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL,
         ES_NOHIDESEL | ES_NUMBER | ES_PASSWORD | ES_READONLY | ES_MULTILINE | ES_UPPERCASE | ES_LOWERCASE,
         WS_EX_STATICEDGE, 56, 8, 120, 22, true, L"608317"},
        {Control::search, L"Button", WS_VISIBLE | WS_TABSTOP | BS_MULTILINE, BS_DEFPUSHBUTTON | BS_BITMAP | BS_ICON, 0,
         184, 8, 116, 23, true, L"搜索模块地址"},
        {Control::results, L"SysListView32", WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER,
         LVS_SHOWSELALWAYS | LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_EDITLABELS | LVS_NOCOLUMNHEADER,
         WS_EX_STATICEDGE, 2, 40, 634, 72, true, L""},
        {Control::frame, L"Button", WS_VISIBLE | BS_GROUPBOX | BS_LEFT, WS_TABSTOP, 0, 3, 114, 633, 312, true,
         L"效果展示"},
        {Control::preview, L"QzFlashPreviewHost", WS_VISIBLE | WS_DISABLED, WS_TABSTOP, 0, 6, 14, 620, 293, false, L""},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(form_of(c.control).name);
        HWND h = control(c.control);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(_wcsicmp(class_of(h).c_str(), c.window_class), 0) << class_of(h).c_str();
        const DWORD style = static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE));
        EXPECT_EQ(style & c.style, c.style);
        EXPECT_EQ(style & c.not_style, 0u);
        if (c.control == Control::search) {
            EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
        }
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)) & ~WS_EX_NOPARENTNOTIFY & ~WS_EX_CONTROLPARENT,
                  c.ex_style);
        HWND parent = GetParent(h);
        EXPECT_EQ(parent, c.control == Control::preview ? control(Control::frame) : holder->window());
        RECT rect{};
        GetWindowRect(h, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, c.left);
        EXPECT_EQ(rect.top, c.top);
        EXPECT_EQ(rect.right - rect.left, c.width);
        EXPECT_EQ(rect.bottom - rect.top, c.height);
        EXPECT_EQ(IsWindowEnabled(h) != FALSE, c.enabled);
        EXPECT_EQ(text_of(h), c.text);
    }
    // The preview in the main window's client area: x 9 to 629, y 128 to 421.
    RECT preview{};
    GetWindowRect(control(Control::preview), &preview);
    MapWindowPoints(nullptr, holder->window(), reinterpret_cast<POINT*>(&preview), 2);
    EXPECT_EQ(preview.left, 9);
    EXPECT_EQ(preview.top, 128);
    EXPECT_EQ(preview.right, 629);
    EXPECT_EQ(preview.bottom, 421);
    EXPECT_EQ(SendMessageW(control(Control::account), EM_GETLIMITTEXT, 0, 0) >= 0x7FFFFFFE, true);
    DWORD start = 1, end = 1;
    SendMessageW(control(Control::account), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
}

TEST_F(AppWindow, ResultListColumnsAndHintRows)
{
    HWND list = control(Control::results);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP | LVS_EX_SUBITEMIMAGES);
    const struct {
        const wchar_t* title;
        int width;
    } columns[] = {{L"序列", 30}, {L"FLASH地址", 600}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        wchar_t title[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = title;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(title, columns[i].title);
        EXPECT_EQ(column.cx, columns[i].width);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    LVCOLUMNW third{};
    third.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessageW(list, LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&third)));

    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    const wchar_t* second_column[] = {L"", L"在此点击鼠标右键复制地址", L""};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        for (int column = 0; column < 2; ++column) {
            wchar_t buffer[128] = {L'x'};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = buffer;
            item.cchTextMax = 128;
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(buffer, column == 0 ? L"" : second_column[row]);
        }
        LVITEMW item{};
        item.mask = LVIF_PARAM | LVIF_INDENT | LVIF_STATE | LVIF_IMAGE;
        item.iItem = row;
        item.stateMask = static_cast<UINT>(-1);
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(item.lParam, 0);
        EXPECT_EQ(item.iIndent, 0);
        EXPECT_EQ(item.state & LVIS_SELECTED, 0u);
    }
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
    EXPECT_EQ(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(RGB(0, 0, 0)));
    EXPECT_EQ(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 255, 255)));
    EXPECT_EQ(SendMessageW(list, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 255, 255)));
}

TEST_F(AppWindow, PreviewViewHostsTheWebBrowser)
{
    HWND host = control(Control::preview);
    HWND container = GetWindow(host, GW_CHILD);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(class_of(container), L"AtlAxWin");
    RECT rect{};
    GetClientRect(container, &rect);
    EXPECT_EQ(rect.right, 620);
    EXPECT_EQ(rect.bottom, 293);
    EXPECT_TRUE(holder->preview().address().absent());
    holder->preview().set_address("http://qzflash.example/flash/one.swf");
    pump(*holder);
    EXPECT_EQ(holder->preview().address().view(), "http://qzflash.example/flash/one.swf");
    EXPECT_EQ(holder->preview().location_url().view(), "http://qzflash.example/flash/one.swf");
    EXPECT_EQ(GetFocus(), control(Control::search));  // the view never takes the focus
    EXPECT_FALSE(IsWindowEnabled(host));
}

TEST_F(AppWindow, CreatedRaisedOnceBeforeShownAndNoFocusEventAtStart)
{
    EXPECT_EQ(sink.handlers(), std::vector<Handler>{Handler::created});
    EXPECT_EQ(skin_steps, std::vector<int>{5});
    EXPECT_EQ(ansi_text_of(control(Control::account)), "608317");
    EXPECT_EQ(GetFocus(), control(Control::search));
}

TEST_F(AppWindow, TabCycleBothWays)
{
    const struct {
        Control from;
        bool backwards;
        Control to;
    } cases[] = {
        {Control::search, false, Control::results}, {Control::results, false, Control::account},
        {Control::account, false, Control::search}, {Control::search, true, Control::account},
        {Control::account, true, Control::results}, {Control::results, true, Control::search},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(form_of(c.from).name) + (c.backwards ? " Shift+Tab" : " Tab"));
        SetFocus(control(c.from));
        SetWindowTextA(control(Control::account), "12345");
        pump(*holder);
        sink.raised.clear();
        if (c.backwards)
            hold_keys({VK_SHIFT});
        press(control(c.from), VK_TAB);
        pump(*holder);
        hold_keys({});
        EXPECT_EQ(GetFocus(), control(c.to));
        // Arriving in the account box empties it, through its got-focus event.
        EXPECT_EQ(ansi_text_of(control(Control::account)), c.to == Control::account ? "" : "12345");
        EXPECT_EQ(sink.handlers(),
                  c.to == Control::account ? std::vector<Handler>{Handler::account_focus} : std::vector<Handler>{});
    }
}

TEST_F(AppWindow, KeyCodesOfTheAccountBox)
{
    const struct {  // NOLINT(cppcoreguidelines-pro-type-member-init): every case sets every field
        int key;
        bool system;
        std::initializer_list<int> held;
        LPARAM flags;
        int code;
        int modifiers;
    } cases[] = {
        {'7', false, {}, 0, '7', 0},
        {VK_NUMPAD0, false, {}, 0, '0', 0},
        {VK_NUMPAD9, false, {}, 0, '9', 0},
        {VK_SUBTRACT, false, {}, 0, 189, 0},
        {VK_DECIMAL, false, {}, 0, 190, 0},
        {VK_DIVIDE, false, {}, 0, 191, 0},
        {VK_OEM_MINUS, false, {}, 0, 189, 0},
        {'A', false, {VK_CONTROL}, 0, 'A', kCtrl},
        {'B', false, {VK_SHIFT}, 0, 'B', kShift},
        {'C', true, {VK_MENU}, 1 << 29, 'C', kAlt},
        {'D', false, {}, 1 << 30, 'D', 0},  // an auto-repeat
        {VK_LEFT, false, {}, 1 << 24, VK_LEFT, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        SetFocus(control(Control::account));
        pump(*holder);
        sink.raised.clear();
        hold_keys(c.held);
        PostMessageW(control(Control::account), c.system ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(c.key),
                     1 | c.flags);
        pump(*holder);
        hold_keys({});
        ASSERT_EQ(sink.raised.size(), 1u);
        EXPECT_EQ(sink.raised[0].handler, Handler::account_key);
        EXPECT_EQ(sink.raised[0].args.key_code, c.code);
        EXPECT_EQ(sink.raised[0].args.modifiers, c.modifiers);
    }
}

TEST_F(AppWindow, BothEntersSearchAndLeaveTheText)
{
    for (LPARAM flags : {LPARAM{0}, LPARAM{1} << 24}) {  // main keyboard, keypad
        SCOPED_TRACE(flags);
        SetFocus(control(Control::account));
        SetWindowTextA(control(Control::account), "608317");
        pump(*holder);
        sink.raised.clear();
        press(control(Control::account), VK_RETURN, flags);
        pump(*holder);
        EXPECT_EQ(sink.handlers(), std::vector<Handler>{Handler::account_key});
        EXPECT_EQ(ansi_text_of(control(Control::account)), "608317");
        EXPECT_EQ(GetFocus(), control(Control::account));
        HWND list = control(Control::results);
        ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
        EXPECT_EQ(cell(list, 0, 0), "1");
        EXPECT_EQ(cell(list, 0, 1), "http://qzflash.example/flash/one.swf");
        EXPECT_EQ(cell(list, 2, 0), "3");
        EXPECT_FALSE(page_text.absent());
    }
}

TEST_F(AppWindow, EnterOnTheSearchButtonDoesNothingAndSpaceSearches)
{
    HWND button = control(Control::search);
    SetFocus(button);
    SetWindowTextA(control(Control::account), "608317");
    pump(*holder);
    sink.raised.clear();
    press(button, VK_RETURN);
    pump(*holder);
    EXPECT_EQ(sink.handlers(), std::vector<Handler>{});
    EXPECT_EQ(SendMessageA(control(Control::results), LVM_GETITEMCOUNT, 0, 0), 3);  // still the hint rows
    press(button, VK_SPACE);
    pump(*holder);
    EXPECT_EQ(sink.handlers(), std::vector<Handler>{Handler::search});
    EXPECT_EQ(cell(control(Control::results), 0, 1), "http://qzflash.example/flash/one.swf");
    EXPECT_EQ(GetFocus(), button);
}

TEST_F(AppWindow, EveryWayOfClosingDestroysOnceWithoutAsking)
{
    enum class Way { escape, alt_f4, system_menu_close, close_message };
    const struct {
        const char* name;
        Control from;
        Way way;
    } cases[] = {
        {"Esc in the account box", Control::account, Way::escape},
        {"Esc on the search button", Control::search, Way::escape},
        {"Esc in the result list", Control::results, Way::escape},
        {"Alt+F4", Control::results, Way::alt_f4},
        {"the system menu's Close", Control::search, Way::system_menu_close},
        {"the close button (WM_CLOSE)", Control::search, Way::close_message},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!holder->window())
            open();
        SetFocus(control(c.from));
        pump(*holder);
        sink.raised.clear();
        HWND main = holder->window();
        switch (c.way) {
        case Way::escape: press(control(c.from), VK_ESCAPE); break;
        case Way::alt_f4:
            hold_keys({VK_MENU});
            press(control(c.from), VK_F4, 1 << 29, true);
            break;
        case Way::system_menu_close: PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case Way::close_message: PostMessageW(main, WM_CLOSE, 0, 0); break;
        }
        pump(*holder);
        hold_keys({});
        EXPECT_FALSE(IsWindow(main));
        EXPECT_EQ(holder->window(), nullptr);
        EXPECT_EQ(sink.handlers(), std::vector<Handler>{Handler::destroying});
    }
}

TEST_F(AppWindow, GotFocusOnClickAndOnReactivation)
{
    HWND account = control(Control::account);
    SetWindowTextA(account, "55555");
    pump(*holder);
    sink.raised.clear();
    PostMessageW(account, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    PostMessageW(account, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    pump(*holder);
    EXPECT_EQ(GetFocus(), account);
    EXPECT_EQ(ansi_text_of(account), "");
    EXPECT_EQ(sink.handlers(), std::vector<Handler>{Handler::account_focus});

    SetWindowTextA(account, "66666");
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    SetActiveWindow(other);
    pump(*holder);
    EXPECT_NE(GetActiveWindow(), holder->window());
    EXPECT_EQ(ansi_text_of(account), "66666");
    sink.raised.clear();
    SetActiveWindow(holder->window());
    pump(*holder);
    EXPECT_EQ(GetFocus(), account);
    EXPECT_EQ(ansi_text_of(account), "");
    EXPECT_EQ(sink.handlers(), std::vector<Handler>{Handler::account_focus});
    DestroyWindow(other);
}

TEST_F(AppWindow, ListPressesRaiseOnlyFromTheRowsArea)
{
    HWND list = control(Control::results);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    const struct {
        HWND target;
        UINT message;
        std::vector<Handler> raised;
    } cases[] = {
        {header, WM_RBUTTONDOWN, {}},
        {header, WM_LBUTTONDBLCLK, {}},
        {header, WM_LBUTTONDOWN, {}},
        {nullptr, 0, {}},  // header clicks done: nothing sorted or selected
        {list, WM_RBUTTONDOWN, {Handler::context_menu}},
        {list, WM_LBUTTONDBLCLK, {Handler::preview}},
        {list, WM_NCRBUTTONDOWN, {}},  // a press on a scroll bar
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.message) + (c.target == header ? " header" : " list"));
        if (!c.target) {
            wchar_t hint[64] = {};
            LVITEMW item{};
            item.iSubItem = 1;
            item.pszText = hint;
            item.cchTextMax = 64;
            SendMessageW(list, LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(hint, L"在此点击鼠标右键复制地址");
            EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
            continue;
        }
        sink.raised.clear();
        PostMessageW(c.target, c.message, 0, MAKELPARAM(40, 30));
        PostMessageW(c.target, c.message == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP, 0, MAKELPARAM(40, 30));
        pump(*holder);
        EXPECT_EQ(sink.handlers(), c.raised);
        if (!c.raised.empty()) {
            EXPECT_EQ(sink.raised[0].args.x, 40);
            EXPECT_EQ(sink.raised[0].args.y, 30);
        }
    }
}

TEST_F(AppWindow, MenuItemsRaiseTheirSelectedEvents)
{
    const struct {
        MenuItem item;
        Handler handler;
    } cases[] = {{MenuItem::preview, Handler::preview}, {MenuItem::copy, Handler::copy}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.item));
        sink.raised.clear();
        PostMessageW(holder->window(), WM_COMMAND, MAKEWPARAM(static_cast<int>(c.item), 0), 0);
        pump(*holder);
        EXPECT_EQ(sink.handlers(), std::vector<Handler>{c.handler});
    }
}

TEST_F(AppWindow, WindowKeysThatDoNothing)
{
    for (int key : {VK_F1, VK_RETURN}) {
        SCOPED_TRACE(key);
        SetFocus(control(Control::search));
        pump(*holder);
        sink.raised.clear();
        press(control(Control::search), key);
        pump(*holder);
        EXPECT_TRUE(IsWindow(holder->window()));
        EXPECT_EQ(GetFocus(), control(Control::search));
        EXPECT_EQ(sink.handlers(), std::vector<Handler>{});
    }
    // Alt with a letter: raised to the account box, no mnemonic, nothing else.
    SetFocus(control(Control::account));
    SetWindowTextA(control(Control::account), "608317");
    pump(*holder);
    sink.raised.clear();
    hold_keys({VK_MENU});
    press(control(Control::account), 'S', 1 << 29, true);
    pump(*holder);
    hold_keys({});
    EXPECT_EQ(GetFocus(), control(Control::account));
    EXPECT_EQ(sink.handlers(), std::vector<Handler>{Handler::account_key});
    EXPECT_EQ(SendMessageA(control(Control::results), LVM_GETITEMCOUNT, 0, 0), 3);
}

}  // namespace
}  // namespace qz::test
